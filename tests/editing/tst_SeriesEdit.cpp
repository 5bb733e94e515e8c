// The series: their checks, list texts and writes, read back through a second connection to
// the file; the dialog in both modes from the main window's commands (its lists, pages,
// checks, writes and the grid that follows, the number boxes' keys and the calendar's
// hand-over of the date); and their deletion, its confirmation, the grades that go with the
// series, the grid that follows, and a failure that keeps all.
#include "EditingTestKit.h"
#include "controls/Calendar.h"
#include "controls/vskCompteur.h"
#include "editing/SeriesEdit.h"
#include "editing/frmDelSerie.h"
#include "editing/frmSerie.h"
#include "exchange/ImportGrades.h"

#include <ctime>

using namespace Qt::StringLiterals;
using namespace editkit;
using namespace testsupport;
using platform::Form;

namespace {

const QString kName = u"Donnez un nom à la série de notes."_s;
const QString kSurEmpty = u"Le champ 'Note sur' doit être renseigné."_s;
const QString kSurNaN = u"Le champ 'Note sur' doit être un nombre."_s;
const QString kSurZero = u"Le champ 'Note sur' ne doit pas être égal à 0."_s;
const QString kSurRange = u"Le champ 'Note sur' doit être compris entre 1 et 255."_s;
const QString kCoefEmpty = u"Attribuez un coefficient (même nul) à la série de notes."_s;
const QString kCoefNaN = u"Le coefficient doit être un nombre."_s;
const QString kCoefRange = u"Le coefficient doit être compris entre 0 et 255."_s;
const QString kDate = u"Donnez une date à la série de notes.\n(Celle-ci est nécessaire pour ordonner les séries de "
                      u"notes à l'intérieur d'une même période)."_s;

// Every series as "name sur coef date period class subject width", in key order.
QStringList seriesRows(const QString& path) {
    return editkit::fields(path, u"Séries"_s, {u"Nom"_s, u"Sur"_s, u"Coefficient"_s, u"Date"_s, u"Période"_s, u"NumClass"_s,
                                               u"NumMat"_s, u"Colonne"_s});
}

// The grades as "series student", in key order.
QStringList grades(const QString& path) { return editkit::fields(path, u"Notes"_s, {u"NumSérie"_s, u"NumElv"_s}); }

}  // namespace

class tst_SeriesEdit : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    frmMain* m_main = nullptr;
    QString m_path;
    int m_6A = 0, m_5B = 0, m_maths = 0, m_french = 0, m_lea = 0, m_first = 0, m_ds = 0;

    // Two classes and two subjects (quotes in their names), a student in each class and two
    // series of 6A in Maths with her grades, open in the main window.
    void openSample() {
        GradebookBuilder b(m_dir.filePath(u"%1.dat"_s.arg(QTest::currentTestFunction())));
        m_6A = b.addClass(u"Sixième A"_s, u"6A"_s);
        m_5B = b.addClass(u"Cinquième \"B\""_s, u"5B"_s);
        m_maths = b.addSubject(u"Maths"_s);
        m_french = b.addSubject(u"Français \"LV1\""_s);
        m_lea = b.addStudent(m_6A, u"Durand"_s, u"Léa"_s);
        b.addStudent(m_5B, u"Martin"_s, u"Paul"_s);
        // Names of 25 and of 20 characters: the list shows 20 at the most.
        m_first = b.addSeries(m_6A, m_maths, u"Un nom de vingt-cinq lettres"_s.left(25), 20, 1, 2, QDate(2025, 1, 10));
        m_ds = b.addSeries(m_6A, m_maths, u"Devoir surveillé n°1"_s, 10, 2, 1, QDate(2024, 10, 3));
        b.addGrade(m_first, m_lea, 12);
        b.addGrade(m_ds, m_lea, 8);
        b.close();
        m_path = b.path();
        m_main = &editkit::openMain(m_path);
    }

