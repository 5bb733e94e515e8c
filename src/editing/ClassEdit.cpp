#include "ClassEdit.h"

#include "StoreWrites.h"
#include "gradebook/GradebookSchema.h"
#include "gradebook/mUtilities.h"
#include "platform/db/Database.h"

namespace classedit {

using db::Field;
using db::Query;

QStringList refusals(const Input& input) {
    QStringList lines;
    if (input.name.isEmpty()) lines << QStringLiteral("Vous devez attribuer un nom à la classe.");
    if (input.shortName.isEmpty()) lines << QStringLiteral("Vous devez attribuer un nom abrégé à la classe.");
    return lines;
}

qint32 create(const db::Database& database, const Input& input) {
    db::Transaction transaction(database);
    db::Recordset classes = database.OpenRecordset(Query(QStringLiteral("Classes")));
    classes.AddNew();
    classes.Fields(QStringLiteral("Nom")).setValue(mUtilities::StoredName(input.name));
    classes.Fields(QStringLiteral("Nom abrégé")).setValue(mUtilities::StoredName(input.shortName));
    classes.Fields(QStringLiteral("Colonne")).setValue(gradebook::kNewClassWidth);
    classes.Update();
    classes.MoveLast();
    const qint32 numClass = classes.Fields(QStringLiteral("NumClass")).Value().toInt();
    storewrites::addCoefficients(database, QStringLiteral("Matières"), QStringLiteral("NumMat"), QStringLiteral("NumClass"),
                                 numClass);
    transaction.commit();
    return numClass;
}

void modify(const db::Database& database, qint32 numClass, const Input& input) {
    db::Transaction transaction(database);
    db::Recordset classes =
        database.OpenRecordset(Query(QStringLiteral("Classes")).where(Field(QStringLiteral("NumClass")) == numClass));
    storewrites::edit(classes, QStringLiteral("Classes"));
    classes.Fields(QStringLiteral("Nom")).setValue(mUtilities::StoredName(input.name));
    classes.Fields(QStringLiteral("Nom abrégé")).setValue(mUtilities::StoredName(input.shortName));
    classes.Update();
    transaction.commit();
}

}  // namespace classedit
