#pragma once
// Gradebooks that send and receive an exchange file, and their tables read back through a
// connection of their own.
#include "DbTestSupport.h"
#include "GradebookBuilder.h"
#include "exchange/ExchangeFile.h"
#include "gradebook/GradebookSchema.h"
#include "platform/db/Collations.h"
#include "platform/db/Sqlite.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

namespace testsupport {

// Every row of a table, fields joined by "|", in table order.
inline QStringList tableRows(const db::Database& d, const QString& table) {
    db::Recordset rs = d.OpenRecordset(db::Query(table), db::RecordsetType::Snapshot);
    const db::TableDef def = d.TableDefs(table);
    QStringList rows;
    for (; !rs.Eof(); rs.MoveNext()) {
        QStringList fields;
        for (const db::FieldDef& f : def.Fields()) fields << rs.Fields(f.Name()).Value().toString();
        rows << fields.join(u'|');
    }
    return rows;
}

inline QStringList tableRows(const QString& path, const QString& table) { return tableRows(openGradebook(path), table); }

inline QStringList gradebookDump(const db::Database& d) {
    QStringList all;
    for (const char* table : {"Classes", "Coefficients", "Elèves", "Matières", "Notes", "Séries"})
        all << QString::fromUtf8(table) << tableRows(d, QString::fromUtf8(table));
    return all;
}
// Read from a copy without the failure a test injected ("injected"): the program refuses
// to open a file that holds a trigger.
inline QStringList gradebookDump(const QString& path) {
    const QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("dump.dat"));
    QFile::copy(path, copy);
    rawExec(copy, gradebook::databasePassword().toUtf8(), "DROP TRIGGER IF EXISTS injected");
    return gradebookDump(openGradebook(copy));
}

// Runs sql on a file through SQLite alone, with the program's collations, past every check
// of the engine and of the table's own rules. The SQLite result code.
inline int craft(const QString& path, const QByteArray& sql) {
    sqlite3* h = nullptr;
    int rc = sqlite3_open(QFile::encodeName(path).constData(), &h);
    const QByteArray key = gradebook::databasePassword().toUtf8();
    if (rc == SQLITE_OK) rc = sqlite3_key(h, key.constData(), int(key.size()));
    if (rc == SQLITE_OK && !db::collation::registerOn(h)) rc = SQLITE_ERROR;
    if (rc == SQLITE_OK) rc = sqlite3_exec(h, "PRAGMA ignore_check_constraints = ON; " + sql, nullptr, nullptr, nullptr);
    sqlite3_close(h);
    return rc;
}

// Gradebook A: class "Seconde 2" (D'Amico Léa, Martin Jean, DUPONT élodie, Nguyen Anh) in
// mathematics with two series (12,5 / 13,3 / 8 ; 15 / 0), and its exchange file of both.
struct Sender {
    QString gradebook, file;
    QList<int> students, series;
};

inline Sender makeSender(const QString& folder) {
    using namespace Qt::StringLiterals;
    Sender s;
    s.gradebook = folder + u"/A.dat"_s;
    GradebookBuilder a(s.gradebook);
    const int maths = a.addSubject(u"Mathématiques"_s);
    const int c = a.addClass(u"Seconde 2"_s, u"2nde2"_s);
    s.students = {a.addStudent(c, u"D'Amico"_s, u"Léa"_s), a.addStudent(c, u"Martin"_s, u"Jean"_s),
                  a.addStudent(c, u"DUPONT"_s, u"élodie"_s), a.addStudent(c, u"Nguyen"_s, u"Anh"_s)};
    s.series = {a.addSeries(c, maths, u"Équations"_s, 20, 2, 1, QDate(2024, 9, 20)),
                a.addSeries(c, maths, u"Fonctions"_s, 10, 1, 2, QDate(2024, 12, 10))};
    a.addGrade(s.series[0], s.students[0], 12.5);
    a.addGrade(s.series[0], s.students[1], 13.3);
    a.addGrade(s.series[0], s.students[2], 8);
    a.addGrade(s.series[1], s.students[0], 15);
    a.addGrade(s.series[1], s.students[3], 0);
    a.close();
    s.file = exchangefile::write(openGradebook(s.gradebook),
                                 {c, maths, u"Seconde 2"_s, u"Mathématiques"_s, s.series, {}}, folder + u"/Export"_s);
    return s;
}

// Gradebook B: classes "2nde B" (Dupont Élodie, D'Amico Léa) and "1re C" (Martin Jean),
// subjects "Histoire" and "Maths".
struct Receiver {
    QString gradebook;
    int classB = 0, classC = 0, history = 0, maths = 0;
    int dupont = 0, damico = 0, martin = 0;
};

inline Receiver makeReceiver(const QString& path) {
    using namespace Qt::StringLiterals;
    Receiver r;
    r.gradebook = path;
    GradebookBuilder b(path);
    r.history = b.addSubject(u"Histoire"_s);
    r.maths = b.addSubject(u"Maths"_s);
    r.classB = b.addClass(u"2nde B"_s, u"2B"_s);
    r.classC = b.addClass(u"1re C"_s, u"1C"_s);
    r.dupont = b.addStudent(r.classB, u"Dupont"_s, u"Élodie"_s);
    r.damico = b.addStudent(r.classB, u"D'Amico"_s, u"Léa"_s);
    r.martin = b.addStudent(r.classC, u"Martin"_s, u"Jean"_s);
    b.close();
    return r;
}

}  // namespace testsupport
