// The series dialog in both modes, opened from the main window's commands: its lists, its
// pages, its checks, its writes and the grid that follows, the number boxes' keys and the
// calendar's hand-over of the date.
#include "Answers.h"
#include "GradebookBuilder.h"
#include "controls/Calendar.h"
#include "controls/vskCompteur.h"
#include "editing/frmSerie.h"
#include "gradebook/mUtilities.h"
#include "mainwindow/frmMain.h"
#include "platform/FlexGrid.h"
#include "platform/FormInstance.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using platform::Form;
using testsupport::GradebookBuilder;

namespace {

QStringList headerRow(const platform::FlexGrid& g) {
    QStringList texts;
    for (int c = 1; c < g.Cols(); ++c) texts << g.TextMatrix(0, c);
    return texts;
}

// Every series as "name sur coefficient dd/MM/yyyy period class subject", in key order.
QStringList storedSeries() {
    db::Recordset rs = mUtilities::gDB.OpenRecordset(db::Query(u"Séries"_s).orderBy({u"NumSérie"_s}), db::RecordsetType::Snapshot);
    QStringList rows;
    for (; !rs.Eof(); rs.MoveNext())
        rows << u"%1 %2 %3 %4 %5 %6 %7"_s.arg(rs.Fields(u"Nom"_s).Value().toString())
                    .arg(rs.Fields(u"Sur"_s).Value().toInt())
                    .arg(rs.Fields(u"Coefficient"_s).Value().toInt())
                    .arg(rs.Fields(u"Date"_s).Value().toDateTime().toString(u"dd/MM/yyyy"))
                    .arg(rs.Fields(u"Période"_s).Value().toInt())
                    .arg(rs.Fields(u"NumClass"_s).Value().toInt())
                    .arg(rs.Fields(u"NumMat"_s).Value().toInt());
    return rows;
}

// What a paste does: the key filters do not see it.
void typeInto(QLineEdit* box, const QString& text) { box->setText(text); }

QStringList entries(const QComboBox& list) {
    QStringList texts;
    for (int i = 0; i < list.count(); ++i) texts << list.itemText(i);
    return texts;
}

}  // namespace

class tst_frmSerie : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    frmMain* m_main = nullptr;
    int m_6A = 0, m_5B = 0, m_maths = 0, m_french = 0, m_ds = 0;

