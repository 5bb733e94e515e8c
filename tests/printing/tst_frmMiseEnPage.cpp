// The page setup: its settings file (read and written in place through the settings-file
// class, files from elsewhere and damaged values read without harm, the sixteen keys in
// order), every check of "Continuer" with its message, and the dialog's answers, boxes
// and font, whose size is kept, saved and printed to a tenth of a point. The settings-file class's other members, one row each.
#include "printing/CINIFile.h"
#include "printing/frmMiseEnPage.h"
#include "printing/PrintFile.h"
#include "printing/Printer.h"

#include "Answers.h"
#include "PrintTestKit.h"
#include "UiHelpers.h"

#include <QComboBox>
#include <QFile>
#include <QFontDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using printing::PageSetup;
using platform::ModalTestScope;
using testsupport::fileBytes;
using testsupport::writeFile;

class tst_frmMiseEnPage : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_cfg;

private slots:
    void init() { m_cfg = m_dir.filePath(u"%1 %2.cfg"_s.arg(QTest::currentTestFunction(), QTest::currentDataTag())); }

    void settingsWriteInPlaceAndKeepForeignLines() {
        // Names without regard to case; foreign lines and other sections kept as they are.
        writeFile(m_cfg, "; made by hand\r\n[impression]\r\n  TAILLE = 2 \r\nnot a key\r\n\r\n[Autre]\r\nTaille=7\r\n");
        CINIFile ini;
        ini.setFile(m_cfg);
        ini.setSection(u"Impression"_s);
        QCOMPARE(ini.Value(u"taille"_s), u"2"_s);
        ini.setValue(u"Taille"_s, 5);
        ini.setValue(u"FontSize"_s, 12.5);
        ini.setValue(u"En-Tête"_s, u"Noir=3"_s);
        QCOMPARE(QString::fromUtf8(fileBytes(m_cfg)),
                 u"; made by hand\n[impression]\nTaille=5\nnot a key\nFontSize=12,5\nEn-Tête=Noir=3\n\n[Autre]\nTaille=7\n"_s);

        // The first of two equal names wins, for sections and keys alike; line breaks in a
        // value would cut its line: they become blanks.
        writeFile(m_cfg, "[A]\nk=1\nK=2\n[a]\nk=3\n");
        ini.setSection(u"a"_s);
        QCOMPARE(ini.Value(u"K"_s), u"1"_s);
        ini.setValue(u"k"_s, u"Dupont\r\nJean"_s);
        QCOMPARE(ini.Value(u"k"_s), u"Dupont Jean"_s);
        QCOMPARE(fileBytes(m_cfg), QByteArray("[A]\nk=Dupont Jean\nK=2\n[a]\nk=3\n"));

        // Nothing can be written under a file: the write says so and the file stays.
        ini.setFile(m_cfg + u"/Quibolet.cfg"_s);
        ini.setSection(u"a"_s);
        QVERIFY(!ini.setValue(u"k"_s, 2));
        QCOMPARE(ini.Value(u"k"_s), QString());
        QCOMPARE(fileBytes(m_cfg), QByteArray("[A]\nk=Dupont Jean\nK=2\n[a]\nk=3\n"));
    }

    // The members the page setup does not use, on a file whose current section is
    // "Impression": what each returns ("untouched" for an enumeration that leaves its output
    // alone), the file and the current section afterwards.
    void settingsFileMembers_data() {
        QTest::addColumn<QByteArray>("file");  // empty: no file
        QTest::addColumn<QStringList>("call");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<QString>("section");
        const QByteArray two = "[Impression]\n1=57\n2=113\n[Autre]\nx=1\n";
        const QByteArray bare = "[Impression]\nseul\nk=v\n";
        const QString imp = u"Impression"_s;
        QTest::newRow("value found") << two << QStringList{u"getValue"_s, u"2"_s, u"d"_s} << "113|found" << two << imp;
        QTest::newRow("missing key, a default") << two << QStringList{u"getValue"_s, u"3"_s, u"d"_s} << "d|found" << two << imp;
        QTest::newRow("missing key, no default") << two << QStringList{u"getValue"_s, u"3"_s, u""_s} << "|not found" << two << imp;
        QTest::newRow("empty value") << QByteArray("[Impression]\n1=\n") << QStringList{u"getValue"_s, u"1"_s, u"d"_s}
                                     << "d|not found" << QByteArray("[Impression]\n1=\n") << imp;
        QTest::newRow("no file") << QByteArray() << QStringList{u"getValue"_s, u"1"_s, u"d"_s} << "d|found" << QByteArray() << imp;
        QTest::newRow("keys") << two << QStringList{u"enumSectionKeys"_s} << "2:1,2" << two << imp;
        QTest::newRow("values") << two << QStringList{u"enumSectionValues"_s} << "2:57,113" << two << imp;
        QTest::newRow("pairs") << two << QStringList{u"enumSectionValuePairs"_s} << "2:1=57,2=113" << two << imp;
        QTest::newRow("lines") << two << QStringList{u"enumSectionKeysAndValues"_s} << "2:1=57,2=113" << two << imp;
        QTest::newRow("sections") << QByteArray("[0]\n[1]\na=b\n[2]\n") << QStringList{u"enumSections"_s} << "3:0,1,2"
                                  << QByteArray("[0]\n[1]\na=b\n[2]\n") << imp;
        QTest::newRow("pair of a line without =") << bare << QStringList{u"enumSectionValuePairs"_s} << "2:=,k=v" << bare << imp;
        for (const QString& e : {u"enumSectionKeys"_s, u"enumSectionValues"_s, u"enumSectionValuePairs"_s,
                                 u"enumSectionKeysAndValues"_s}) {
            QTest::addRow("%s of an empty section", qPrintable(e))
                << QByteArray("[Impression]\n[Autre]\nx=1\n") << QStringList{e} << "0:untouched"
                << QByteArray("[Impression]\n[Autre]\nx=1\n") << imp;
        }
        QTest::newRow("no sections without a file") << QByteArray() << QStringList{u"enumSections"_s} << "0:untouched"
                                                    << QByteArray() << imp;
        QTest::newRow("section added, made current") << two << QStringList{u"AddSection"_s, u"Nouvelle"_s, u"1"_s} << ""
                                                     << two + "[Nouvelle]\n" << u"Nouvelle"_s;
        QTest::newRow("section added") << QByteArray() << QStringList{u"AddSection"_s, u"Nouvelle"_s, u"0"_s} << ""
                                       << QByteArray("[Nouvelle]\n") << imp;
        QTest::newRow("current section deleted") << two << QStringList{u"deleteSection"_s, u"Impression"_s} << ""
                                                 << QByteArray("[Autre]\nx=1\n") << QString();
        QTest::newRow("other section deleted") << two << QStringList{u"deleteSection"_s, u"Autre"_s} << ""
                                               << QByteArray("[Impression]\n1=57\n2=113\n") << imp;
        QTest::newRow("same name, other case") << two << QStringList{u"deleteSection"_s, u"impression"_s} << ""
                                               << QByteArray("[Autre]\nx=1\n") << imp;
        QTest::newRow("key deleted") << two << QStringList{u"deleteKey"_s, u"1"_s} << ""
                                     << QByteArray("[Impression]\n2=113\n[Autre]\nx=1\n") << imp;
        QTest::newRow("section rewritten") << two << QStringList{u"writeSection"_s, u"a=1"_s, u"b=2"_s} << ""
                                           << QByteArray("[Impression]\na=1\nb=2\n[Autre]\nx=1\n") << imp;
        QTest::newRow("section written new") << QByteArray() << QStringList{u"writeSection"_s, u"a=1"_s} << ""
                                             << QByteArray("[Impression]\na=1\n") << imp;
    }

    void settingsFileMembers() {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, call);
        QFETCH(QString, result);
        QFETCH(QByteArray, after);
        QFETCH(QString, section);
        if (!file.isEmpty()) writeFile(m_cfg, file);
        CINIFile ini;
        ini.setFile(m_cfg);
        ini.setSection(u"Impression"_s);
        const QString member = call.takeFirst();
        QStringList out{u"untouched"_s};
        const auto listed = [&](int count) { return QString::number(count) + u':' + out.join(u','); };
        QString got;
        if (member == u"getValue"_s) {
            bool notFound = false;
            got = ini.getValue(call[0], call[1], notFound);
            got += notFound ? u"|not found"_s : u"|found"_s;
        } else if (member == u"enumSectionKeys"_s) {
            got = listed(ini.enumSectionKeys(out));
        } else if (member == u"enumSectionValues"_s) {
            got = listed(ini.enumSectionValues(out));
        } else if (member == u"enumSectionKeysAndValues"_s) {
            got = listed(ini.enumSectionKeysAndValues(out));
        } else if (member == u"enumSections"_s) {
            got = listed(ini.enumSections(out));
        } else if (member == u"enumSectionValuePairs"_s) {
            const QPair<QString, QString> untouched{u"untouched"_s, {}};
            QList<QPair<QString, QString>> pairs{untouched};
            const int count = ini.enumSectionValuePairs(pairs);
            out.clear();
            for (const auto& pair : pairs) out << (pair == untouched ? pair.first : pair.first + u'=' + pair.second);
            got = listed(count);
        } else if (member == u"AddSection"_s) {
            ini.AddSection(call[0], call[1] == u"1"_s);
        } else if (member == u"deleteSection"_s) {
            ini.deleteSection(call[0]);
        } else if (member == u"deleteKey"_s) {
            ini.deleteKey(call[0]);
        } else if (member == u"writeSection"_s) {
            ini.writeSection(call);
        }
        QCOMPARE(got, result);
        QCOMPARE(fileBytes(m_cfg), after);
        QCOMPARE(ini.Section(), section);
    }

    void damagedSettingsTakeTheirDefaults() {
        // Windows-1252 from another system, CR-only line ends, no final break; a byte-order
        // mark and keys before any section.
        writeFile(m_cfg, "[Impression]\rEn-T\xeate=4\rFontName=Arial\xae");
        QCOMPARE(printing::loadPageSetup(m_cfg).colours[0], 4);
        QCOMPARE(printing::loadPageSetup(m_cfg).fontName, u"Arial®"_s);
        writeFile(m_cfg, "\xef\xbb\xbfTaille=3\n[Impression]\nTaille=1\n");
        QCOMPARE(printing::loadPageSetup(m_cfg).paper, 1);

        // Out of range, not numbers, negative: each such key at its default, the rest kept.
        writeFile(m_cfg, "[impression]\ntaille=12\nPerso1=abc\nPerso2=20000\nMargeS=-3\nMargeI=7.5\nMargeG=25x\n"
                         "Orientation=2\nFontName=\nFontSize=abc\nQuadrillage=2\nEn-Tête=9\nDonnées1=-1\nDonnées2=1.6\n");
        PageSetup expected;
        expected.customHeight = u"20000"_s;  // a size only "Continuer" checks, when used
        expected.margins[2] = u"25"_s;
        expected.colours[2] = 2;  // 1.6 rounds to 2
        QCOMPARE(printing::loadPageSetup(m_cfg), expected);
        for (const char* size : {"0", "-3", "1e400", "600"}) {
            writeFile(m_cfg, QByteArray("[Impression]\nFontSize=") + size + "\nTaille=2.4\n");
            QCOMPARE(printing::loadPageSetup(m_cfg).fontSize, u"10"_s);
            QCOMPARE(printing::loadPageSetup(m_cfg).paper, 2);
        }
        writeFile(m_cfg, "[Impression]\nFontSize=512\n");  // the largest the font dialog takes
        QCOMPARE(printing::loadPageSetup(m_cfg).fontSize, u"512"_s);
        // Binary junk is only a file without the keys, and a write still lands.
        QByteArray junk;
        for (int i = 0; i < 4096; ++i) junk.append(char((i * 7919) % 256));
        writeFile(m_cfg, junk);
        QCOMPARE(frmMiseEnPage(m_cfg).pageSetup(), PageSetup{});
        QVERIFY(printing::savePageSetup(expected, m_cfg));
        QCOMPARE(printing::loadPageSetup(m_cfg), expected);
    }

    void checksInOrderWithTheirMessages_data() {
        QTest::addColumn<int>("paper");
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<QString>("size");     // "width height"
        QTest::addColumn<QString>("margins");  // "top bottom left right"
        QTest::addColumn<QString>("message");
        const QString width = u"La largeur de page doit être comprise entre 100 et 300 mm."_s;
        const QString height = u"La hauteur de page doit être comprise entre 100 et 500 mm."_s;
        const QString lWidth = u"En orientation paysage, la largeur de page doit être comprise entre 100 et 500 mm."_s;
        const QString lHeight = u"En orientation paysage, la hauteur de page doit être comprise entre 100 et 300 mm."_s;
        const QString range = u"Les marges doivent être comprises entre 5 et 50 mm."_s;
        const QString sides = u"Les marges droite et gauche sont trop grandes.\nVeuillez les réduire."_s;
        const QString topBottom = u"Les marges spérieure et inférieure sont trop grandes.\nVeuillez les réduire."_s;
        const QString a6 = u"Les marges droite et gauche sont trop grandes.\nVeuillez les réduire pour que leur somme soient au plus égale à 45 mm."_s;
        QTest::newRow("portrait 300x500") << 8 << false << "300 500" << "20 20 20 20" << "";
        QTest::newRow("portrait 301 wide") << 8 << false << "301 500" << "20 20 20 20" << width;
        QTest::newRow("portrait 99 wide") << 8 << false << "99 200" << "20 20 20 20" << width;
        QTest::newRow("portrait 501 high") << 8 << false << "300 501" << "20 20 20 20" << height;
        QTest::newRow("landscape 500x300") << 8 << true << "500 300" << "20 20 20 20" << "";
        QTest::newRow("landscape 501 wide") << 8 << true << "501 300" << "20 20 20 20" << lWidth;
        QTest::newRow("landscape 301 high") << 8 << true << "500 301" << "20 20 20 20" << lHeight;
        QTest::newRow("size before margins") << 8 << true << "90 90" << "1 1 1 1" << lWidth;
        QTest::newRow("empty size box") << 8 << false << " 200" << "20 20 20 20" << width;
        QTest::newRow("margins 5 and 50") << 0 << false << "210 297" << "5 50 5 50" << "";
        QTest::newRow("margin 4") << 0 << false << "210 297" << "4 20 20 20" << range;
        QTest::newRow("margin 51") << 0 << false << "210 297" << "20 20 20 51" << range;
        QTest::newRow("150 less 50+50") << 8 << false << "150 297" << "20 20 50 50" << "";
        QTest::newRow("range before sums") << 8 << false << "150 297" << "20 20 50 51" << range;
        QTest::newRow("100 less 26+25") << 8 << false << "100 297" << "20 20 26 25" << sides;
        QTest::newRow("100 high less 26+25") << 8 << false << "200 100" << "26 25 20 20" << topBottom;
        QTest::newRow("A6 20+25") << 3 << false << "210 297" << "50 50 20 25" << "";
        QTest::newRow("A6 20+26") << 3 << true << "210 297" << "20 20 20 26" << a6;
        QTest::newRow("A4 all 50") << 0 << true << "210 297" << "50 50 50 50" << "";
        QTest::newRow("typed size ignored off custom") << 1 << false << "1 1" << "20 20 20 20" << "";
    }
    void checksInOrderWithTheirMessages() {
        QFETCH(int, paper);
        QFETCH(bool, landscape);
        QFETCH(QString, size);
        QFETCH(QString, margins);
        QFETCH(QString, message);
        PageSetup s{.paper = paper, .customWidth = size.section(u' ', 0, 0), .customHeight = size.section(u' ', 1, 1),
                    .landscape = landscape};
        for (int i = 0; i < 4; ++i) s.margins[i] = margins.section(u' ', i, i);
        QCOMPARE(printing::pageSetupRefusal(s), message);

        // The dialog shows that message and stays, or saves and answers "OK".
        ModalTestScope scope;
        frmMiseEnPage dialog(m_cfg);
        dialog.cboImprimante->setCurrentIndex(-1);
        dialog.showPageSetup(s);
        dialog.show();
        if (!message.isEmpty()) scope.push(testsupport::msgBox(message, u"OK"_s));
        dialog.cmdAction[0]->click();
        QCOMPARE(scope.pending(), 0);
        QCOMPARE(dialog.isVisible(), !message.isEmpty());
        QCOMPARE(dialog.Tag(), message.isEmpty() ? u"OK"_s : QString());
        QCOMPARE(QFile::exists(m_cfg), message.isEmpty());
        if (message.isEmpty()) QCOMPARE(printing::loadPageSetup(m_cfg), s);  // what it saved, as saved
    }

    void continueSavesTheSixteenKeysAndCancelSavesNothing() {
        // On first start, the defaults, and no file yet.
        frmMiseEnPage dialog(m_cfg);
        QCOMPARE(dialog.pageSetup(), PageSetup{});
        QCOMPARE(dialog.cboSize->currentText(), u"A4 (210 x 297 mm)"_s);
        QVERIFY(!dialog.txtSize[0]->isEnabled() && !dialog.txtSize[1]->isEnabled());
        QCOMPARE(dialog.cboImprimante->count(), printing::printerNames().size());
        QVERIFY(!QFile::exists(m_cfg));

        ModalTestScope scope;
        dialog.cboImprimante->setCurrentIndex(-1);
        const PageSetup s{.paper = 8, .customWidth = u"200"_s, .customHeight = u"250"_s, .landscape = false,
                          .margins = {u"10"_s, u"11"_s, u"12"_s, u"13"_s}, .fontName = u"DejaVu Sans"_s,
                          .fontSize = u"10,5"_s, .gridLines = false, .colours = {0, 1, 2, 4, 5}};
        dialog.showPageSetup(s);
        scope.push([&](QWidget&) { dialog.cmdAction[0]->click(); });
        platform::showModal(dialog);
        QCOMPARE(dialog.Tag(), u"OK"_s);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(fileBytes(m_cfg), QByteArray("[Impression]\nTaille=8\nPerso1=200\nPerso2=250\nMargeS=10\nMargeI=11\n"
                                              "MargeG=12\nMargeD=13\nOrientation=0\nFontName=DejaVu Sans\n"
                                              "FontSize=10,5\nQuadrillage=0\nEn-Tête=0\nDonnées1=1\nDonnées2=2\n"
                                              "Résultats=4\nGrille=5\n"));
        QCOMPARE(frmMiseEnPage(m_cfg).pageSetup(), s);

        // "Annuler" and the close box answer "", keep the edits on screen, save nothing.
        const QByteArray saved = fileBytes(m_cfg);
        scope.push([&](QWidget&) {
            dialog.txtMarge[0]->setText(u"30"_s);
            dialog.cmdAction[1]->click();
        });
        platform::showModal(dialog);
        QCOMPARE(dialog.Tag(), QString());
        QCOMPARE(dialog.txtMarge[0]->text(), u"30"_s);
        dialog.setTag(u"OK"_s);
        scope.push([&](QWidget& w) {
            testsupport::typeKey(w, Qt::Key_Escape);  // Esc is no answer: the box still stays
            testsupport::typeKey(w, Qt::Key_Return);
            QVERIFY(w.isVisible());
            w.close();
        });
        platform::showModal(dialog);
        QCOMPARE(dialog.Tag(), QString());
        QCOMPARE(fileBytes(m_cfg), saved);

        // Settings that cannot be written: the answer is "OK" all the same.
        frmMiseEnPage unwritable(m_cfg + u"/Quibolet.cfg"_s);
        unwritable.cboImprimante->setCurrentIndex(-1);
        unwritable.cmdAction[0]->click();
        QCOMPARE(unwritable.Tag(), u"OK"_s);
    }

    void boxesFontAndPrinter() {
        // The boxes take digits only; an emptied margin becomes 0, an emptied size stays so.
        frmMiseEnPage dialog(m_cfg);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.cboSize->setCurrentIndex(8);
        QVERIFY(dialog.txtSize[0]->isEnabled());
        for (QLineEdit* box : {dialog.txtSize[0], dialog.txtMarge[1]}) {
            box->setText(u"12"_s);
            box->setCursorPosition(2);
            QTest::keyClicks(box, u"a,.-: 3"_s);
            QCOMPARE(box->text(), u"123"_s);
            QTest::keyClick(box, Qt::Key_Backspace);
            QCOMPARE(box->text(), u"12"_s);
        }
        dialog.txtMarge[1]->setFocus();
        dialog.txtMarge[1]->clear();
        dialog.txtSize[0]->clear();
        dialog.txtSize[0]->setFocus();
        QCOMPARE(dialog.txtMarge[1]->text(), u"0"_s);
        dialog.txtMarge[2]->setFocus();
        QCOMPARE(dialog.txtSize[0]->text(), QString());
        QTRY_COMPARE(dialog.txtMarge[2]->selectedText(), u"20"_s);

        // The font dialog starts from the font shown.
        ModalTestScope scope;
        scope.push([](QWidget& w) {
            auto* fonts = qobject_cast<QFontDialog*>(&w);
            QVERIFY(fonts);
            QCOMPARE(fonts->currentFont().pointSizeF(), 10.0);
            QFont f(u"DejaVu Serif"_s);
            f.setPointSize(12);
            fonts->setCurrentFont(f);
            fonts->accept();
        });
        dialog.cmdPolice->click();
        QCOMPARE(dialog.lblPolice[0]->text() + dialog.lblPolice[1]->text(), u"DejaVu Serif12"_s);
        scope.push([](QWidget& w) { static_cast<QDialog&>(w).reject(); });
        dialog.cmdPolice->click();
        QCOMPARE(dialog.lblPolice[1]->text(), u"12"_s);

        // A printer the system does not know: it becomes current all the same, and the
        // dialog stays.
        const QString before = printing::currentPrinterName();
        dialog.cboImprimante->addItem(u"Imprimante du couloir"_s);
        dialog.cboImprimante->setCurrentIndex(dialog.cboImprimante->count() - 1);
        scope.push(testsupport::msgBox(u"Cette imprimante ne peut pas être utilisée."_s, u"OK"_s));
        dialog.cmdAction[0]->click();
        QVERIFY(dialog.isVisible());
        QCOMPARE(printing::currentPrinterName(), u"Imprimante du couloir"_s);
        printing::setCurrentPrinterName(before);
        QCOMPARE(scope.pending(), 0);
    }

    // Ten and a half points, typed with a comma or a point, is shown, saved and printed as
    // such; a size the font dialog cannot take is refused, never turned into another.
    void fontSizeToATenth() {
        ModalTestScope scope;
        frmMiseEnPage dialog(m_cfg);
        dialog.cboImprimante->setCurrentIndex(-1);
        dialog.show();
        const auto sizeBox = [](QWidget& fonts) {
            for (QLineEdit* box : fonts.findChildren<QLineEdit*>())
                if (box->validator()) return box;
            return static_cast<QLineEdit*>(nullptr);
        };
        scope.push([&](QWidget& w) {
            auto& fonts = dynamic_cast<QFontDialog&>(w);
            QLineEdit* size = sizeBox(fonts);
            const auto type = [size](const QString& keys) {
                size->selectAll();
                QTest::keyClicks(size, keys);
                return size->text();
            };
            QCOMPARE(type(u"10,5"_s), u"10,5"_s);
            QCOMPARE(fonts.currentFont().pointSizeF(), 10.5);
            QCOMPARE(type(u"12.25"_s), u"12,2"_s);  // a second decimal is refused
            QCOMPARE(type(u"600"_s), u"60"_s);      // so is a size above 512
            QCOMPARE(type(u"0,5"_s), u",5"_s);      // and a leading zero
            scope.push(testsupport::msgBox(u"La taille doit être comprise entre 1 et 512 points."_s, u"OK"_s));
            fonts.accept();
            QVERIFY(fonts.isVisible());

            // Another family keeps the size typed.
            QCOMPARE(type(u"10.5"_s), u"10,5"_s);
            QListView* families = fonts.findChildren<QListView*>().value(0);
            const QString family = fonts.currentFont().family();
            families->setCurrentIndex(families->model()->index(
                families->model()->index(0, 0).data().toString().startsWith(family) ? 1 : 0, 0));
            QVERIFY(fonts.currentFont().family() != family);
            QCOMPARE(size->text(), u"10,5"_s);
            QCOMPARE(fonts.currentFont().pointSizeF(), 10.5);
            fonts.accept();
        });
        dialog.cmdPolice->click();
        QCOMPARE(dialog.lblPolice[1]->text(), u"10,5"_s);
        scope.push([&](QWidget& w) {
            QCOMPARE(sizeBox(w)->text(), u"10,5"_s);
            QCOMPARE(dynamic_cast<QFontDialog&>(w).currentFont().pointSizeF(), 10.5);
            static_cast<QDialog&>(w).reject();
        });
        dialog.cmdPolice->click();
        dialog.cmdAction[0]->click();
        QCOMPARE(scope.pending(), 0);
        QVERIFY(fileBytes(m_cfg).contains("\nFontSize=10,5\n"));
        const PageSetup saved = frmMiseEnPage(m_cfg).pageSetup();
        QCOMPARE(saved.fontSize, u"10,5"_s);

        // Printed, a word stands 1.05 times as high as at 10 points, whatever font the
        // machine gives for the name.
        const QString file = m_dir.filePath(u"page.tmp"_s);
        writeFile(file, "[1]\n0=oDupont/$1134\\$2268\n[0]\n1=0\n");
        const auto printedHeight = [&](const QString& points) {
            PageSetup setup = saved;
            setup.fontSize = points;
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(m_dir.filePath(points + u".pdf"_s));
            if (!printing::printPages(printer, printfile::Reader::load(file), 1, 1, printing::pageLayout(setup),
                                      printing::renderSettings(setup)))
                return 0.0;
            return testsupport::pdfWordBox(printer.outputFileName(), u"Dupont"_s).height();
        };
        const double ratio = printedHeight(saved.fontSize) / printedHeight(u"10"_s);
        QVERIFY2(qAbs(ratio - 1.05) < 0.005, qPrintable(QString::number(ratio)));
    }
};

QTEST_MAIN(tst_frmMiseEnPage)
#include "tst_frmMiseEnPage.moc"
