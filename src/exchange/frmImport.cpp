#include "frmImport.h"

#include "VersionInfo.h"
#include "WizardLabels.h"
#include "controls/cOpenSaveFile.h"
#include "controls/mOffice2000.h"
#include "editing/EditingMessages.h"
#include "editing/frmMat.h"
#include "frmExport.h"
#include "frmExportPreview.h"
#include "frmImport2.h"
#include "gradebook/GradebookSchema.h"
#include "gradebook/Messages.h"
#include "gradebook/StoreErrors.h"
#include "gradebook/mUtilities.h"
#include "mainwindow/Commands.h"
#include "mainwindow/Pictures.h"
#include "platform/FormInstance.h"
#include "platform/Modal.h"
#include "platform/SystemMessage.h"
#include "platform/Twips.h"

#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTreeWidget>

using importgrades::Decision;
using importgrades::Match;
using platform::Form;
using exchangewizard::boldValue;
using exchangewizard::label;
using platform::twipsRect;

namespace {

const QString kDataError = QStringLiteral("Une erreur s'est produite pendant l'accès aux données.");
const QString kCannotImport = QStringLiteral("Impossible de procéder à l'importation.");


QWidget* page(QWidget* parent, const QString& name, const QRect& geometry) {
    auto* w = new QWidget(parent);
    w->setObjectName(name);
    w->setGeometry(geometry);
    w->hide();
    return w;
}

void fileMessage(QWidget* owner, const QString& text) {
    platform::criticalMessage(owner, platform::version::productName(), text);
}

}  // namespace

