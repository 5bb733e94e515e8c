#include "StudentEdit.h"

#include "StoreWrites.h"
#include "gradebook/StoreNames.h"
#include "gradebook/mUtilities.h"
#include "platform/db/Database.h"

#include <QStringList>

namespace studentedit {

using db::Field;
using db::Query;

namespace {

using namespace storenames;

}  // namespace

QString CapitalizeName(const QString& text) {
    qsizetype from = 0, to = text.size();
    while (from < to && text.at(from) == u' ') ++from;
    while (to > from && text.at(to - 1) == u' ') --to;
    if (from == to) return {};
    const QString trimmed = text.mid(from, to - from);
    QString out;
    out.reserve(trimmed.size());
    out += trimmed.left(1).toUpper();
    for (qsizetype i = 1; i < trimmed.size(); ++i) {
        const QChar c = trimmed.at(i);
        out += c;
        if ((c == u' ' || c == u'-') && i + 1 < trimmed.size()) out += trimmed.mid(++i, 1).toUpper();
    }
    return out;
}

QList<Student> students(const db::Database& database, qint32 numClass) {
    QList<Student> list;
    db::Recordset rows = database.OpenRecordset(
        Query(kStudents).where(Field(QStringLiteral("NumClass")) == numClass).orderBy({kNom, kPrenom}),
        db::RecordsetType::ForwardOnly);
    for (; !rows.Eof(); rows.MoveNext())
        list.append({rows.Fields(kNumElv).Value().toInt(), rows.Fields(kNom).Value().toString(),
                     rows.Fields(kPrenom).Value().toString()});
    return list;
}

QStringList refusals(const QString& name, const QString& firstName) {
    QStringList lines;
    if (name.isEmpty()) lines << QStringLiteral("Vous devez saisir un nom.");
    if (firstName.isEmpty()) lines << QStringLiteral("Vous devez saisir un prénom.");
    return lines;
}

QString duplicate(const QString& name, const QString& firstName) {
    return QStringLiteral("L'élève ") + name + u' ' + firstName
         + QStringLiteral(" existe déjà.\n(En cas d'homonimie sur le nom et le prénom, employez un chiffre "
                          "ou un symbole distinctif pour différencier les deux élèves.)");
}

Student add(const db::Database& database, qint32 numClass, const QString& name, const QString& firstName) {
    const Student stored{0, mUtilities::StoredName(name), mUtilities::StoredName(firstName)};
    const qint32 key = storewrites::add(database, kStudents, kNumElv,
                                        {{kNom, stored.name}, {kPrenom, stored.firstName}, {QStringLiteral("NumClass"), numClass}});
    return {key, stored.name, stored.firstName};
}

Student update(const db::Database& database, qint32 numElv, const QString& name, const QString& firstName) {
    const Student stored{numElv, mUtilities::StoredName(name), mUtilities::StoredName(firstName)};
    storewrites::update(database, kStudents, kNumElv, numElv, {{kNom, stored.name}, {kPrenom, stored.firstName}});
    return stored;
}

void remove(const db::Database& database, db::Recordset& notes, qint32 numElv) {
    db::Transaction transaction(database);
    const db::Criteria grades = Field(kNumElv) == numElv;
    for (notes.FindFirst(grades); !notes.NoMatch(); notes.FindFirst(grades)) notes.Delete();
    db::Recordset rows = database.OpenRecordset(Query(kStudents).where(Field(kNumElv) == numElv));
    if (!rows.Eof()) rows.Delete();
    transaction.commit();
}

}  // namespace studentedit
