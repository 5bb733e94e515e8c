#pragma once
// The gradebook file: its password, its properties and its six tables, in the order they
// are created. Every window reads and writes the file through these names.
#include "platform/db/Schema.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QVariant>

namespace gradebook {

// The database password of every gradebook and exchange file.
QString databasePassword();

// The value of the property "Passe" in a gradebook that asks for no password.
QString noPassword();  // "Undefined"

// Values of the property "App".
QString gradebookApp();  // "Vorsk App Quibolet"
QString exportApp();     // "Vorsk App Quibolet Export"

// Column widths in twips given to a new class's names column and a new series' column.
inline constexpr int kNewClassWidth = 1800;
inline constexpr int kNewSeriesWidth = 600;

struct PropertyDef {
    QString name;
    db::FieldType type;
    QVariant value;
};

// "App", "VersionID", "Passe" and "Moyenne" with their values in a new gradebook.
QList<PropertyDef> gradebookProperties();

// "Classes", "Coefficients", "Elèves", "Matières", "Notes", "Séries". The default date of a
// series is the moment the gradebook is created.
QList<db::TableDef> gradebookTables(const QDateTime& created);

}  // namespace gradebook