frmImport::frmImport() : QDialog(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("frmImport"));
    setWindowTitle(QStringLiteral("Importer des notes"));
    setFixedSize(twipsRect(0, 0, 6495, 6990).size());
    lblEti.resize(14);

    for (int i = 0; i < 4; ++i) fraImport.append(page(this, QStringLiteral("fraImport%1").arg(i), twipsRect(960, 120, 4575, 6015)));
    fraContenu = page(this, QStringLiteral("fraContenu"), twipsRect(240, 0, 6015, 6375));
    fraMat = page(this, QStringLiteral("fraMat"), twipsRect(360, 240, 5895, 2895));
    fraRapproch = page(this, QStringLiteral("fraRapproch"), twipsRect(0, 0, 6495, 6375));
    fraImport[0]->show();

    lblEti[1] = label(QStringLiteral("Cette fonction vous permet d'importer des séries de notes contenues dans un fichier "
                                     "d'exportation créé par Quibolet.\nCe type de fichier contient une liste d'élèves et "
                                     "une ou plusieurs séries de notes dans une matière.\n\nDans les étapes qui vont "
                                     "suivre, vous devrez:\n1: Ouvrir le fichier d'exportation que l'on vous a transmis.\n"
                                     "2: Fournir des renseignements au programme pour qu'il importe correctement les notes."),
                      fraImport[0], twipsRect(120, 240, 4335, 5655));

    // Page 2: the contents of the file.
    label(QStringLiteral("Ce fichier d'exportation contient les éléments suivants:"), fraContenu, twipsRect(120, 120, 5775, 300));
    const QStringList captions = {QStringLiteral("Classe:"), QStringLiteral("Matière:"), QStringLiteral("Elèves:"),
                                  QStringLiteral("Séries de notes:"), QStringLiteral("Notes:")};
    const int tops[] = {540, 840, 1200, 2760, 4320};
    QVector<QLabel*> values;
    for (int i = 0; i < captions.size(); ++i) {
        label(captions[i], fraContenu, twipsRect(120, tops[i], 1440, 270), false);
        values.append(boldValue(fraContenu, twipsRect(1680, tops[i], i < 2 ? 4215 : 600, 270)));
    }
    lblClasse = values[0];
    lblMatière = values[1];
    lblElèves = values[2];
    lblSéries = values[3];
    lblNotes = values[4];
    label(QStringLiteral("Aperçu"), fraContenu, twipsRect(2280, 1200, 1200, 270), false);
    lisElèves = new QListWidget(fraContenu);
    lisElèves->setObjectName(QStringLiteral("lisElèves"));
    lisElèves->setGeometry(twipsRect(2280, 1470, 3615, 1170));
    label(QStringLiteral("Aperçu"), fraContenu, twipsRect(2280, 2760, 1200, 270), false);
    lisSéries = new QListWidget(fraContenu);
    lisSéries->setObjectName(QStringLiteral("lisSéries"));
    lisSéries->setGeometry(twipsRect(2280, 3030, 3615, 1170));
    cmdDétails = new QPushButton(QStringLiteral("Détails..."), fraContenu);
    cmdDétails->setObjectName(QStringLiteral("cmdDétails"));
    cmdDétails->setGeometry(twipsRect(4440, 4290, 1455, 375));
    connect(cmdDétails, &QPushButton::clicked, this, [this] { cmdDétails_Click(); });
    label(QStringLiteral("Commentaire:"), fraContenu, twipsRect(120, 4800, 1440, 270), false);
    txtComment = new QPlainTextEdit(fraContenu);
    txtComment->setObjectName(QStringLiteral("txtComment"));
    txtComment->setReadOnly(true);
    txtComment->setGeometry(twipsRect(120, 5070, 5775, 1200));
    mOffice2000::SetEdgeStyle(txtComment, true);
    for (QLabel* name : {lblClasse, lblMatière}) name->setWordWrap(true);
    for (QWidget* w : fraContenu->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) m_contentsPlaces.insert(w, w->geometry());

    // Page 3: the subject.
    lblEti[3] = label(QString(), fraMat, twipsRect(120, 120, 5655, 1200));
    cboMat = new QComboBox(fraMat);
    cboMat->setObjectName(QStringLiteral("cboMat"));
    // The page's whole width for the list, a subject's name taking up to 50 letters; the
    // button under it.
    cboMat->setGeometry(twipsRect(120, 1440, 5655, 375));
    cmdMat = new QPushButton(QStringLiteral("Créer une matière"), fraMat);
    cmdMat->setObjectName(QStringLiteral("cmdMat"));
    cmdMat->setGeometry(twipsRect(3735, 1935, 2040, 375));
    connect(cmdMat, &QPushButton::clicked, this, [this] { cmdMat_Click(); });

    lblEti[10] = label(QString(), fraImport[1], twipsRect(120, 240, 4335, 5655));

    // Page 5: the matching.
    lstElèves = new MatchingList(fraRapproch);
    lstElèves->setObjectName(QStringLiteral("lstElèves"));
    lstElèves->setGeometry(twipsRect(120, 120, 6255, 4560));
    lstElèves->setRootIsDecorated(false);
    lstElèves->setColumnCount(3);
    lstElèves->setHeaderLabels({QStringLiteral("Elèves à importer"), QStringLiteral("Elèves dans votre carnet de notes"),
                                QStringLiteral("Classe")});
    lstElèves->setSelectionMode(QAbstractItemView::SingleSelection);
    lstElèves->installEventFilter(this);
    connect(lstElèves, &QTreeWidget::itemDoubleClicked, this, [this] { ResolveSelectedStudent(); });
    lblDone = label(QString(), fraRapproch, twipsRect(120, 4800, 6255, 1500));
    lblDone->setObjectName(QStringLiteral("lblDone"));

    lblEti[12] = label(QString(), fraImport[2], twipsRect(120, 240, 4335, 5655));

    lblEti[13] = label(QString(), fraImport[3], twipsRect(120, 240, 4335, 1200));
    optKill = {new QRadioButton(QStringLiteral("Supprimer le fichier d'exportation"), fraImport[3]),
               new QRadioButton(QStringLiteral("Ne pas supprimer le fichier d'exportation"), fraImport[3])};
    for (int i = 0; i < 2; ++i) {
        optKill[i]->setObjectName(QStringLiteral("optKill%1").arg(i));
        optKill[i]->setGeometry(twipsRect(240, 1800 + i * 420, 4215, 360));
    }
    optKill[1]->setChecked(true);

    const QStringList buttons = {QStringLiteral("< Précédent"), QStringLiteral("Suivant >"), QStringLiteral("Annuler")};
    for (int i = 0; i < 3; ++i) {
        auto* button = new QPushButton(buttons[i], this);
        button->setObjectName(QStringLiteral("cmdAction%1").arg(i));
        button->setGeometry(twipsRect(1200 + i * 1440, 6480, 1275, 375));
        connect(button, &QPushButton::clicked, this, [this, i] { cmdAction_Click(i); });
        cmdAction.append(button);
    }
    cmdAction[0]->setEnabled(false);
    // No default button: Enter in the matching list opens a decision, never the next page.
    for (QPushButton* b : findChildren<QPushButton*>()) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
}

