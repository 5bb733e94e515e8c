#include "GradebookSchema.h"

#include "VersionInfo.h"

namespace gradebook {

using db::FieldDef;
using db::FieldType;
using db::IndexDef;
using db::TableDef;

namespace {

FieldDef key(const QString& name) { return FieldDef(name, FieldType::Long).setAutoIncrement(); }

FieldDef text(const QString& name, int size) {
    return FieldDef(name, FieldType::Text, size).setRequired().setAllowZeroLength(false);
}

FieldDef required(const QString& name, FieldType type) { return FieldDef(name, type).setRequired(); }

IndexDef primary(const QString& name, const QStringList& fields) { return IndexDef(name, fields).setPrimary(); }
IndexDef unique(const QString& name, const QStringList& fields) { return IndexDef(name, fields).setUnique(); }
IndexDef plain(const QString& name) { return IndexDef(name, {name}); }

}  // namespace

QString databasePassword() { return QStringLiteral("730518 KovRM"); }

QString noPassword() { return QStringLiteral("Undefined"); }

QString gradebookApp() { return QStringLiteral("Vorsk App Quibolet"); }

QString exportApp() { return QStringLiteral("Vorsk App Quibolet Export"); }

QList<PropertyDef> gradebookProperties() {
    return {{QStringLiteral("App"), FieldType::Text, gradebookApp()},
            {QStringLiteral("VersionID"), FieldType::Text, platform::version::text()},
            {QStringLiteral("Passe"), FieldType::Text, noPassword()},
            {QStringLiteral("Moyenne"), FieldType::Byte, 1}};
}

QList<TableDef> gradebookTables(const QDateTime& created) {
    const QString numClass = QStringLiteral("NumClass");
    const QString numMat = QStringLiteral("NumMat");
    const QString numElv = QStringLiteral("NumElv");
    const QString numSerie = QStringLiteral("NumSérie");
    const QString nom = QStringLiteral("Nom");
    return {
        TableDef(QStringLiteral("Classes"))
            .appendField(key(numClass))
            .appendField(text(nom, 50))
            .appendField(text(QStringLiteral("Nom abrégé"), 15))
            .appendField(required(QStringLiteral("Colonne"), FieldType::Integer))
            .appendIndex(primary(numClass, {numClass}))
            .appendIndex(unique(nom, {nom}))
            .appendIndex(unique(QStringLiteral("Nom abrégé"), {QStringLiteral("Nom abrégé")})),
        TableDef(QStringLiteral("Coefficients"))
            .appendField(required(numClass, FieldType::Long))
            .appendField(required(numMat, FieldType::Long))
            .appendField(required(QStringLiteral("Coefficient"), FieldType::Byte).setDefaultValue(1))
            .appendIndex(primary(QStringLiteral("NumClassMat"), {numClass, numMat}))
            .appendIndex(plain(numClass))
            .appendIndex(plain(numMat)),
        TableDef(QStringLiteral("Elèves"))
            .appendField(key(numElv))
            .appendField(text(nom, 50))
            .appendField(text(QStringLiteral("Prénom"), 50))
            .appendField(required(numClass, FieldType::Long))
            .appendField(FieldDef(QStringLiteral("EC"), FieldType::Memo).setRequired(false).setAllowZeroLength(true))
            .appendIndex(primary(numElv, {numElv}))
            .appendIndex(plain(numClass))
            .appendIndex(unique(QStringLiteral("NomPrénom"), {nom, QStringLiteral("Prénom")})),
        TableDef(QStringLiteral("Matières"))
            .appendField(key(numMat))
            .appendField(text(nom, 50))
            .appendIndex(primary(numMat, {numMat}))
            .appendIndex(unique(nom, {nom})),
        TableDef(QStringLiteral("Notes"))
            .appendField(required(QStringLiteral("Note"), FieldType::Single).setDefaultValue(0))
            .appendField(required(numSerie, FieldType::Long))
            .appendField(required(numElv, FieldType::Long))
            .appendIndex(primary(QStringLiteral("NumSérieElv"), {numSerie, numElv}))
            .appendIndex(plain(numSerie))
            .appendIndex(plain(numElv)),
        TableDef(QStringLiteral("Séries"))
            .appendField(key(numSerie))
            .appendField(text(nom, 30))
            .appendField(required(QStringLiteral("Sur"), FieldType::Byte).setDefaultValue(0))
            .appendField(required(QStringLiteral("Coefficient"), FieldType::Byte).setDefaultValue(0))
            .appendField(required(QStringLiteral("Date"), FieldType::Date).setDefaultValue(created))
            .appendField(required(QStringLiteral("Période"), FieldType::Byte)
                             .setDefaultValue(1)
                             .setValidationRule(db::Between{1, 3}))
            .appendField(required(numMat, FieldType::Long))
            .appendField(required(numClass, FieldType::Long))
            .appendField(required(QStringLiteral("Colonne"), FieldType::Integer))
            .appendIndex(primary(numSerie, {numSerie}))
            .appendIndex(IndexDef(QStringLiteral("PériodeDate"), {QStringLiteral("Période"), QStringLiteral("Date")}))
            .appendIndex(plain(numClass))
            .appendIndex(plain(numMat))
            // A grid reads the series of one class in one subject: with this index that
            // read costs what the grid holds, whatever the other classes hold.
            .appendIndex(IndexDef(QStringLiteral("NumClassMat"), {numClass, numMat})),
    };
}

}  // namespace gradebook
