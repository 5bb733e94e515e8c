#include "ImportGrades.h"

#include "gradebook/GradebookSchema.h"
#include "gradebook/StoreNames.h"
#include "gradebook/mUtilities.h"
#include "platform/db/Collations.h"

#include <QHash>

namespace importgrades {

using exchangefile::Student;

namespace {

using namespace storenames;

// Names compare as the gradebook's unique index compares them: in the composed form,
// letter case aside, accents kept.
bool sameName(const QString& a, const QString& b) {
    return db::collation::compareCaseInsensitive(mUtilities::StoredName(a), mUtilities::StoredName(b)) == 0;
}

const GradebookStudent* findByName(const QList<GradebookStudent>& students, const QString& name) {
    for (const GradebookStudent& s : students)
        if (sameName(s.name(), name)) return &s;
    return nullptr;
}

qint32 addRow(db::Recordset& rows, const QList<std::pair<QString, QVariant>>& values, const QString& keyField) {
    rows.AddNew();
    for (const auto& [field, value] : values) rows.Fields(field).setValue(value);
    rows.Update();
    if (keyField.isEmpty()) return 0;
    rows.MoveLast();
    return rows.Fields(keyField).Value().toInt();
}

}  // namespace

QList<GradebookStudent> readStudents(const db::Database& gradebook) {
    QList<GradebookStudent> students;
    db::Recordset rs = gradebook.OpenRecordset(
        db::Query(QStringLiteral("Elèves"))
            .innerJoin(QStringLiteral("Classes"), kNumClass, kNumClass)
            .select({QStringLiteral("Elèves.Nom"), QStringLiteral("Elèves.Prénom"), QStringLiteral("Elèves.NumElv"),
                     QStringLiteral("Classes.Nom"), QStringLiteral("Classes.NumClass")})
            .orderBy({QStringLiteral("Elèves.Nom"), QStringLiteral("Elèves.Prénom")}),
        db::RecordsetType::Snapshot);
    for (; !rs.Eof(); rs.MoveNext())
        students.append({rs.Fields(QStringLiteral("Elèves.NumElv")).Value().toInt(),
                         rs.Fields(QStringLiteral("Elèves.Nom")).Value().toString(),
                         rs.Fields(QStringLiteral("Elèves.Prénom")).Value().toString(),
                         rs.Fields(QStringLiteral("Classes.NumClass")).Value().toInt(),
                         rs.Fields(QStringLiteral("Classes.Nom")).Value().toString()});
    return students;
}

QVariant Decision::numElvIn() const {
    switch (state) {
    case Match::Associated: return numElv;
    case Match::Create: return -numClass;
    case Match::Rejected: return 0;
    case Match::Untreated: break;
    }
    return QVariant(QMetaType::fromType<int>());
}

Decision associate(const GradebookStudent& s) {
    return {Match::Associated, s.numElv, s.numClass, s.nom, s.prénom, s.className};
}

Decision reject() { return {Match::Rejected, 0, 0, {}, {}, {}}; }

Decision create(const NewName& name, qint32 numClass, const QString& className) {
    return {Match::Create, 0, numClass, name.nom, name.prénom, className};
}

QList<Decision> autoMatch(const QList<Student>& file, const QList<GradebookStudent>& gradebook) {
    QList<Decision> decisions;
    for (const Student& s : file) {
        const GradebookStudent* match = findByName(gradebook, s.name());
        decisions.append(match ? associate(*match) : Decision{});
    }
    return decisions;
}

NewName freeName(const QList<Student>& file, int self, const QList<GradebookStudent>& gradebook,
                 const QList<Decision>& decisions) {
    const auto taken = [&](const QString& name) {
        if (findByName(gradebook, name)) return true;
        for (int i = 0; i < decisions.size(); ++i)
            if (i != self && decisions[i].state == Match::Create && sameName(decisions[i].name(), name)) return true;
        return false;
    };
    const Student& s = file[self];
    NewName name{s.nom, s.prénom, false};
    // At most one name per other student is taken, so a free one comes within that many.
    for (qint64 n = 2; taken(name.name()); ++n) name = {s.nom, s.prénom + QString::number(n), true};
    return name;
}

int processed(const QList<Decision>& decisions) {
    return int(std::count_if(decisions.cbegin(), decisions.cend(),
                             [](const Decision& d) { return d.state != Match::Untreated; }));
}

QString progressText(int done, int total) {
    const QString how = QStringLiteral(" Pour celà, mettre le nom de l'élève en surbrillance puis taper 'Entrée'; ou "
                                       "double-clic sur le nom.");
    if (done != total)
        return QStringLiteral("%1 élève(s) traité(s) sur %2\nIndiquez au programme ce que vous souhaitez pour le(s) %3 "
                              "élève(s) restant(s).")
                   .arg(done)
                   .arg(total)
                   .arg(total - done)
             + how;
    return QStringLiteral("Les %1 élèves du fichier d'exportation sont traités.\nVous pouvez procéder à l'importation, ou "
                          "modifier certaines associations.")
               .arg(total)
         + how;
}

Summary summarize(const QList<Decision>& decisions) {
    Summary s;
    for (const Decision& d : decisions) {
        if (d.state == Match::Rejected || d.state == Match::Untreated) {
            ++s.rejected;
            continue;
        }
        ++s.imported;
        if (d.state == Match::Create) ++s.created;
        if (!d.className.isEmpty() && !s.classes.contains(d.className)) s.classes.append(d.className);
    }
    return s;
}

QString summaryText(const Summary& s, const QString& subject) {
    if (nothingToImport(s))
        return QStringLiteral("La collecte des informations est terminée.\n\nVous avez rejeté tous les élèves du fichier.\n\n"
                              "Il n'y a donc rien à importer.");
    QString classes;
    for (const QString& c : s.classes) classes += QStringLiteral("    ") + c + u'\n';
    return QStringLiteral("La collecte des informations est terminée. Vous allez pouvoir procéder à l'importation des "
                          "notes.\n\nCelle-ci va concerner:\n\nMatière:\n    ")
         + subject + QStringLiteral("\n\nClasse(s):\n") + classes
         + QStringLiteral("\nNombre d'élèves: %1\n    dont %2 créé(s)\n\nNombre d'élèves rejetés: %3\n\n"
                          "Choisissez le bouton 'Suivant >' pour lancer l'importation.")
               .arg(s.imported)
               .arg(s.created)
               .arg(s.rejected);
}

QStringList refusals(const db::Database& gradebook, const QList<Student>& file, const QList<Decision>& decisions) {
    QStringList lines;
    // Found by key and by name on the tables' own indexes: the plan names few students, the
    // gradebook may hold many.
    db::Recordset students = gradebook.OpenRecordset(db::Query(QStringLiteral("Elèves")));
    db::Recordset classes = gradebook.OpenRecordset(db::Query(QStringLiteral("Classes")));
    QHash<qint32, int> associatedTo;  // gradebook student -> first file student given it
    for (int i = 0; i < decisions.size() && i < file.size(); ++i) {
        const Decision& d = decisions[i];
        const QString who = file[i].name();
        switch (d.state) {
        case Match::Untreated: lines << who + QStringLiteral(" n'est pas encore traité."); break;
        case Match::Rejected: break;
        case Match::Associated:
            students.FindFirst(db::Field(kNumElv) == d.numElv);
            if (students.NoMatch()) {
                lines << QStringLiteral("L'élève %1, associé à %2, ne figure plus dans votre carnet de notes.").arg(d.name(), who);
            } else if (associatedTo.contains(d.numElv)) {
                lines << QStringLiteral("%1 et %2 sont associés au même élève de votre carnet de notes: %3.")
                             .arg(file[associatedTo[d.numElv]].name(), who, d.name());
            } else {
                associatedTo.insert(d.numElv, i);
            }
            break;
        case Match::Create:
            classes.FindFirst(db::Field(kNumClass) == d.numClass);
            students.FindFirst(db::Field(QStringLiteral("Nom")) == mUtilities::StoredName(d.nom) &&
                               db::Field(QStringLiteral("Prénom")) == mUtilities::StoredName(d.prénom));
            if (classes.NoMatch())
                lines << QStringLiteral("La classe %1, choisie pour créer %2, n'existe plus.").arg(d.className, who);
            else if (!students.NoMatch())
                lines << QStringLiteral("Le nom %1, choisi pour créer %2, est déjà utilisé pour désigner un élève.")
                             .arg(d.name(), who);
            else
                for (int j = 0; j < i; ++j)
                    if (decisions[j].state == Match::Create && sameName(decisions[j].name(), d.name())) {
                        lines << QStringLiteral("%1 et %2 seraient tous deux créés sous le nom %3.")
                                     .arg(file[j].name(), who, d.name());
                        break;
                    }
            break;
        }
    }
    return lines;
}

Result importGrades(const db::Database& gradebook, const exchangefile::Contents& file, const QList<Decision>& decisions,
                    qint32 numMat) {
    Result result;
    Failure::Step step = Failure::Students;
    try {
        db::Transaction transaction(gradebook);
        // File student -> the gradebook student who receives the grades, and that one's class.
        QHash<qint32, std::pair<qint32, qint32>> receiver;
        QList<qint32> classes;  // in the order the file's students first lead to them
        {
            db::Recordset students = gradebook.OpenRecordset(db::Query(QStringLiteral("Elèves")));
            for (int i = 0; i < file.students.size() && i < decisions.size(); ++i) {
                const Decision& d = decisions[i];
                qint32 numElv = d.numElv, numClass = d.numClass;
                if (d.state == Match::Associated) {
                    // The class of a student associated is the one the gradebook gives it now.
                    students.FindFirst(db::Field(kNumElv) == numElv);
                    if (students.NoMatch()) throw db::DbError(db::DbErrc::NoCurrentRecord, QStringLiteral("Elèves"));
                    numClass = students.Fields(kNumClass).Value().toInt();
                } else if (d.state == Match::Create) {
                    numElv = addRow(students,
                                    {{QStringLiteral("Nom"), mUtilities::StoredName(d.nom)},
                                     {QStringLiteral("Prénom"), mUtilities::StoredName(d.prénom)},
                                     {kNumClass, d.numClass}},
                                    kNumElv);
                    result.createdKeys.append({file.students[i].numElv, numElv});
                } else {
                    continue;
                }
                receiver.insert(file.students[i].numElv, {numElv, numClass});
                if (!classes.contains(numClass)) classes.append(numClass);
            }
        }

        step = Failure::Grades;
        QHash<qint32, QList<const exchangefile::Grade*>> gradesOf;
        for (const exchangefile::Grade& g : file.grades) gradesOf[g.numSerie].append(&g);
        db::Recordset series = gradebook.OpenRecordset(db::Query(QStringLiteral("Séries")));
        db::Recordset notes = gradebook.OpenRecordset(db::Query(QStringLiteral("Notes")));
        for (const exchangefile::Series& s : file.series) {
            QHash<qint32, qint32> created;  // class -> its new series
            for (qint32 numClass : std::as_const(classes)) {
                created.insert(numClass, addRow(series,
                                                {{QStringLiteral("Nom"), mUtilities::StoredName(s.nom)},
                                                 {QStringLiteral("Sur"), s.sur},
                                                 {QStringLiteral("Coefficient"), s.coefficient},
                                                 {QStringLiteral("Date"), s.date},
                                                 {QStringLiteral("Période"), s.period},
                                                 {QStringLiteral("NumMat"), numMat},
                                                 {kNumClass, numClass},
                                                 {QStringLiteral("Colonne"), gradebook::kNewSeriesWidth}},
                                                kNumSerie));
                ++result.series;
            }
            for (const exchangefile::Grade* g : gradesOf.value(s.numSerie)) {
                const auto to = receiver.constFind(g->numElv);
                if (to == receiver.cend()) continue;  // rejected, or not among the file's students
                addRow(notes,
                       {{kNumSerie, created.value(to->second)}, {kNumElv, to->first}, {QStringLiteral("Note"), g->note}},
                       {});
                ++result.grades;
            }
        }
        transaction.commit();
    } catch (const std::exception& e) {
        throw Failure(step, e.what());
    }
    return result;
}

Result importMarked(const db::Database& gradebook, const db::Database& file, const exchangefile::Contents& contents,
                    const QList<Decision>& decisions, qint32 numMat) {
    Failure::Step step = Failure::Marking;
    try {
        const db::Attachment exchange(gradebook, file);
        db::Transaction transaction(gradebook);
        exchangefile::setImported(exchange, true);
        Result result = importGrades(gradebook, contents, decisions, numMat);
        step = Failure::Grades;
        exchangefile::writeDecisions(exchange, result.createdKeys);
        transaction.commit();
        return result;
    } catch (const Failure&) {
        throw;
    } catch (const std::exception& e) {
        throw Failure(step, e.what());
    }
}

}  // namespace importgrades