void frmImport::prepare(const db::Database& gradebook, commands::MainSurface& main) {
    m_db = gradebook;
    m_main = &main;
}

void frmImport::showPage(QWidget* shown) {
    for (QWidget* p : {fraImport[0], fraContenu, fraMat, fraImport[1], fraRapproch, fraImport[2], fraImport[3]})
        p->setVisible(p == shown);
}

void frmImport::cmdAction_Click(int Index) {
    switch (Index) {
    case 0: GoBack(); break;
    case 1: GoNext(); break;
    default: reject(); break;
    }
}

void frmImport::GoNext() {
    if (!fraImport[0]->isHidden()) {
        openFile();
    } else if (!fraContenu->isHidden()) {
        fillSubjects();
    } else if (!fraMat->isHidden()) {
        lblEti[10]->setText(
            QStringLiteral("L'étape suivante va mettre en correspondance les élèves contenus dans le fichier d'exportation de "
                           "notes, et ceux présents dans votre carnet de notes.\n\nGénéralement, la classe du fichier "
                           "d'importation est identique à l'une des classes de votre carnet de notes. Dans ce cas, il "
                           "suffira d'associer les noms des élèves du fichier avec ceux de votre carnet. Ce rapprochement "
                           "est effectué par le programme; cependant, vous devrez peut-être le corriger manuellement s'il "
                           "existe des différences d'orthographe dans certains noms.\nSi votre carnet de notes ne contient "
                           "pas cette classe, il faudra la créer, de même que la liste des élèves.\n\nDans le cas "
                           "particulier de certaines matières où des classes sont regroupées, le rapprochement des noms "
                           "pourra concerner plusieurs classes distinctes, avec la possibilité, là également, de corriger "
                           "manuellement les associations, et de créer des élèves non encore présents dans votre carnet."));
        showPage(fraImport[1]);
    } else if (!fraImport[1]->isHidden()) {
        AutoMatchStudents();
    } else if (!fraRapproch->isHidden()) {
        BuildImportSummary();
    } else if (!fraImport[2]->isHidden()) {
        QStringList refused;
        if (!guarded([&] { refused = importgrades::refusals(m_db, m_contents.students, m_decisions); })) return;
        if (!refused.isEmpty()) {
            messages::messageList(this, kCannotImport, refused, pictures::imaButton(3));
            return;
        }
        lblEti[13]->setText(ImportGrades() ? QStringLiteral("Importation terminée avec succès.")
                                           : QStringLiteral("Echec lors de l'importation."));
        showPage(fraImport[3]);
        cmdAction[0]->hide();
        cmdAction[2]->hide();
        cmdAction[1]->setText(QStringLiteral("Fermer"));
        optKill[1]->setFocus();
    } else if (!fraImport[3]->isHidden()) {
        finish();
    }
}

void frmImport::GoBack() {
    if (!fraContenu->isHidden()) {
        cmdAction[0]->setEnabled(false);
        cmdAction[1]->setEnabled(true);
        showPage(fraImport[0]);
    } else if (!fraMat->isHidden()) {
        cmdAction[1]->setEnabled(true);
        showPage(fraContenu);
    } else if (!fraImport[1]->isHidden()) {
        showPage(fraMat);
    } else if (!fraRapproch->isHidden()) {
        if (messages::msgBox(this,
                             QStringLiteral("Si vous revenez à l'écran précédent, il vous faudra recommencer la mise en "
                                            "correspondance des noms d'élèves.\nContinuer ?"),
                             4, 3) != u"1")
            return;
        Form<frmImport2>::unload();
        cmdAction[1]->setEnabled(true);
        showPage(fraImport[1]);
    } else if (!fraImport[2]->isHidden()) {
        cmdAction[1]->setEnabled(true);
        showPage(fraRapproch);
    }
}

void frmImport::closeFile() {
    if (mDbExport.isOpen()) mDbExport.Close();
    mDbExport = db::Database();
}

