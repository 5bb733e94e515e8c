#pragma once
// What the editing tests share: a sample gradebook with every kind of row the deletions and
// the merge touch, the main window opened on a gradebook, answers to the message list, and
// the texts of lists, tabs and stored rows. Failures are injected through TableDump.h.
#include "Answers.h"
#include "DbTestSupport.h"
#include "GradebookBuilder.h"
#include "GridTexts.h"
#include "TableDump.h"
#include "UiHelpers.h"
#include "controls/frmMessages.h"
#include "controls/vskAdvLabel.h"
#include "controls/vskTab.h"
#include "gradebook/GradebookSchema.h"
#include "gradebook/mUtilities.h"
#include "mainwindow/frmMain.h"
#include "platform/FlexGrid.h"
#include "platform/FormInstance.h"
#include "platform/Modal.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace editkit {

using namespace Qt::StringLiterals;
using testsupport::Rows;

struct Sample {
    QList<int> classes;          // 6e A, 5e "B", L'atelier
    QList<int> subjects;         // Maths, Géométrie, Histoire "Géo", L'anglais
    QList<QList<int>> students;  // by class
    int crossSeries = 0;         // a series of class 1 holding a grade of a student of class 0
};

// Three classes, four subjects (names with quotes among them), three students per class, two
// series per class and subject in two periods with every grade, and a grade that a student
// holds in another class's series (as an import that grouped classes leaves). With equal
// series coefficients, every average of the two first subjects comes out exact.
inline Sample build(const QString& path) {
    testsupport::GradebookBuilder b(path);
    Sample s;
    s.classes = {b.addClass(u"Sixième A"_s, u"6e A"_s), b.addClass(u"Cinquième \"B\""_s, u"5e \"B\""_s),
                 b.addClass(u"L'atelier"_s, u"Atel."_s)};
    s.subjects = {b.addSubject(u"Maths"_s), b.addSubject(u"Géométrie"_s),
                  b.addSubject(u"Histoire \"Géo\""_s), b.addSubject(u"L'anglais"_s)};
    const QStringList names = {u"Durand"_s, u"Martin"_s, u"O'Neil"_s};
    for (int c = 0; c < s.classes.size(); ++c) {
        QList<int> students;
        for (const QString& name : names) students << b.addStudent(s.classes[c], name, u"Élève %1"_s.arg(c));
        s.students << students;
        for (int m = 0; m < s.subjects.size(); ++m)
            for (int period = 1; period <= 2; ++period) {
                const int series = b.addSeries(s.classes[c], s.subjects[m], u"DS %1"_s.arg(period), 20, 2, period);
                for (int e = 0; e < students.size(); ++e) b.addGrade(series, students[e], 4 * (e + 1) + 2 * m + period);
                if (c == 1 && m == 0 && period == 1) s.crossSeries = series;
            }
    }
    b.addGrade(s.crossSeries, s.students[0][0], 17);
    return s;
}

// The sample built once, with its tables as built, and fresh copies of it to change.
struct Copies {
    QTemporaryDir dir;
    const QString base = dir.filePath(u"base.dat"_s);
    const Sample sample = build(base);
    const QMap<QString, Rows> before = testsupport::dumpTables(base);
    int copies = 0;

    QString copy() {
        const QString path = dir.filePath(u"copie %1.dat"_s.arg(++copies));
        QFile::copy(base, path);
        return path;
    }
};

// Position of a field in the rows of a dump.
inline int column(const QString& table, const QString& field) {
    for (const db::TableDef& t : gradebook::gradebookTables({}))
        if (t.Name() == table) return t.fieldIndex(field);
    return -1;
}

// The rows of the table whose field is not one of `values`.
inline Rows without(const Rows& rows, const QString& table, const QString& field, const QList<int>& values) {
    const int c = column(table, field);
    Rows kept;
    for (const QStringList& row : rows)
        if (!values.contains(row[c].toInt())) kept << row;
    return kept;
}

// The keys (first field) of the rows of the table whose field is one of `values`.
inline QList<int> keysOf(const Rows& rows, const QString& table, const QString& field, const QList<int>& values) {
    const int c = column(table, field);
    QList<int> keys;
    for (const QStringList& row : rows)
        if (values.contains(row[c].toInt())) keys << row[0].toInt();
    return keys;
}

// The chosen fields of every row of a table of the file, in key order, each row's texts
// joined by spaces.
inline QStringList fields(const QString& path, const QString& table, const QStringList& names) {
    QStringList texts;
    for (const QStringList& row : testsupport::dumpTables(path).value(table)) {
        QStringList picked;
        for (const QString& name : names) picked << row[column(table, name)];
        texts << picked.join(u' ');
    }
    return texts;
}

// The main window shown with the gradebook at path open in it, on the subject at `item` of
// the class at `section` when given.
inline frmMain& openMain(const QString& path, int section = 0, int item = 0) {
    frmMain& main = platform::Form<frmMain>::get();
    main.show();
    if (!main.OpenAFile(path)) qFatal("cannot open %s", qPrintable(path));
    if (section) main.selectClassAndSubject(section, item);
    return main;
}

// Unloads the main window and the given dialogs, and closes the gradebook.
template <class... Dialogs>
void unloadAll() {
    (platform::Form<Dialogs>::unload(), ...);
    platform::Form<frmMain>::unload();
    mUtilities::gRsNotes.Close();
    mUtilities::gDB.Close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The dialog that a modal responder was handed.
template <class Dialog>
Dialog& dialogOf(QWidget& w) {
    auto* dialog = dynamic_cast<Dialog*>(&w);
    if (!dialog) qFatal("not the expected dialog: %s", qPrintable(w.objectName()));
    return *dialog;
}

// The message list: checks its heading, its lines and its picture, then closes it.
inline platform::ModalResponder list(const QString& heading, const QStringList& lines) {
    return [heading, lines](QWidget& w) {
        QVERIFY(!dialogOf<frmMessages>(w).vskAL->ItemPict(1).isNull());
        QStringList shown;
        testsupport::messageList(heading, &shown)(w);
        QCOMPARE(shown, lines);
    };
}

inline platform::ModalResponder writeFailed() {
    return list(u"Impossible d'enregistrer cette modification dans le carnet de notes."_s,
                {u"Le carnet de notes n'a pas été modifié."_s});
}

// The captions (or the keys) of the tab bar's sections.
inline QStringList sectionCaptions(const vskTab& bar, bool keys = false) {
    QStringList captions;
    for (int s = 1; s <= bar.SectionCount(); ++s) captions << (keys ? bar.SectionAt(s).Key() : bar.SectionAt(s).Caption());
    return captions;
}

// The captions of the items of a section of the tab bar.
inline QStringList itemCaptions(const vskTab& bar, int section) {
    QStringList captions;
    for (int i = 1; i <= bar.SectionAt(section).ItemCount(); ++i) captions << bar.SectionAt(section).ItemAt(i).Caption();
    return captions;
}

// The titles of a grid's columns from its second.
inline QStringList rowTexts(const platform::FlexGrid& g) { return testsupport::gridTexts(g).value(0).mid(1); }

}  // namespace editkit
