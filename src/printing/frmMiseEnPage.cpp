#include "frmMiseEnPage.h"

#include "Printer.h"
#include "controls/mChooseFontDlg.h"
#include "gradebook/Messages.h"
#include "platform/Numbers.h"
#include "platform/Paths.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

using printing::PageSetup;

namespace {

QLineEdit* digitsBox(const QString& name, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    // Digits only, typed or pasted: Enter, Esc and every other character change nothing.
    box->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), box));
    box->setMaxLength(5);
    box->setFixedWidth(60);
    return box;
}

QGroupBox* group(const QString& title, QWidget* parent) {
    auto* box = new QGroupBox(title, parent);
    return box;
}

}  // namespace

frmMiseEnPage::frmMiseEnPage(const QString& settingsFile)
    : QDialog(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint),
      m_settingsFile(settingsFile.isEmpty() ? platform::paths::configFile() : settingsFile) {
    setObjectName(QStringLiteral("frmMiseEnPage"));
    setWindowTitle(QStringLiteral("Mise en page"));

    tabS = new QTabWidget(this);
    tabS->setObjectName(QStringLiteral("tabS"));
    fraTab = {nullptr, new QWidget(tabS), new QWidget(tabS)};
    tabS->addTab(fraTab[1], QStringLiteral("Mise en page"));
    tabS->addTab(fraTab[2], QStringLiteral("Couleurs"));
    QWidget* page = fraTab[1];

    auto* fraSize = group(QStringLiteral("Taille de page"), page);
    cboSize = new QComboBox(fraSize);
    cboSize->setObjectName(QStringLiteral("cboSize"));
    cboSize->addItems(printing::paperNames());
    (new QVBoxLayout(fraSize))->addWidget(cboSize);

    auto* fraCustom = group(QStringLiteral("Format personnalisé"), page);
    txtSize = {digitsBox(QStringLiteral("txtSize0"), fraCustom), digitsBox(QStringLiteral("txtSize1"), fraCustom)};
    auto* custom = new QFormLayout(fraCustom);
    custom->addRow(QStringLiteral("Largeur (en mm)"), txtSize[0]);
    custom->addRow(QStringLiteral("Hauteur (en mm)"), txtSize[1]);

    auto* fraOrient = group(QStringLiteral("Orientation"), page);
    chkOrient = {new QRadioButton(QStringLiteral("Portrait"), fraOrient),
                 new QRadioButton(QStringLiteral("Paysage"), fraOrient)};
    auto* orient = new QHBoxLayout(fraOrient);
    for (int i = 0; i < 2; ++i) {
        chkOrient[i]->setObjectName(QStringLiteral("chkOrient%1").arg(i));
        orient->addWidget(chkOrient[i]);
    }

    auto* fraMarge = group(QStringLiteral("Marges (en mm)"), page);
    auto* margins = new QGridLayout(fraMarge);
    const QString marginNames[4] = {QStringLiteral("Supérieure"), QStringLiteral("Inférieure"), QStringLiteral("Gauche"),
                                    QStringLiteral("Droite")};
    for (int i = 0; i < 4; ++i) {
        txtMarge.append(digitsBox(QStringLiteral("txtMarge%1").arg(i), fraMarge));
        margins->addWidget(new QLabel(marginNames[i], fraMarge), i / 2, (i % 2) * 2);
        margins->addWidget(txtMarge[i], i / 2, (i % 2) * 2 + 1);
    }

    auto* fraPolice = group(QStringLiteral("Police"), page);
    lblPolice = {new QLabel(fraPolice), new QLabel(fraPolice)};
    lblPolice[0]->setObjectName(QStringLiteral("lblPolice0"));
    lblPolice[1]->setObjectName(QStringLiteral("lblPolice1"));
    cmdPolice = new QPushButton(QStringLiteral("Changer..."), fraPolice);
    cmdPolice->setObjectName(QStringLiteral("cmdPolice"));
    auto* police = new QHBoxLayout(fraPolice);
    police->addWidget(lblPolice[0], 1);
    police->addWidget(lblPolice[1]);
    police->addWidget(cmdPolice);

    auto* fraPrinter = group(QStringLiteral("Imprimante"), page);
    cboImprimante = new QComboBox(fraPrinter);
    cboImprimante->setObjectName(QStringLiteral("cboImprimante"));
    (new QVBoxLayout(fraPrinter))->addWidget(cboImprimante);

    chkGrille = new QCheckBox(QStringLiteral("Imprimer le quadrillage"), page);
    chkGrille->setObjectName(QStringLiteral("chkGrille"));

    auto* grid = new QGridLayout(page);
    grid->addWidget(fraSize, 0, 0);
    grid->addWidget(fraCustom, 1, 0);
    grid->addWidget(fraOrient, 2, 0);
    grid->addWidget(fraMarge, 0, 1);
    grid->addWidget(fraPolice, 1, 1);
    grid->addWidget(fraPrinter, 2, 1);
    grid->addWidget(chkGrille, 3, 1);

    auto* colours = new QGridLayout(fraTab[2]);
    const QString colourLabels[5] = {QStringLiteral("En-Têtes"), QStringLiteral("Données"),
                                     QStringLiteral("alternativement avec"), QStringLiteral("Résultats"),
                                     QStringLiteral("Grille")};
    for (int i = 0; i < 5; ++i) {
        lblCouleur.append(new QLabel(colourLabels[i], fraTab[2]));
        cboCouleur.append(new QComboBox(fraTab[2]));
        cboCouleur[i]->setObjectName(QStringLiteral("cboCouleur%1").arg(i));
        cboCouleur[i]->addItems(printing::colourNames());
        colours->addWidget(lblCouleur[i], i, 0);
        colours->addWidget(cboCouleur[i], i, 1);
    }
    colours->setColumnStretch(2, 1);
    colours->setRowStretch(5, 1);

    cmdAction = {new QPushButton(QStringLiteral("Continuer"), this), new QPushButton(QStringLiteral("Annuler"), this)};
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (int i = 0; i < 2; ++i) {
        cmdAction[i]->setObjectName(QStringLiteral("cmdAction%1").arg(i));
        cmdAction[i]->setAutoDefault(false);
        buttons->addWidget(cmdAction[i]);
        connect(cmdAction[i], &QPushButton::clicked, this, [this, i] { cmdAction_Click(i); });
    }
    cmdPolice->setAutoDefault(false);
    auto* main = new QVBoxLayout(this);
    main->addWidget(tabS);
    main->addLayout(buttons);

    QWidget* order[] = {cmdAction[0], cboImprimante, cboSize, txtSize[0], txtSize[1], txtMarge[0], txtMarge[1],
                        txtMarge[2], txtMarge[3], chkOrient[0], chkOrient[1], cmdPolice, chkGrille, cmdAction[1]};
    for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
    for (QLineEdit* box : txtSize + txtMarge) box->installEventFilter(this);

    connect(tabS, &QTabWidget::currentChanged, this, &frmMiseEnPage::tabS_Click);
    connect(cboSize, &QComboBox::currentIndexChanged, this, &frmMiseEnPage::cboSize_Click);
    connect(cmdPolice, &QPushButton::clicked, this, &frmMiseEnPage::cmdPolice_Click);

    // Loading: the machine's printers with the current one selected, then the saved setup.
    cboSize->setCurrentIndex(0);
    cboSize_Click();
    cboImprimante->addItems(printing::printerNames());
    cboImprimante->setCurrentIndex(cboImprimante->findText(printing::currentPrinterName(), Qt::MatchExactly));
    showPageSetup(printing::loadPageSetup(m_settingsFile));
}