void frmImport::openFile() {
    cOpenSaveFile dialog;
    dialog.setFileMustExist(true);
    dialog.setDefaultExt(QStringLiteral("dat"));
    dialog.setFilter(QStringLiteral("Données (*.dat)|*.dat"));
    if (dialog.ShowOpen() == 0) return;

    closeFile();
    m_path = dialog.FileName();
    try {
        mDbExport = db::Database::OpenDatabase(m_path, gradebook::databasePassword(), db::Integrity::CheckFirst,
                                               exchangefile::isWhole);
    } catch (const db::DbError& e) {
        fileMessage(this, storeerrors::openingMessage(e, storeerrors::File::Exchange));
        return;
    }
    switch (mUtilities::GetFileKind(mDbExport)) {
    case 2: break;
    case 1:
        closeFile();
        fileMessage(this, QStringLiteral("Vous essayez d'ouvrir un carnet de notes.\n"
                                         "Dans cette fonction, vous devez ouvrir un fichier d'exportation de notes."));
        return;
    default:
        closeFile();
        fileMessage(this, QStringLiteral("Ce fichier n'est pas un fichier d'exportation de notes valide."));
        return;
    }
    // Read and checked whole before anything is written to it.
    try {
        m_contents = exchangefile::read(mDbExport);
    } catch (const std::exception&) {
        closeFile();
        fileMessage(this, QStringLiteral("Ce fichier n'est pas un fichier d'exportation de notes valide."));
        return;
    }
    try {
        exchangefile::restampVersion(mDbExport);
    } catch (const db::DbError& e) {
        closeFile();
        fileMessage(this, storeerrors::openingMessage(e, storeerrors::File::Exchange));
        return;
    }
    ShowFileContents();
}

bool frmImport::ShowFileContents() {
    const exchangefile::Contents& c = m_contents;
    if (c.imported && messages::msgBox(this,
                                       QStringLiteral("ATTENTION\nCe fichier d'exportation de notes a déjà été importé dans "
                                                      "un carnet de notes.\nEtes-vous absolument certain de vouloir "
                                                      "continuer ?"),
                                       4, 2) != u"1")
        return false;
    lblClasse->setText(c.className);
    lblMatière->setText(c.subjectName);
    placeContents();
    txtComment->setPlainText(c.comment);
    lblElèves->setText(QString::number(c.students.size()));
    lisElèves->clear();
    for (const exchangefile::Student& s : c.students.mid(0, 5)) lisElèves->addItem(s.name());
    lblSéries->setText(QString::number(c.series.size()));
    lisSéries->clear();
    for (const exchangefile::Series& s : c.series.mid(0, 5))
        lisSéries->addItem(exportwizard::seriesLine({s.numSerie, s.nom, s.date, s.period}));
    lblNotes->setText(QString::number(c.grades.size()));
    if (c.students.isEmpty()) {
        messages::messageList(this, kCannotImport, {QStringLiteral("Ce fichier ne contient pas d'élèves.")},
                              pictures::imaButton(3));
        cmdAction[1]->setEnabled(false);
    }
    showPage(fraContenu);
    cmdAction[0]->setEnabled(true);
    return true;
}

void frmImport::placeContents() {
    // A class's or a subject's name may need a second line: what lies under it moves down,
    // and the comment box, which scrolls, gives up the room.
    const auto extra = [this](QLabel* name) {
        const QRect designed = m_contentsPlaces.value(name);
        return std::max(0, name->heightForWidth(designed.width()) - designed.height());
    };
    const int classTop = m_contentsPlaces.value(lblClasse).y(), subjectTop = m_contentsPlaces.value(lblMatière).y();
    const int afterClass = extra(lblClasse), afterSubject = afterClass + extra(lblMatière);
    for (auto it = m_contentsPlaces.cbegin(); it != m_contentsPlaces.cend(); ++it) {
        QRect place = it.value();
        const int by = place.y() > subjectTop ? afterSubject : place.y() > classTop ? afterClass : 0;
        if (it.key() == txtComment) place.setTop(place.top() + by);
        else place.translate(0, by);
        if (it.key() == lblClasse || it.key() == lblMatière)
            place.setHeight(place.height() + extra(static_cast<QLabel*>(it.key())));
        it.key()->setGeometry(place);
    }
}

void frmImport::cmdDétails_Click() {
    frmExportPreview& viewer = Form<frmExportPreview>::get();
    viewer.fill(m_contents, mUtilities::GetFileName(m_path));
    platform::showModal(viewer, this);
    Form<frmExportPreview>::unload();
}

