#pragma once
// Gradebooks that send and receive an exchange file, their files read and changed through
// SQLite alone, and the wizards' pages as the teacher sees them.
#include "DbTestSupport.h"
#include "GradebookBuilder.h"
#include "exchange/ExchangeFile.h"
#include "gradebook/GradebookSchema.h"
#include "platform/db/Sqlite.h"

#include <QPushButton>
#include <QStringList>
#include <tuple>

namespace testsupport {

inline const QByteArray kKey = gradebook::databasePassword().toUtf8();

// Runs SQL steps (rawExecSteps), the first past the table's own rules too. The SQLite result code.
inline int craft(const QString& path, const QByteArray& sql) {
    return rawExecSteps(path, kKey, "PRAGMA ignore_check_constraints = ON; " + sql);
}

// Every row of a statement, columns as SQLite gives them as text, joined by "|" (Null as
// "∅"); empty when the file does not open with that key.
inline QStringList rawRows(const QString& path, const QString& sql, const QByteArray& key = kKey) {
    const auto file = rawOpen(path, key);
    sqlite3_stmt* s = nullptr;
    QStringList rows;
    if (sqlite3_prepare_v2(file.get(), sql.toUtf8().constData(), -1, &s, nullptr) != SQLITE_OK) return rows;
    const db::sqlite::Statement statement(s);
    while (sqlite3_step(s) == SQLITE_ROW) {
        QStringList columns;
        for (int c = 0; c < sqlite3_column_count(s); ++c)
            columns << (sqlite3_column_type(s, c) == SQLITE_NULL
                            ? QStringLiteral("∅")
                            : QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, c))));
        rows << columns.join(u'|');
    }
    return rows;
}

inline QStringList tableRows(const QString& path, const QString& table) {
    return rawRows(path, QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(table));
}

// The page of a wizard on show, then its buttons ("-" hidden, "(off)" disabled).
inline QString wizardState(const QList<std::pair<QWidget*, const char*>>& pages, const QList<QPushButton*>& buttons) {
    QStringList parts;
    for (const auto& [page, name] : pages)
        if (!page->isHidden()) parts << QString::fromUtf8(name);
    for (QPushButton* b : buttons)
        parts << (b->isHidden() ? QStringLiteral("-") : b->text() + (b->isEnabled() ? "" : " (off)"));
    return parts.join(QStringLiteral(" | "));
}

// Gradebook A: class "Seconde 2" (D'Amico Léa, Martin Jean, DUPONT élodie, Nguyen Anh) in
// mathematics with two series (12,5 / 13,3 / 8 ; 15 / 0). The path of its exchange file of
// both, written in folder/Export.
inline QString makeSender(const QString& folder) {
    using namespace Qt::StringLiterals;
    GradebookBuilder a(folder + u"/A.dat"_s);
    const int maths = a.addSubject(u"Mathématiques"_s), c = a.addClass(u"Seconde 2"_s, u"2nde2"_s);
    const QList<int> students = {a.addStudent(c, u"D'Amico"_s, u"Léa"_s), a.addStudent(c, u"Martin"_s, u"Jean"_s),
                                 a.addStudent(c, u"DUPONT"_s, u"élodie"_s), a.addStudent(c, u"Nguyen"_s, u"Anh"_s)};
    const QList<int> series = {a.addSeries(c, maths, u"Équations"_s, 20, 2, 1, QDate(2024, 9, 20)),
                               a.addSeries(c, maths, u"Fonctions"_s, 10, 1, 2, QDate(2024, 12, 10))};
    for (const auto& [s, e, grade] : {std::tuple(0, 0, 12.5), {0, 1, 13.3}, {0, 2, 8.0}, {1, 0, 15.0}, {1, 3, 0.0}})
        a.addGrade(series[s], students[e], grade);
    a.close();
    return exchangefile::write(openGradebook(a.path()), {c, maths, u"Seconde 2"_s, u"Mathématiques"_s, series, {}},
                               folder + u"/Export"_s);
}

// Gradebook B: classes "2nde B" (Dupont Élodie, D'Amico Léa) and "1re C" (Martin Jean),
// subjects "Histoire" and "Maths".
struct Receiver {
    QString gradebook;
    int maths = 0, classB = 0, classC = 0, dupont = 0, damico = 0;
};

inline Receiver makeReceiver(const QString& path) {
    using namespace Qt::StringLiterals;
    GradebookBuilder b(path);
    b.addSubject(u"Histoire"_s);
    Receiver r{path, b.addSubject(u"Maths"_s), b.addClass(u"2nde B"_s, u"2B"_s), b.addClass(u"1re C"_s, u"1C"_s)};
    r.dupont = b.addStudent(r.classB, u"Dupont"_s, u"Élodie"_s);
    r.damico = b.addStudent(r.classB, u"D'Amico"_s, u"Léa"_s);
    b.addStudent(r.classC, u"Martin"_s, u"Jean"_s);
    b.close();
    return r;
}

}  // namespace testsupport
