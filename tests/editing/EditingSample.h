#pragma once
// A small gradebook with every kind of row the deletions and the merge touch: three
// classes, four subjects (names with quotes among them), three students per class, two
// series per class and subject in two periods with every grade, and a grade that a student
// holds in another class's series (as an import that grouped classes leaves).
#include "GradebookBuilder.h"
#include "TableDump.h"
#include "gradebook/GradebookSchema.h"
#include "mainwindow/frmMain.h"
#include "platform/FormInstance.h"

#include <QFile>
#include <QList>
#include <QTemporaryDir>
#include <QTest>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

namespace editingsample {

struct Sample {
    QList<int> classes;   // 6e A, 5e "B", L'atelier
    QList<int> subjects;  // Maths, Géométrie, Histoire "Géo", L'anglais
    QList<QList<int>> students;  // by class
    int crossSeries = 0;  // a series of class 1 holding a grade of a student of class 0
};

// The grades of the two first subjects are chosen so that, with their equal series
// coefficients, every average comes out exact.
inline Sample build(const QString& path) {
    testsupport::GradebookBuilder b(path);
    Sample s;
    s.classes = {b.addClass(QStringLiteral("Sixième A"), QStringLiteral("6e A")),
                 b.addClass(QStringLiteral("Cinquième \"B\""), QStringLiteral("5e \"B\"")),
                 b.addClass(QStringLiteral("L'atelier"), QStringLiteral("Atel."))};
    s.subjects = {b.addSubject(QStringLiteral("Maths")), b.addSubject(QStringLiteral("Géométrie")),
                  b.addSubject(QStringLiteral("Histoire \"Géo\"")), b.addSubject(QStringLiteral("L'anglais"))};
    const QStringList names = {QStringLiteral("Durand"), QStringLiteral("Martin"), QStringLiteral("O'Neil")};
    for (int c = 0; c < s.classes.size(); ++c) {
        QList<int> students;
        for (const QString& name : names) students << b.addStudent(s.classes[c], name, QStringLiteral("Élève %1").arg(c));
        s.students << students;
        for (int m = 0; m < s.subjects.size(); ++m)
            for (int period = 1; period <= 2; ++period) {
                const int series = b.addSeries(s.classes[c], s.subjects[m], QStringLiteral("DS %1").arg(period), 20, 2, period);
                for (int e = 0; e < students.size(); ++e) b.addGrade(series, students[e], 4 * (e + 1) + 2 * m + period);
                if (c == 1 && m == 0 && period == 1) s.crossSeries = series;
            }
    }
    b.addGrade(s.crossSeries, s.students[0][0], 17);
    return s;
}

// The sample built once, with its tables as built, and fresh copies of it to change.
class Copies {
public:
    Copies() : m_base(m_dir.filePath(QStringLiteral("base.dat"))), m_sample(build(m_base)), m_before(testsupport::dumpTables(m_base)) {}

    const QString& base() const { return m_base; }
    const Sample& sample() const { return m_sample; }
    const QMap<QString, testsupport::Rows>& before() const { return m_before; }
    QString copy() {
        const QString path = m_dir.filePath(QStringLiteral("copie %1.dat").arg(++m_copies));
        QFile::copy(m_base, path);
        return path;
    }

private:
    QTemporaryDir m_dir;
    QString m_base;
    Sample m_sample;
    QMap<QString, testsupport::Rows> m_before;
    int m_copies = 0;
};

// Position of a field in the rows of a dump.
inline int column(const QString& table, const QString& field) {
    for (const db::TableDef& t : gradebook::gradebookTables({}))
        if (t.Name() == table) return t.fieldIndex(field);
    return -1;
}

// The rows of the table whose field is not one of `values`.
inline testsupport::Rows without(const testsupport::Rows& rows, const QString& table, const QString& field,
                                 const QList<int>& values) {
    const int c = column(table, field);
    testsupport::Rows kept;
    for (const QStringList& row : rows)
        if (!values.contains(row[c].toInt())) kept << row;
    return kept;
}

// The keys (first field) of the rows of the table whose field is one of `values`.
inline QList<int> keysOf(const testsupport::Rows& rows, const QString& table, const QString& field,
                         const QList<int>& values) {
    const int c = column(table, field);
    QList<int> keys;
    for (const QStringList& row : rows)
        if (values.contains(row[c].toInt())) keys << row[0].toInt();
    return keys;
}

// The main window's toolbar button (from 1), or the entry of its drop-down.
inline QAction* tool(frmMain& main, int button, int entry = 0) {
    QAction* a = main.tooBar->actions().at(button - 1);
    return entry ? qobject_cast<QToolButton*>(main.tooBar->widgetForAction(a))->menu()->actions().at(entry - 1) : a;
}

// The main window with the gradebook open, showing the subject at `item` of the class at
// `section`.
inline frmMain& showMain(const QString& path, int section, int item) {
    frmMain& main = platform::Form<frmMain>::get();
    main.show();
    if (!main.OpenAFile(path)) qFatal("cannot open %s", qPrintable(path));
    main.selectClassAndSubject(section, item);
    return main;
}

// The sample, built afresh in `dir` under the name of the running test.
inline QString samplePath(const QTemporaryDir& dir) {
    const QString path = dir.filePath(QString::fromLatin1(QTest::currentTestFunction()) + QStringLiteral(".dat"));
    build(path);
    return path;
}

}  // namespace editingsample
