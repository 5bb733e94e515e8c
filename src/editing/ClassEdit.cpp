#include "ClassEdit.h"

#include "StoreWrites.h"
#include "controls/vskTab.h"
#include "gradebook/GradebookSchema.h"
#include "gradebook/StoreNames.h"
#include "gradebook/mUtilities.h"
#include "platform/db/Database.h"

namespace classedit {

namespace {

using namespace storenames;

storewrites::Values names(const Input& input) {
    return {{QStringLiteral("Nom"), mUtilities::StoredName(input.name)},
            {QStringLiteral("Nom abrégé"), mUtilities::StoredName(input.shortName)}};
}

}  // namespace

QStringList refusals(const Input& input) {
    QStringList lines;
    if (input.name.isEmpty()) lines << QStringLiteral("Vous devez attribuer un nom à la classe.");
    if (input.shortName.isEmpty()) lines << QStringLiteral("Vous devez attribuer un nom abrégé à la classe.");
    return lines;
}

QStringList roomRefusals(const db::Database& database) {
    if (database.OpenRecordset(db::Query(kClasses)).RecordCount() < ::vskTab::kMaxSections) return {};
    return {QStringLiteral("Ce carnet de notes contient déjà %1 classes, le plus grand nombre que la liste des classes "
                           "puisse afficher.")
                .arg(::vskTab::kMaxSections)};
}

qint32 create(const db::Database& database, const Input& input) {
    return storewrites::addWithCoefficients(
        database, kClasses, kNumClass, names(input) << std::pair(QStringLiteral("Colonne"), QVariant(gradebook::kNewClassWidth)),
        QStringLiteral("Matières"), QStringLiteral("NumMat"));
}

void modify(const db::Database& database, qint32 numClass, const Input& input) {
    // One row: the store writes it whole or not at all.
    storewrites::update(database, kClasses, kNumClass, numClass, names(input));
}

}  // namespace classedit