private slots:
    void cleanup() { editkit::unloadAll<frmSérie, frmDelSérie>(); }

    void validation_data() {
        QTest::addColumn<QStringList>("input");
        QTest::addColumn<QStringList>("lines");
        const QString date = u"14/03/2025"_s;
        QTest::newRow("valid") << QStringList{u"DS 1"_s, u"20"_s, u"1"_s, date} << QStringList();
        QTest::newRow("all empty") << QStringList{"", "", "", ""} << QStringList{kName, kSurEmpty, kCoefEmpty, kDate};
        QTest::newRow("blanks are a name") << QStringList{u"   "_s, u"1"_s, u"0"_s, u"1/9/24"_s} << QStringList();
        for (const char* zero : {"0", "00", "0,0", "0,4", "0,5"})
            QTest::addRow("sur %s", zero) << QStringList{u"DS"_s, QString::fromLatin1(zero), u"1"_s, date}
                                          << QStringList{kSurZero};
        QTest::newRow("sur 255") << QStringList{u"DS"_s, u"255"_s, u"255"_s, date} << QStringList();
        QTest::newRow("sur 0,6 is 1") << QStringList{u"DS"_s, u"0,6"_s, u"1"_s, date} << QStringList();
        QTest::newRow("past a byte") << QStringList{u"DS"_s, u"255,5"_s, u"300"_s, date} << QStringList{kSurRange, kCoefRange};
        QTest::newRow("negative") << QStringList{u"DS"_s, u"-3"_s, u"-1"_s, date} << QStringList{kSurRange, kCoefRange};
        QTest::newRow("pasted text") << QStringList{u"DS"_s, u"vingt"_s, u"1,2,3"_s, date} << QStringList{kSurNaN, kCoefNaN};
        QTest::newRow("no such day") << QStringList{u"DS"_s, u"20"_s, u"1"_s, u"31/02/2025"_s} << QStringList{kDate};
    }
    void validation() {
        QFETCH(QStringList, input);
        QFETCH(QStringList, lines);
        QCOMPARE(seriesedit::refusals({input[0], input[1], input[2], input[3]}), lines);
    }

    void writes() {
        openSample();
        const db::Database d = testsupport::openGradebook(m_path);
        // A decomposed "é" is stored composed; fractions are rounded as the byte fields do.
        const seriesedit::Series typed =
            seriesedit::accepted({u"Contro\u0302le e\u0301crit"_s, u"20,4"_s, u"2,5"_s, u"5/3/25"_s}, 3);
        QCOMPARE(seriesedit::create(d, m_6A, m_french, typed), m_ds + 1);
        QCOMPARE(seriesRows(m_path).last(), u"Contrôle écrit 20 2 2025-03-05T00:00:00.000Z 3 %1 %2 %3"_s.arg(m_6A).arg(m_french)
                                                .arg(gradebook::kNewSeriesWidth));

        // The same day keeps its time; another day is written at midnight.
        seriesedit::Series changed = seriesedit::accepted({u"DS 1"_s, u"10"_s, u"0"_s, u"10/01/2025"_s}, 2);
        changed.key = m_first;
        seriesedit::modify(d, m_6A, m_maths, changed);
        QCOMPARE(seriesRows(m_path).first(), u"DS 1 10 0 2025-01-10T08:00:00.000Z 2 %1 %2 600"_s.arg(m_6A).arg(m_maths));
        changed.date = QDateTime(QDate(2025, 1, 11), QTime(0, 0));
        seriesedit::modify(d, m_6A, m_maths, changed);
        QCOMPARE(seriesRows(m_path).first(), u"DS 1 10 0 2025-01-11T00:00:00.000Z 2 %1 %2 600"_s.arg(m_6A).arg(m_maths));

        changed.key = 999;
        QCOMPARE(testsupport::dbError([&] { seriesedit::modify(d, m_6A, m_maths, changed); }),
                 testsupport::code(db::DbErrc::NoCurrentRecord));
        QCOMPARE(seriesRows(m_path).size(), 3);
    }

    // A day whose midnight the clocks skip (Santiago, 8 September 2024) and a time in the hour
    // that Paris skips (30 March 2025, 02:30, as a file from elsewhere holds it) stay what they
    // are through the dialog's writes, an exchange file and its import, whatever the zone.
    void datesAreTheSameInEveryZone_data() {
        QTest::addColumn<QByteArray>("zone");
        QTest::newRow("Santiago") << QByteArray("America/Santiago");
        QTest::newRow("Paris") << QByteArray("Europe/Paris");
    }
    void datesAreTheSameInEveryZone() {
        QFETCH(QByteArray, zone);
        const auto restore = qScopeGuard([tz = qgetenv("TZ")] {
            qputenv("TZ", tz);
            tzset();
        });
        qputenv("TZ", zone);
        tzset();
        openSample();  // with 5B, a class without series
        const db::Database d = testsupport::openGradebook(m_path);
        const int cls = m_5B, maths = m_maths;
        seriesedit::create(d, cls, maths, seriesedit::accepted({u"DS"_s, u"20"_s, u"1"_s, u"8/9/2024"_s}, 1));
        seriesedit::Series night = seriesedit::accepted({u"Nuit"_s, u"20"_s, u"1"_s, u"30/3/2025"_s}, 1);
        night.key = seriesedit::create(d, cls, maths, {0, u"Nuit"_s, 20, 1, QDateTime({2025, 3, 30}, {2, 30}, Qt::UTC), 1});
        seriesedit::modify(d, cls, maths, night);
        const QString file = exchangefile::write(d, {cls, maths, u"5B"_s, u"Maths"_s, {}, {1}}, m_path + u"-export"_s);
        const exchangefile::Contents c = exchangefile::read(db::Database::OpenDatabase(file, gradebook::databasePassword()));
        importgrades::importGrades(d, c, importgrades::autoMatch(c.students, importgrades::readStudents(d)), maths);
        QStringList dates;
        for (const seriesedit::Series& s : seriesedit::read(d, cls, maths)) dates << s.date.toString(u"yyyy-MM-dd HH:mm:ss");
        QCOMPARE(dates, (QStringList{u"2024-09-08 00:00:00"_s, u"2024-09-08 00:00:00"_s, u"2025-03-30 02:30:00"_s,
                                     u"2025-03-30 02:30:00"_s}));
    }

    void modifyModeListsAndPages() {
        openSample();
        m_main->selectClassAndSubject(2, 2);  // 5B, the subject with quotes
        platform::ModalTestScope scope;
        QStringList lines;
        scope.push([&](QWidget& w) {
            auto& d = dynamic_cast<frmSérie&>(w);
            QCOMPARE(d.windowTitle(), u"Modifier une série de notes"_s);
            QVERIFY(d.cboClasse->currentText() == u"Cinquième \"B\""_s && d.cboMat->currentText() == u"Français \"LV1\""_s);

            // No series for that pair: the dialog stays on its first page.
            scope.push(testsupport::messageList(u"Impossible de modifier une série de notes qui n'existe pas."_s, &lines));
            d.cmdAction[0]->click();
            QVERIFY(d.fraPage1->isVisible() && d.cmdAction[0]->text() == u"Suivant >"_s);

            d.cboClasse->setCurrentIndex(0);
            d.cboMat->setCurrentIndex(0);
            d.cmdAction[0]->click();
            QVERIFY(d.fraPage2->isVisible() && !d.fraPage1->isVisible() && d.cmdAction[2]->isVisible());
            QVERIFY(d.cmdAction[0]->text() == u"OK"_s && d.cboSérie->count() == 2);
            QCOMPARE(d.cboSérie->itemText(0), u"Devoir surveillé n°1 du 03/10/2024 (Période 1)"_s);
            QCOMPARE(d.cboSérie->itemText(1), u"Un nom de vingt-c... du 10/01/2025 (Période 2)"_s);
            // The first series of the list fills the form; choosing another refills it whole.
            QCOMPARE((QStringList{d.txtNom->text(), d.TxtSur->text(), d.txtCoefficient->text(), d.txtDate->text()}),
                     (QStringList{u"Devoir surveillé n°1"_s, u"10"_s, u"2"_s, u"03/10/2024"_s}));
            d.cboSérie->setCurrentIndex(1);
            QVERIFY(d.txtNom->text() == u"Un nom de vingt-cinq lett"_s && d.vskPériode->Value() == 2);
            d.cboSérie->setCurrentIndex(0);

            // Back and forth keeps what was typed.
            d.TxtSur->setText(u"20"_s);
            d.cmdAction[2]->click();
            QVERIFY(d.fraPage1->isVisible() && !d.cmdAction[2]->isVisible());
            QCOMPARE(d.cmdAction[1]->text(), u"Annuler"_s);
            d.cmdAction[0]->click();
            QCOMPARE(d.TxtSur->text(), u"10"_s);  // the list is read again: its first series

            d.TxtSur->setText(u"20"_s);
            d.vskPériode->setValue(3);
            d.cmdAction[0]->click();
            QVERIFY(!d.isVisible());
        });
        m_main->tooBar_ButtonMenuClick(3, 2);
        QCOMPARE(scope.pending(), 0);
        QCOMPARE(lines, QStringList{u"Cette classe n'a pas encore de série de notes dans cette matière.\n"
                                    "Créez au moins une série de notes (menu Créer/Nouvelle série de notes)."_s});
        QCOMPARE(seriesRows(m_path)[1],
                 u"Devoir surveillé n°1 20 2 2024-10-03T08:00:00.000Z 3 %1 %2 600"_s.arg(m_6A).arg(m_maths));
        // The grid on screen is another class's: it stays as it was.
        QCOMPARE(m_main->heading(), u"5B - Français \"LV1\""_s);
    }

    void createModeWritesAndChecks() {
        openSample();
        platform::ModalTestScope scope;
        QStringList refused;
        scope.push([&](QWidget& w) {
            auto& d = dynamic_cast<frmSérie&>(w);
            QCOMPARE(d.windowTitle(), u"Créer une série de notes"_s);
            d.cmdAction[0]->click();
            QCOMPARE(d.cmdAction[1]->text(), u"Terminer"_s);
            QVERIFY(d.lblEti[8]->isVisible() && !d.fraMat[2]->isVisible());

            // Every failure at once; a valid date is rewritten, nothing is written.
            d.txtNom->clear();
            d.txtCoefficient->setText(u"300"_s);
            d.txtDate->setText(u" 5.3.25"_s);
            scope.push(testsupport::messageList(u"Une ou plusieurs de vos saisies sont incorrectes."_s, &refused));
            d.cmdAction[0]->click();
            QCOMPARE(d.txtDate->text(), u"05/03/2025"_s);
            QCOMPARE(seriesRows(m_path).size(), 2);

            d.txtNom->setText(u"Contrôle"_s);
            d.txtCoefficient->setText(u"3"_s);
            d.vskPériode->setValue(2);
            d.cmdAction[0]->click();
            // Ready for the next one, nothing pending.
            QVERIFY(d.isVisible());
            QCOMPARE((QStringList{d.txtNom->text(), d.TxtSur->text(), d.txtCoefficient->text(), d.txtDate->text()}),
                     (QStringList{"", u"20"_s, u"1"_s, ""}));
            QVERIFY(d.vskPériode->Value() == 1 && d.cmdAction[1]->text() == u"Terminer"_s);
            QTest::keyClicks(d.txtNom, u"D"_s);
            QCOMPARE(d.cmdAction[1]->text(), u"Annuler"_s);

            // A series of another class.
            d.cmdAction[2]->click();
            d.cboClasse->setCurrentIndex(1);
            d.cmdAction[0]->click();
            d.txtNom->setText(u"Dictée"_s);
            d.txtDate->setText(u"6/3/2025"_s);
            d.cmdAction[0]->click();
            d.cmdAction[1]->click();
            QVERIFY(!d.isVisible());
        });
        m_main->tooBar_ButtonMenuClick(3, 1);
        QCOMPARE(scope.pending(), 0);
        QCOMPARE(refused, (QStringList{kName, kCoefRange}));
        QCOMPARE(seriesRows(m_path).mid(2),
                 (QStringList{u"Contrôle 20 3 2025-03-05T00:00:00.000Z 2 %1 %2 600"_s.arg(m_6A).arg(m_maths),
                              u"Dictée 20 1 2025-03-06T00:00:00.000Z 1 %1 %2 600"_s.arg(m_5B).arg(m_maths)}));
        // The grid on screen took the new series of its class and subject.
        QCOMPARE(rowTexts(*m_main->flxNotes),
                 (QStringList{u"Devoir surveillé n°1"_s, u"Moyenne 1"_s, u"Un nom de vingt-cinq lett"_s, u"Contrôle"_s,
                              u"Moyenne 2"_s, u"Moyenne générale"_s}));
    }

    void numberKeysAndCalendar() {
        openSample();
        frmSérie& d = Form<frmSérie>::get();
        QVERIFY(d.PopulateCombos(*m_main, mUtilities::gDB));
        d.show();
        d.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        d.cmdAction[0]->click();

        // "," at the start makes "0,"; "." at the end is a comma; one comma only; no letters.
        d.TxtSur->setText(u"15"_s);
        d.TxtSur->setCursorPosition(0);
        QTest::keyClick(d.TxtSur, ',');
        QCOMPARE(d.TxtSur->text(), u"0,"_s);
        d.txtCoefficient->setText(u"12"_s);
        d.txtCoefficient->setCursorPosition(2);
        for (const char c : {'.', ',', 'a', '5'}) QTest::keyClick(d.txtCoefficient, c);
        QCOMPARE(d.txtCoefficient->text(), u"12,5"_s);

        // Alt+Down opens the calendar on the typed date; Enter hands its day over.
        d.txtDate->setFocus();
        d.txtDate->setText(u"14/03/2025"_s);
        QTest::keyClick(d.txtDate, Qt::Key_Down, Qt::AltModifier);
        QVERIFY(d.Calendrier->isVisible() && d.Calendrier->hasFocus());
        QCOMPARE(d.Calendrier->Value(), QDate(2025, 3, 14));
        // It drops down under the date box, wholly on the screen, every day within its border.
        const QRect area = d.screen()->availableGeometry();
        const auto box = [&] { return QRect(d.txtDate->mapToGlobal(QPoint()), d.txtDate->size()); };
        const QRect inside = d.Calendrier->contentsRect();
        QVERIFY(area.contains(d.Calendrier->frameGeometry()) && d.Calendrier->y() > box().bottom());
        QVERIFY(inside.contains(d.Calendrier->DayCellRect(41).translated(inside.topLeft())));
        QVERIFY(!d.cmdAction[0]->isDefault());
        QTest::keyClick(d.Calendrier, Qt::Key_Right);
        QTest::keyClick(d.Calendrier, Qt::Key_Return);
        QCOMPARE(d.txtDate->text(), u"15/03/2025"_s);
        QVERIFY(!d.Calendrier->isVisible() && d.txtDate->hasFocus() && d.cmdAction[0]->isDefault() && d.isVisible());

        // Esc leaves the date as it was, and the dialog open. At the foot of the screen, the
        // calendar opens above the box.
        d.move(d.x(), area.bottom() - d.height() + 20);
        QTest::mouseClick(d.imaDate, Qt::LeftButton);
        QVERIFY(d.Calendrier->hasFocus() && area.contains(d.Calendrier->frameGeometry()));
        QVERIFY(d.Calendrier->frameGeometry().bottom() < box().top());
        QTest::keyClick(d.Calendrier, Qt::Key_Left);
        QTest::keyClick(d.Calendrier, Qt::Key_Escape);
        QCOMPARE(d.txtDate->text(), u"15/03/2025"_s);
        QVERIFY(!d.Calendrier->isVisible() && d.isVisible());
        // So does a click outside it.
        d.OpenCalendar();
        QTest::mouseClick(d.Calendrier, Qt::LeftButton, {}, QPoint(-5, -5));
        QVERIFY(!d.Calendrier->isVisible() && d.isVisible() && d.txtDate->text() == u"15/03/2025"_s);

        d.OpenCalendar();  // a click on a day
        d.Calendrier->setValue(QDate(2025, 3, 1));
        const int cell = CalendarMonth(2025, 3).FirstIndex() + 19;  // the 20th
        QTest::mouseClick(d.Calendrier, Qt::LeftButton, {},
                          d.Calendrier->DayCellRect(cell).center() + d.Calendrier->contentsRect().topLeft());
        QVERIFY(d.txtDate->text() == u"20/03/2025"_s && !d.Calendrier->isVisible());

        // The counter's change says that something is pending, as the boxes do.
        d.cmdAction[1]->setText(u"Terminer"_s);
        d.vskPériode->findChild<QAbstractButton*>(u"cmdAction1"_s)->click();
        QVERIFY(d.vskPériode->Value() == 2 && d.cmdAction[1]->text() == u"Annuler"_s);
    }

    void deletesTheSeriesWithItsGrades() {
        openSample();
        const QStringList all = grades(m_path), header = rowTexts(*m_main->flxNotes);
        const QString question = u"Etes-vous sûr de vouloir supprimer cette série de notes ?"_s;
        platform::ModalTestScope scope;
        scope.push([&](QWidget& w) {
            auto& d = dynamic_cast<frmDelSérie&>(w);
            // A class without series: the dialog stays at its first step.
            d.cboClasse->setCurrentIndex(1);
            scope.push(testsupport::messageList(u"Impossible de supprimer une série de notes."_s));
            d.cmdAction[0]->click();
            QVERIFY(d.fraMat[1]->isVisible() && !d.fraMat[2]->isVisible());

            d.cboClasse->setCurrentIndex(0);
            d.cmdAction[0]->click();
            QVERIFY(!d.fraMat[0]->isVisible() && !d.fraMat[1]->isVisible() && d.fraMat[2]->isVisible());
            QCOMPARE(d.cmdAction[0]->text(), u"OK"_s);
            QCOMPARE(d.cboSérie->itemText(0), u"Devoir surveillé n°1 du 03/10/2024 (Période 1)"_s);
            d.cboSérie->setCurrentIndex(1);

            // "Non", or the box closed: nothing deleted, the same choice kept.
            for (const QString& answer : {u"Non"_s, QString()}) {
                scope.push(testsupport::msgBox(question, answer));
                d.cmdAction[0]->click();
            }
            QVERIFY(d.isVisible() && d.cboSérie->currentIndex() == 1);
            QCOMPARE(grades(m_path), all);

            // The gradebook refuses the series row after its grades: everything stays.
            testsupport::failOn(m_path, "DELETE", u"Séries"_s);
            scope.push(testsupport::msgBox(question, u"Oui"_s));
            scope.push(testsupport::systemMessage(u"Impossible de supprimer cette série de notes du carnet de notes."_s));
            d.cmdAction[0]->click();
            QVERIFY(d.isVisible());
            QCOMPARE(grades(m_path), all);
            QCOMPARE(rowTexts(*m_main->flxNotes), header);
            testsupport::dropFailures(m_path);

            scope.push(testsupport::msgBox(question, u"Oui"_s));
            d.cmdAction[0]->click();
            QVERIFY(!d.isVisible());
        });
        m_main->tooBar_ButtonMenuClick(3, 3);
        QCOMPARE(scope.pending(), 0);
        QCOMPARE(editkit::fields(m_path, u"Séries"_s, {u"Nom"_s}), QStringList{u"Devoir surveillé n°1"_s});
        QCOMPARE(grades(m_path), QStringList{u"%1 %2"_s.arg(m_ds).arg(m_lea)});
        // The grid on screen lost the column.
        QVERIFY(!rowTexts(*m_main->flxNotes).contains(u"Un nom de vingt-cinq lett"_s));
    }
};

QTEST_MAIN(tst_SeriesEdit)
#include "tst_SeriesEdit.moc"