PageSetup frmMiseEnPage::pageSetup() const {
    PageSetup s;
    s.paper = cboSize->currentIndex();
    s.customWidth = txtSize[0]->text();
    s.customHeight = txtSize[1]->text();
    s.landscape = chkOrient[1]->isChecked();
    for (int i = 0; i < 4; ++i) s.margins[i] = txtMarge[i]->text();
    s.fontName = lblPolice[0]->text();
    s.fontSize = lblPolice[1]->text();
    s.gridLines = chkGrille->isChecked();
    for (int i = 0; i < 5; ++i) s.colours[i] = cboCouleur[i]->currentIndex();
    return s;
}

void frmMiseEnPage::showPageSetup(const PageSetup& s) {
    cboSize->setCurrentIndex(s.paper);
    txtSize[0]->setText(s.customWidth);
    txtSize[1]->setText(s.customHeight);
    chkOrient[s.landscape ? 1 : 0]->setChecked(true);
    for (int i = 0; i < 4; ++i) txtMarge[i]->setText(s.margins[i]);
    lblPolice[0]->setText(s.fontName);
    lblPolice[1]->setText(s.fontSize);
    chkGrille->setChecked(s.gridLines);
    for (int i = 0; i < 5; ++i) cboCouleur[i]->setCurrentIndex(s.colours[i]);
}

void frmMiseEnPage::tabS_Click(int index) { CurrentTab = quint8(index + 1); }

void frmMiseEnPage::cboSize_Click() {
    const bool custom = cboSize->currentIndex() == printing::kCustomPaper;
    txtSize[0]->setEnabled(custom);
    txtSize[1]->setEnabled(custom);
}

bool frmMiseEnPage::eventFilter(QObject* watched, QEvent* event) {
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (box && event->type() == QEvent::FocusIn)
        // After the click that gave the focus, which would place the cursor instead.
        QTimer::singleShot(0, box, [box] { box->selectAll(); });
    if (box && event->type() == QEvent::FocusOut && txtMarge.contains(box) && box->text().isEmpty())
        box->setText(QStringLiteral("0"));
    return QDialog::eventFilter(watched, event);
}

void frmMiseEnPage::keyPressEvent(QKeyEvent* event) {
    // Neither button answers to Enter or Esc.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void frmMiseEnPage::cmdPolice_Click() {
    QFont font(lblPolice[0]->text());
    font.setPointSizeF(platform::numbers::parse(lblPolice[1]->text()).value_or(10));
    platform::OleColor colour = 0;
    if (!mChooseFontDlg::ShowFont(font, 0, false, false, true, false, false, colour, 0, 0)) return;
    lblPolice[0]->setText(font.family());
    lblPolice[1]->setText(platform::numbers::formatToTenth(font.pointSizeF()));
}

void frmMiseEnPage::cmdAction_Click(int index) {
    if (index != 0) {
        reject();
        return;
    }
    if (cboImprimante->currentIndex() >= 0) {
        const QString printer = cboImprimante->currentText();
        printing::setCurrentPrinterName(printer);
        if (!printing::printerUsable(printer)) {
            messages::msgBox(this, QStringLiteral("Cette imprimante ne peut pas être utilisée."), 1, 1);
            return;
        }
    }
    const PageSetup setup = pageSetup();
    if (const QString refusal = printing::pageSetupRefusal(setup); !refusal.isEmpty()) {
        messages::msgBox(this, refusal, 3, 1);
        return;
    }
    m_tag = QStringLiteral("OK");
    // A file that cannot be written keeps its old contents: this print goes on with the
    // values on screen all the same.
    printing::savePageSetup(setup, m_settingsFile);
    QDialog::accept();
}

void frmMiseEnPage::reject() {
    m_tag.clear();
    QDialog::reject();
}