private slots:
    void init() {
        GradebookBuilder b(m_dir.filePath(u"%1.dat"_s.arg(QTest::currentTestFunction())));
        m_6A = b.addClass(u"Sixième A"_s, u"6A"_s);
        m_5B = b.addClass(u"Cinquième \"B\""_s, u"5B"_s);
        m_maths = b.addSubject(u"Maths"_s);
        m_french = b.addSubject(u"Français \"LV1\""_s);
        b.addStudent(m_6A, u"Durand"_s, u"Léa"_s);
        b.addStudent(m_5B, u"Martin"_s, u"Paul"_s);
        b.addSeries(m_6A, m_maths, u"Un nom de vingt-cinq lettres"_s.left(25), 20, 1, 2, QDate(2025, 1, 10));
        m_ds = b.addSeries(m_6A, m_maths, u"DS 1"_s, 10, 2, 1, QDate(2024, 10, 3));
        b.close();
        m_main = &Form<frmMain>::get();
        QVERIFY(m_main->OpenAFile(b.path()));
    }
    void cleanup() {
        Form<frmSérie>::unload();
        Form<frmMain>::unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void modifyModeListsAndPages() {
        m_main->selectClassAndSubject(2, 2);  // 5B, the subject with quotes
        platform::ModalTestScope scope;
        QStringList lines;
        scope.push([&](QWidget& w) {
            auto& d = dynamic_cast<frmSérie&>(w);
            QCOMPARE(d.windowTitle(), u"Modifier une série de notes"_s);
            QCOMPARE(d.lblEti[0]->text(), u"Choisissez la classe pour laquelle vous voulez modifier une série de notes:"_s);
            QCOMPARE(entries(*d.cboClasse), (QStringList{u"Sixième A"_s, u"Cinquième \"B\""_s}));
            QCOMPARE(entries(*d.cboMat), (QStringList{u"Maths"_s, u"Français \"LV1\""_s}));
            QCOMPARE(d.cboClasse->currentIndex(), 1);
            QCOMPARE(d.cboMat->currentIndex(), 1);

            // No series for that pair: the dialog stays on its first page.
            scope.push(testsupport::messageList(u"Impossible de modifier une série de notes qui n'existe pas."_s, &lines));
            d.cmdAction[0]->click();
            QVERIFY(d.fraPage1->isVisible());
            QCOMPARE(d.cmdAction[0]->text(), u"Suivant >"_s);

            d.cboClasse->setCurrentIndex(0);
            d.cboMat->setCurrentIndex(0);
            d.cmdAction[0]->click();
            QVERIFY(d.fraPage2->isVisible() && !d.fraPage1->isVisible() && d.cmdAction[2]->isVisible());
            QCOMPARE(d.cmdAction[0]->text(), u"OK"_s);
            QCOMPARE(entries(*d.cboSérie), (QStringList{u"DS 1 du 03/10/2024 (Période 1)"_s,
                                                        u"Un nom de vingt-c... du 10/01/2025 (Période 2)"_s}));
            // The first series of the list fills the form; choosing another refills it whole.
            QCOMPARE(d.txtNom->text(), u"DS 1"_s);
            QCOMPARE(d.TxtSur->text(), u"10"_s);
            QCOMPARE(d.txtCoefficient->text(), u"2"_s);
            QCOMPARE(d.txtDate->text(), u"03/10/2024"_s);
            d.cboSérie->setCurrentIndex(1);
            QCOMPARE(d.txtNom->text(), u"Un nom de vingt-cinq lett"_s);
            QCOMPARE(d.vskPériode->Value(), 2);
            d.cboSérie->setCurrentIndex(0);

            // Back and forth keeps what was typed.
            typeInto(d.TxtSur, u"20"_s);
            d.cmdAction[2]->click();
            QVERIFY(d.fraPage1->isVisible() && !d.cmdAction[2]->isVisible());
            QCOMPARE(d.cmdAction[1]->text(), u"Annuler"_s);
            d.cmdAction[0]->click();
            QCOMPARE(d.TxtSur->text(), u"10"_s);  // the list is read again: its first series

            typeInto(d.TxtSur, u"20"_s);
            d.vskPériode->setValue(3);
            d.cmdAction[0]->click();
            QVERIFY(!d.isVisible());
        });
        m_main->tooBar_ButtonMenuClick(3, 2);
        QCOMPARE(scope.pending(), 0);
        QCOMPARE(lines, QStringList{u"Cette classe n'a pas encore de série de notes dans cette matière.\n"
                                    "Créez au moins une série de notes (menu Créer/Nouvelle série de notes)."_s});
        QCOMPARE(storedSeries()[1], u"DS 1 20 2 03/10/2024 3 %1 %2"_s.arg(m_6A).arg(m_maths));
        // The grid on screen is another class's: it stays as it was.
        QCOMPARE(m_main->heading(), u"5B - Français \"LV1\""_s);

        // Shown again: the grid follows the change of period and of maximum mark.
        m_main->selectClassAndSubject(1, 1);
        QCOMPARE(headerRow(*m_main->flxNotes),
                 (QStringList{u"Moyenne 1"_s, u"Un nom de vingt-cinq lett"_s, u"Moyenne 2"_s, u"DS 1"_s, u"Moyenne 3"_s,
                              u"Moyenne générale"_s}));
        QCOMPARE(m_main->flxNotes->TextMatrix(1, 4), u"20"_s);
    }

    void createModeWritesAndChecks() {
        platform::ModalTestScope scope;
        QStringList refused;
        scope.push([&](QWidget& w) {
            auto& d = dynamic_cast<frmSérie&>(w);
            QCOMPARE(d.windowTitle(), u"Créer une série de notes"_s);
            QCOMPARE(d.lblEti[1]->text(), u"Choisissez la matière pour laquelle vous voulez créer une série de notes:"_s);
            d.cmdAction[0]->click();
            QCOMPARE(d.cmdAction[1]->text(), u"Terminer"_s);
            QVERIFY(d.lblEti[8]->isVisible() && !d.fraMat[2]->isVisible());

            // Every failure at once; a valid date is rewritten, nothing is written.
            d.txtNom->clear();
            typeInto(d.txtCoefficient, u"300"_s);
            typeInto(d.txtDate, u" 5.3.25"_s);
            scope.push(testsupport::messageList(u"Une ou plusieurs de vos saisies sont incorrectes."_s, &refused));
            d.cmdAction[0]->click();
            QCOMPARE(d.txtDate->text(), u"05/03/2025"_s);
            QCOMPARE(storedSeries().size(), 2);

            typeInto(d.txtNom, u"Contrôle"_s);
            typeInto(d.txtCoefficient, u"3"_s);
            d.vskPériode->setValue(2);
            d.cmdAction[0]->click();
            // Ready for the next one, nothing pending.
            QVERIFY(d.isVisible());
            QCOMPARE((QStringList{d.txtNom->text(), d.TxtSur->text(), d.txtCoefficient->text(), d.txtDate->text()}),
                     (QStringList{"", u"20"_s, u"1"_s, ""}));
            QCOMPARE(d.vskPériode->Value(), 1);
            QCOMPARE(d.cmdAction[1]->text(), u"Terminer"_s);
            QTest::keyClicks(d.txtNom, u"D"_s);
            QCOMPARE(d.cmdAction[1]->text(), u"Annuler"_s);

            // Another class's series leaves the grid on screen as it is.
            QCOMPARE(headerRow(*m_main->flxNotes).size(), 6);
            d.cmdAction[2]->click();
            d.cboClasse->setCurrentIndex(1);
            d.cmdAction[0]->click();
            typeInto(d.txtNom, u"Dictée"_s);
            typeInto(d.txtDate, u"6/3/2025"_s);
            d.cmdAction[0]->click();
            QCOMPARE(headerRow(*m_main->flxNotes).size(), 6);
            d.cmdAction[1]->click();
            QVERIFY(!d.isVisible());
        });
        m_main->tooBar_ButtonMenuClick(3, 1);
        QCOMPARE(scope.pending(), 0);
        QCOMPARE(refused, (QStringList{u"Donnez un nom à la série de notes."_s,
                                       u"Le coefficient doit être compris entre 0 et 255."_s}));
        QCOMPARE(storedSeries().mid(2), (QStringList{u"Contrôle 20 3 05/03/2025 2 %1 %2"_s.arg(m_6A).arg(m_maths),
                                                     u"Dictée 20 1 06/03/2025 1 %1 %2"_s.arg(m_5B).arg(m_maths)}));
        // The grid on screen took the new series of its class and subject.
        QCOMPARE(headerRow(*m_main->flxNotes),
                 (QStringList{u"DS 1"_s, u"Moyenne 1"_s, u"Un nom de vingt-cinq lett"_s, u"Contrôle"_s, u"Moyenne 2"_s,
                              u"Moyenne générale"_s}));
    }

    void numberKeysAndCalendar() {
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
        QVERIFY(!d.Calendrier->isVisible() && d.txtDate->hasFocus() && d.cmdAction[0]->isDefault());
        QVERIFY(d.isVisible());

        // Esc leaves the date as it was, and the dialog open. At the foot of the screen, the
        // calendar opens above the box.
        d.move(d.x(), area.bottom() - d.height() + 20);
        QTest::mouseClick(d.imaDate, Qt::LeftButton);
        QVERIFY(d.Calendrier->hasFocus());
        QVERIFY(area.contains(d.Calendrier->frameGeometry()) && d.Calendrier->frameGeometry().bottom() < box().top());
        QTest::keyClick(d.Calendrier, Qt::Key_Left);
        QTest::keyClick(d.Calendrier, Qt::Key_Escape);
        QCOMPARE(d.txtDate->text(), u"15/03/2025"_s);
        QVERIFY(!d.Calendrier->isVisible() && d.isVisible());
        // So does a click outside it.
        d.OpenCalendar();
        QTest::mouseClick(d.Calendrier, Qt::LeftButton, {}, QPoint(-5, -5));
        QVERIFY(!d.Calendrier->isVisible() && d.isVisible() && d.txtDate->text() == u"15/03/2025"_s);

        // A click on a day; not a date: the calendar opens on today.
        d.txtDate->setText(u"pas une date"_s);
        d.OpenCalendar();
        QCOMPARE(d.Calendrier->Value(), QDate::currentDate());
        d.Calendrier->setValue(QDate(2025, 3, 1));
        const int cell = CalendarMonth(2025, 3).FirstIndex() + 19;  // the 20th
        QTest::mouseClick(d.Calendrier, Qt::LeftButton, {},
                          d.Calendrier->DayCellRect(cell).center() + d.Calendrier->contentsRect().topLeft());
        QCOMPARE(d.txtDate->text(), u"20/03/2025"_s);
        QVERIFY(!d.Calendrier->isVisible());

        // A text that is no date stays as typed when the box is left.
        d.txtDate->setText(u"32/01/2025"_s);
        d.TxtSur->setFocus();
        QCOMPARE(d.txtDate->text(), u"32/01/2025"_s);

        // The counter's change says that something is pending, as the boxes do.
        d.cmdAction[1]->setText(u"Terminer"_s);
        d.vskPériode->findChild<QAbstractButton*>(u"cmdAction1"_s)->click();
        QCOMPARE(d.vskPériode->Value(), 2);
        QCOMPARE(d.cmdAction[1]->text(), u"Annuler"_s);
    }
};

QTEST_MAIN(tst_frmSerie)
#include "tst_frmSerie.moc"