void frmImport::fillSubjects() {
    QList<exportwizard::Subject> subjects;
    if (!guarded([&] { subjects = exportwizard::readSubjects(m_db); })) return;
    cboMat->clear();
    for (const exportwizard::Subject& s : subjects) cboMat->addItem(s.name, s.numMat);
    cmdAction[1]->setEnabled(!subjects.isEmpty());
    lblEti[3]->setText(QStringLiteral("Sélectionnez dans la liste ci-dessous la matière qui recevra les séries de notes.\n"
                                      "Si vous ne trouvez pas la matière souhaitée, ou si votre carnet de notes ne contient "
                                      "pas encore de matières, choisissez  le bouton 'Créer une matière'."));
    if (cboMat->count() > 0) cboMat->setCurrentIndex(0);
    showPage(fraMat);
    cboMat->setFocus();
}

void frmImport::cmdMat_Click() {
    const int count = cboMat->count(), selected = cboMat->currentIndex();
    frmMat::ShowCreate(m_db, *m_main, this);
    QList<exportwizard::Subject> subjects;
    if (!guarded([&] { subjects = exportwizard::readSubjects(m_db); })) return;
    if (!subjects.isEmpty()) {
        cboMat->clear();
        for (const exportwizard::Subject& s : subjects) cboMat->addItem(s.name, s.numMat);
        cboMat->setCurrentIndex(count >= cboMat->count() ? selected : cboMat->count() - 1);
        cmdAction[1]->setEnabled(true);
    }
    cboMat->setFocus();
}

bool frmImport::guarded(const std::function<void()>& step) {
    for (;;) {
        try {
            step();
            return true;
        } catch (const std::exception&) {
            if (messages::msgBox(this, kDataError, 1, 5) != u"1") {
                reject();
                return false;
            }
        }
    }
}

namespace {

QList<std::pair<qint32, QVariant>> decisionsOf(const exchangefile::Contents& c, const QList<Decision>& decisions) {
    QList<std::pair<qint32, QVariant>> pairs;
    for (int i = 0; i < decisions.size(); ++i) pairs.append({c.students[i].numElv, decisions[i].numElvIn()});
    return pairs;
}

}  // namespace

void frmImport::AutoMatchStudents() {
    if (!guarded([&] {
            mRsGBStudents = importgrades::readStudents(m_db);
            const QList<Decision> matched = importgrades::autoMatch(m_contents.students, mRsGBStudents);
            exchangefile::writeDecisions(mDbExport, decisionsOf(m_contents, matched));
            m_decisions = matched;
        }))
        return;
    lstElèves->clear();
    for (const exchangefile::Student& s : std::as_const(m_contents.students)) {
        auto* item = new QTreeWidgetItem(lstElèves, {s.name(), QString(), QString()});
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    }
    for (int i = 0; i < m_decisions.size(); ++i) showDecision(i);
    updateProgress(false);

    frmImport2& dialog = Form<frmImport2>::get();
    dialog.prepare(m_db, *m_main);
    dialog.cboElève->clear();
    for (const importgrades::GradebookStudent& s : std::as_const(mRsGBStudents)) dialog.cboElève->addItem(s.entry());
    if (dialog.cboElève->count() > 0) dialog.cboElève->setCurrentIndex(0);
    dialog.fillClasses();

    showPage(fraRapproch);
    lstElèves->fitColumns();
    if (lstElèves->topLevelItemCount() > 0) lstElèves->setCurrentItem(lstElèves->topLevelItem(0));
    lstElèves->setFocus();
}

void frmImport::showDecision(int row) {
    QTreeWidgetItem* item = lstElèves->topLevelItem(row);
    const Decision& d = m_decisions[row];
    const QStyle::StandardPixmap icon = d.state == Match::Rejected    ? QStyle::SP_DialogCancelButton
                                      : d.state == Match::Untreated ? QStyle::SP_MessageBoxQuestion
                                                                    : QStyle::SP_DialogApplyButton;
    item->setIcon(0, style()->standardIcon(icon));
    item->setText(1, d.name());
    item->setText(2, d.state == Match::Associated || d.state == Match::Create ? d.className : QString());
}

void frmImport::updateProgress(bool mayEnable) {
    const int done = importgrades::processed(m_decisions), total = int(m_contents.students.size());
    lblDone->setText(importgrades::progressText(done, total));
    if (done != total)
        cmdAction[1]->setEnabled(false);
    else if (mayEnable)
        cmdAction[1]->setEnabled(true);
}

