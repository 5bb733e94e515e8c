#include "SubjectEdit.h"

#include "StoreWrites.h"
#include "controls/tabSection.h"
#include "gradebook/StoreNames.h"
#include "gradebook/mUtilities.h"
#include "platform/db/Database.h"

namespace subjectedit {

namespace {

using namespace storenames;

storewrites::Values names(const QString& name) { return {{QStringLiteral("Nom"), mUtilities::StoredName(name)}}; }

}  // namespace

QList<Subject> subjects(const db::Database& database) {
    QList<Subject> list;
    db::Recordset rows = database.OpenRecordset(db::Query(kSubjects), db::RecordsetType::ForwardOnly);
    for (; !rows.Eof(); rows.MoveNext())
        list.append({rows.Fields(kNumMat).Value().toInt(), rows.Fields(QStringLiteral("Nom")).Value().toString()});
    return list;
}

QStringList roomRefusals(const db::Database& database) {
    if (database.OpenRecordset(db::Query(kSubjects)).RecordCount() < tabSection::kMaxItems) return {};
    return {QStringLiteral("Ce carnet de notes contient déjà %1 matières, le plus grand nombre que la liste des "
                           "matières puisse afficher.")
                .arg(tabSection::kMaxItems)};
}

qint32 create(const db::Database& database, const QString& name) {
    return storewrites::addWithCoefficients(database, kSubjects, kNumMat, names(name), QStringLiteral("Classes"),
                                            QStringLiteral("NumClass"));
}

void rename(const db::Database& database, qint32 numMat, const QString& name) {
    // One row: the store writes it whole or not at all.
    storewrites::update(database, kSubjects, kNumMat, numMat, names(name));
}

}  // namespace subjectedit
