#include "SubjectMerge.h"

#include "gradebook/StoreNames.h"
#include "gradebook/mUtilities.h"
#include "platform/db/Database.h"

namespace subjectmerge {
namespace {

using db::Field;
using db::Query;
using db::RecordsetType;

using namespace storenames;

}  // namespace

std::optional<Refusal> refusal(const db::Database& database, const Input& input) {
    if (input.first == input.second)
        return Refusal{Refusal::Lists, QStringLiteral("Impossible de continuer."),
                       QStringLiteral("Vous avez choisi la même matière dans les deux listes.")};
    if (input.name.isEmpty())
        return Refusal{Refusal::Name, QStringLiteral("Vous n'avez pas saisi un nom de matière valide."),
                       QStringLiteral("Veuillez saisir un nom pour la matière résultante.")};
    // The find compares as the unique index on the name does.
    db::Recordset same = database.OpenRecordset(
        Query(kSubjects).where(Field(kNom) == mUtilities::StoredName(input.name)).select({kNumMat}),
        RecordsetType::ForwardOnly);
    for (; !same.Eof(); same.MoveNext()) {
        const qint32 key = same.Fields(kNumMat).Value().toInt();
        if (key != input.first && key != input.second)
            return Refusal{Refusal::Unchanged, QStringLiteral("Ce nom de matière est déjà attribué."),
                           QStringLiteral("Le nom d'une matière doit être renseigné et unique.")};
    }
    return std::nullopt;
}

qint32 merge(const db::Database& database, const Input& input) {
    db::Transaction transaction(database);
    db::Recordset subjects = database.OpenRecordset(Query(kSubjects));
    // Both are found before either is deleted.
    for (const qint32 key : {input.first, input.second}) {
        subjects.FindFirst(Field(kNumMat) == key);
        if (subjects.NoMatch()) throw db::DbError(db::DbErrc::NoCurrentRecord, kSubjects);
    }
    for (const qint32 key : {input.first, input.second}) {
        subjects.FindFirst(Field(kNumMat) == key);
        subjects.Delete();
    }
    // Added once both are gone, so that it may take the name of either.
    subjects.AddNew();
    subjects.Fields(kNom).setValue(mUtilities::StoredName(input.name));
    subjects.Update();
    subjects.MoveLast();
    const qint32 merged = subjects.Fields(kNumMat).Value().toInt();

    for (const qint32 key : {input.first, input.second})
        database.deleteRows(Query(kCoefficients).where(Field(kNumMat) == key));
    db::Recordset coefficients = database.OpenRecordset(Query(kCoefficients));
    db::Recordset classes = database.OpenRecordset(Query(QStringLiteral("Classes")).select({kNumClass}),
                                                   RecordsetType::ForwardOnly);
    for (; !classes.Eof(); classes.MoveNext()) {
        coefficients.AddNew();
        coefficients.Fields(kNumClass).setValue(classes.Fields(kNumClass).Value());
        coefficients.Fields(kNumMat).setValue(merged);
        coefficients.Fields(QStringLiteral("Coefficient")).setValue(1);
        coefficients.Update();
    }
    // The grades belong to the series, which keep their keys.
    for (const qint32 key : {input.first, input.second})
        database.updateRows(Query(kSeries).where(Field(kNumMat) == key), {{kNumMat, merged}});
    transaction.commit();
    return merged;
}

QStringList report(const QString& first, const QString& second, const QString& name) {
    return {QStringLiteral("Les matières ") + first + QStringLiteral(" et ") + second +
                QStringLiteral(" ont été fusionnées sous le nom ") + name + u'.',
            QStringLiteral("Veuillez noter que le coefficient de cette matière a été ramené à 1 pour toutes les classes.")};
}

}  // namespace subjectmerge