void frmImport::ResolveSelectedStudent() {
    QTreeWidgetItem* item = lstElèves->currentItem();
    if (!item || fraRapproch->isHidden()) return;
    const int row = lstElèves->indexOfTopLevelItem(item);
    const Decision& now = m_decisions[row];
    const QString who = item->text(0);
    const QString status = now.state == Match::Rejected    ? who + QStringLiteral(" est rejeté.")
                         : now.state == Match::Untreated ? who + QStringLiteral(" n'est pas encore traité.")
                                                         : who + QStringLiteral(" est associé à ") + item->text(1)
                                                               + QStringLiteral(" (") + item->text(2) + QStringLiteral(").");
    frmImport2& dialog = Form<frmImport2>::get();
    Decision decision;
    switch (dialog.ask(this, status)) {
    case frmImport2::Answer::Cancelled: return;
    case frmImport2::Answer::Reject: decision = importgrades::reject(); break;
    case frmImport2::Answer::Associate: decision = importgrades::associate(mRsGBStudents[dialog.position()]); break;
    case frmImport2::Answer::Create: {
        const importgrades::NewName name = importgrades::freeName(m_contents.students, row, mRsGBStudents, m_decisions);
        if (name.changed && messages::msgBox(this,
                                             QStringLiteral("Le nom ") + who
                                                 + QStringLiteral(" est déjà utilisé pour désigner un élève.\nLe nouvel "
                                                                  "élève sera appelé ")
                                                 + name.name() + u'.',
                                             1, 2) != u"1")
            return;
        decision = importgrades::create(name, dialog.cboClasse->itemData(dialog.position()).toInt(),
                                        dialog.cboClasse->itemText(dialog.position()));
        break;
    }
    }
    if (!guarded([&] { exchangefile::writeDecisions(mDbExport, {{m_contents.students[row].numElv, decision.numElvIn()}}); }))
        return;
    m_decisions[row] = decision;
    showDecision(row);
    lstElèves->fitColumns();
    updateProgress(true);
}

void frmImport::BuildImportSummary() {
    QStringList refused;
    if (!guarded([&] { refused = importgrades::refusals(m_db, m_contents.students, m_decisions); })) return;
    if (!refused.isEmpty()) {
        messages::messageList(this, kCannotImport, refused, pictures::imaButton(3));
        return;
    }
    const importgrades::Summary summary = importgrades::summarize(m_decisions);
    lblEti[12]->setText(importgrades::summaryText(summary, cboMat->currentText()));
    if (importgrades::nothingToImport(summary)) cmdAction[1]->setEnabled(false);
    showPage(fraImport[2]);
}

bool frmImport::ImportGrades() {
    for (;;) {
        try {
            importgrades::importMarked(m_db, mDbExport, m_contents, m_decisions, cboMat->currentData().toInt());
            m_imported = true;
            return true;
        } catch (const importgrades::Failure& failure) {
            const QString message =
                failure.step() == importgrades::Failure::Marking ? kDataError
                : failure.step() == importgrades::Failure::Students
                    ? QStringLiteral("Une erreur est survenue lors de la création d'un nouvel élève.")
                    : QStringLiteral("Une erreur est survenue lors de la création des notes.");
            if (messages::msgBox(this, message, 1, 5) != u"1") {
                messages::msgBox(this, QStringLiteral("L'importation des notes est annulée."), 3, 1);
                return false;
            }
        }
    }
}

void frmImport::finish() {
    if (optKill[0]->isChecked()) {
        closeFile();
        mUtilities::KillFile(m_path);
    }
    reject();
}

void frmImport::reject() {
    closeFile();
    Form<frmImport2>::unload();
    // However the wizard closes, a gradebook that received an import is shown again.
    if (m_imported && m_main) {
        m_imported = false;
        editing::RefreshMainTabs(*m_main, false);
    }
    unloadSelf();
}

void frmImport::unloadSelf() { Form<frmImport>::unload(*this); }

void frmImport::keyPressEvent(QKeyEvent* event) {
    // Esc is the cancel button's, which the result page hides.
    if (event->key() == Qt::Key_Escape && cmdAction[2]->isHidden()) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool frmImport::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lstElèves && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            ResolveSelectedStudent();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
