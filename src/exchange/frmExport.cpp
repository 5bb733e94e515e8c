#include "frmExport.h"

#include "ExchangeFile.h"
#include "WizardLabels.h"
#include "VersionInfo.h"
#include "controls/mOffice2000.h"
#include "controls/vskTab.h"
#include "gradebook/Messages.h"
#include "gradebook/mUtilities.h"
#include "mainwindow/Commands.h"
#include "mainwindow/Pictures.h"
#include "platform/Dates.h"
#include "platform/FormInstance.h"
#include "platform/Paths.h"
#include "platform/SystemMessage.h"
#include "platform/Twips.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextCursor>

using exchangewizard::boldValue;
using exchangewizard::label;
using platform::twipsRect;

namespace exportwizard {

QList<Subject> readSubjects(const db::Database& database) {
    QList<Subject> subjects;
    db::Recordset rs = database.OpenRecordset(db::Query(QStringLiteral("Matières")), db::RecordsetType::ForwardOnly);
    for (; !rs.Eof(); rs.MoveNext())
        subjects.append({rs.Fields(QStringLiteral("NumMat")).Value().toInt(), rs.Fields(QStringLiteral("Nom")).Value().toString()});
    return subjects;
}

QList<Series> readSeries(const db::Database& database, qint32 numClass, qint32 numMat) {
    QList<Series> series;
    db::Recordset rs = database.OpenRecordset(db::Query(QStringLiteral("Séries"))
                                                  .where(db::Field(QStringLiteral("NumClass")) == numClass &&
                                                         db::Field(QStringLiteral("NumMat")) == numMat)
                                                  .orderBy({QStringLiteral("Période"), QStringLiteral("Date")}),
                                              db::RecordsetType::Snapshot);
    for (; !rs.Eof(); rs.MoveNext())
        series.append({rs.Fields(QStringLiteral("NumSérie")).Value().toInt(), rs.Fields(QStringLiteral("Nom")).Value().toString(),
                       rs.Fields(QStringLiteral("Date")).Value().toDateTime(),
                       rs.Fields(QStringLiteral("Période")).Value().toInt()});
    return series;
}

QString seriesLine(const Series& series) {
    return mUtilities::ShortenName(series.name) + QStringLiteral(" du ")
         + platform::dates::formatShortDate(series.date.date()) + QStringLiteral(" (Période %1)").arg(series.period);
}

QList<int> periodsOf(const QList<Series>& series) {
    QList<int> periods;
    int last = 0;
    for (const Series& s : series)
        if (s.period != last) periods.append(last = s.period);
    return periods;
}

QString sizeText(qint64 bytes) { return QStringLiteral("%1 Ko").arg((bytes + 512) / 1024); }

}  // namespace exportwizard

namespace {

const QString kCannotExport = QStringLiteral("Impossible de procéder à l'exportation de notes.");


QList<int> ticked(const QListWidget& list) {
    QList<int> rows;
    for (int i = 0; i < list.count(); ++i)
        if (list.item(i)->checkState() == Qt::Checked) rows.append(i);
    return rows;
}

void addTickable(QListWidget& list, const QString& text) {
    auto* item = new QListWidgetItem(text, &list);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
}

}  // namespace

frmExport::frmExport() : QDialog(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("frmExport"));
    setWindowTitle(QStringLiteral("Exporter des notes"));
    setFixedSize(twipsRect(0, 0, 4785, 5595).size());
    lblEti.resize(11);

    fraExport = new QWidget(this);
    fraExport->setObjectName(QStringLiteral("fraExport"));
    fraExport->setGeometry(twipsRect(120, 120, 4545, 4800));
    lblEti[1] = label(QStringLiteral("Cette fonction vous permet d'exporter une ou plusieurs séries de notes dans le but de "
                                     "les transmettre à un collègue (professeur principal par exemple).\n\n"
                                     "Cette exportation va concerner une seule classe et une seule matière. Si vous devez "
                                     "exporter des notes de plusieurs classes, ou de plusieurs matières, vous devez créer "
                                     "autant de fichiers d'exportation que nécessaire.\n\n"
                                     "Dans les étapes qui suivent, vous allez indiquer la classe et la matière concernées, "
                                     "puis vous sélectionnerez les séries de notes que vous souhaitez transmettre."),
                      fraExport, twipsRect(120, 120, 4305, 4560));

    for (int i = 0; i < 3; ++i) {
        auto* frame = new QGroupBox(this);
        frame->setObjectName(QStringLiteral("fraMat%1").arg(i));
        frame->hide();
        fraMat.append(frame);
    }
    fraMat[0]->setGeometry(twipsRect(120, 240, 4545, 1455));
    fraMat[1]->setGeometry(twipsRect(120, 1920, 4545, 1455));
    fraMat[2]->setGeometry(twipsRect(120, 120, 4545, 4800));
    lblEti[0] = label(QStringLiteral("Choisissez la classe concernée par l'exportation:"), fraMat[0],
                      twipsRect(120, 240, 4305, 480));
    cboClasse = new QComboBox(fraMat[0]);
    cboClasse->setObjectName(QStringLiteral("cboClasse"));
    cboClasse->setGeometry(twipsRect(120, 840, 4305, 375));
    lblEti[2] = label(QStringLiteral("Choisissez la matière concernée par l'exportation:"), fraMat[1],
                      twipsRect(120, 240, 4305, 480));
    cboMat = new QComboBox(fraMat[1]);
    cboMat->setObjectName(QStringLiteral("cboMat"));
    cboMat->setGeometry(twipsRect(120, 840, 4305, 375));

    lblEti[3] = label(QStringLiteral("Sélectionnez les séries de notes à exporter:"), fraMat[2],
                      twipsRect(120, 240, 4305, 300));
    optSérie = {new QRadioButton(QStringLiteral("Sélection individuelle de séries de notes"), fraMat[2]),
                new QRadioButton(QStringLiteral("Toutes les séries de notes d'une période"), fraMat[2])};
    optSérie[0]->setObjectName(QStringLiteral("optSérie0"));
    optSérie[1]->setObjectName(QStringLiteral("optSérie1"));
    optSérie[0]->setGeometry(twipsRect(120, 600, 4305, 300));
    lisSéries = new QListWidget(fraMat[2]);
    lisSéries->setObjectName(QStringLiteral("lisSéries"));
    lisSéries->setGeometry(twipsRect(120, 930, 4305, 1935));
    optSérie[1]->setGeometry(twipsRect(120, 2970, 4305, 300));
    optSérie[1]->setChecked(true);
    lisPériodes = new QListWidget(fraMat[2]);
    lisPériodes->setObjectName(QStringLiteral("lisPériodes"));
    lisPériodes->setGeometry(twipsRect(120, 3300, 4305, 1335));

    fraEnd = new QWidget(this);
    fraEnd->setObjectName(QStringLiteral("fraEnd"));
    fraEnd->setGeometry(twipsRect(0, 0, 5535, 5895));
    fraEnd->hide();
    lblEti[4] = label(QStringLiteral("Les données sélectionnées ont été exportées avec succès."), fraEnd,
                      twipsRect(240, 180, 5175, 480));
    // Name, folder, class, subject and mode; the folder and the mode may take two lines.
    const QStringList names = {QStringLiteral("Fichier:"), QStringLiteral("Chemin:"), QStringLiteral("Classe:"),
                               QStringLiteral("Matière:"), QStringLiteral("Notes:")};
    const int tops[] = {720, 990, 1470, 1740, 2010};
    QVector<QLabel*> values;
    for (int i = 0; i < names.size(); ++i) {
        lblEti[5 + i] = label(names[i], fraEnd, twipsRect(240, tops[i], 900, 270), false);
        values.append(boldValue(fraEnd, twipsRect(1140, tops[i], 4275, i == 1 || i == 4 ? 480 : 270)));
    }
    lblName = values[0];
    lblPath = values[1];
    lblPath->setWordWrap(true);
    values[4]->setWordWrap(true);
    lblClasse = values[2];
    lblMat = values[3];
    lblSérie = values[4];
    lblEti[10] = label(QString(), fraEnd, twipsRect(240, 2550, 5175, 1920));
    txtComment = new QPlainTextEdit(fraEnd);
    txtComment->setObjectName(QStringLiteral("txtComment"));
    txtComment->setGeometry(twipsRect(240, 4500, 5175, 1320));
    txtComment->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtComment->setTabChangesFocus(true);
    mOffice2000::SetEdgeStyle(txtComment, true);
    connect(txtComment, &QPlainTextEdit::textChanged, this, &frmExport::boundComment);

    const QStringList captions = {QStringLiteral("< Précédent"), QStringLiteral("Suivant >"), QStringLiteral("Annuler")};
    for (int i = 0; i < 3; ++i) {
        auto* button = new QPushButton(captions[i], this);
        button->setObjectName(QStringLiteral("cmdAction%1").arg(i));
        button->setGeometry(twipsRect(360 + i * 1440, 5040, 1095, 375));
        connect(button, &QPushButton::clicked, this, [this, i] { cmdAction_Click(i); });
        cmdAction.append(button);
    }
    cmdAction[0]->setEnabled(false);
    cmdAction[1]->setDefault(true);
}

bool frmExport::PopulateClassMat(commands::MainSurface& main, const db::Database& database) {
    m_db = database;
    QStringList lines;
    vskTab& tabs = main.tabBar();
    if (tabs.SectionCount() > 0) {
        for (int i = 1; i <= tabs.SectionCount(); ++i) {
            const cTabSection section = tabs.SectionAt(i);
            cboClasse->addItem(section.Key(), section.Tag().toInt());
        }
        const cTabSection active = tabs.ActiveSection();
        cboClasse->setCurrentIndex(active.isNull() ? 0 : active.Index() - 1);
    } else {
        lines << QStringLiteral("Pour exporter des notes, il faut avoir défini au moins une classe.\n"
                                "Créez une ou plusieurs classes (menu Créer/Nouvelle classe).");
    }

    const QList<exportwizard::Subject> subjects = exportwizard::readSubjects(database);
    if (!subjects.isEmpty()) {
        for (const exportwizard::Subject& s : subjects) cboMat->addItem(s.name, s.numMat);
        int shown = 0;
        if (main.currentSection() >= 1 && main.currentSection() <= tabs.SectionCount()) {
            const cTabItem item = tabs.SectionAt(main.currentSection()).SelectedItem();
            if (!item.isNull()) shown = std::max(0, cboMat->findText(item.Caption(), Qt::MatchExactly | Qt::MatchCaseSensitive));
        }
        cboMat->setCurrentIndex(shown);
    } else {
        lines << QStringLiteral("Pour exporter des notes, il faut avoir défini au moins une matière.\n"
                                "Créez une ou plusieurs matières (menu Créer/Nouvelle matière).");
    }

    if (lines.isEmpty()) return true;
    messages::messageList(main.owner(), kCannotExport, lines, pictures::imaButton(3));
    return false;
}

void frmExport::cmdAction_Click(int Index) {
    switch (Index) {
    case 0: GoBack(); break;
    case 1: GoNext(); break;
    default: unloadSelf(); break;
    }
}

void frmExport::GoNext() {
    if (!fraExport->isHidden()) {
        fraExport->hide();
        fraMat[1]->show();
        fraMat[0]->show();
        cboClasse->setFocus();
    } else if (!fraMat[0]->isHidden()) {
        showSeriesPage();
    } else if (!fraMat[2]->isHidden()) {
        checkChoice();
    } else if (!fraEnd->isHidden()) {
        finish();
    }
}

void frmExport::GoBack() {
    if (fraMat[2]->isHidden()) return;
    cmdAction[0]->setEnabled(false);
    fraMat[2]->hide();
    fraMat[1]->show();
    fraMat[0]->show();
    cboClasse->setFocus();
}

void frmExport::showSeriesPage() {
    lisSéries->clear();
    lisPériodes->clear();
    mRsSéries = exportwizard::readSeries(m_db, cboClasse->currentData().toInt(), cboMat->currentData().toInt());
    m_periods = exportwizard::periodsOf(mRsSéries);
    if (mRsSéries.isEmpty()) {
        messages::messageList(this, kCannotExport,
                              {QStringLiteral("Cette classe n'a pas encore de série de notes dans cette matière.\n"
                                              "Créez au moins une série de notes (menu Créer/Nouvelle série de notes).")},
                              pictures::imaButton(3));
        return;
    }
    for (const exportwizard::Series& s : std::as_const(mRsSéries)) addTickable(*lisSéries, exportwizard::seriesLine(s));
    for (int period : std::as_const(m_periods)) addTickable(*lisPériodes, QStringLiteral("Période %1").arg(period));
    lisSéries->setCurrentRow(0);
    lisPériodes->setCurrentRow(0);
    cmdAction[0]->setEnabled(true);
    fraMat[0]->hide();
    fraMat[1]->hide();
    fraMat[2]->show();
    lisPériodes->setFocus();
}

void frmExport::checkChoice() {
    QString message;
    if (optSérie[0]->isChecked() && ticked(*lisSéries).isEmpty()) {
        message = QStringLiteral("Vous avez choisi la sélection individuelle de séries de notes sans indiquer votre sélection.\n"
                                 "Cochez les séries de notes que vous désirez exporter, ou choisissez la sélection par "
                                 "périodes entières.");
        lisSéries->setFocus();
    } else if (optSérie[1]->isChecked() && ticked(*lisPériodes).isEmpty()) {
        message = QStringLiteral("Vous avez choisi la sélection de séries de notes par périodes entières sans indiquer votre "
                                 "sélection.\nCochez les périodes dont vous désirez exporter les séries de notes, ou "
                                 "choisissez la sélection individuelle de séries de notes.");
        lisPériodes->setFocus();
    }
    if (message.isEmpty())
        WriteExportFile();
    else
        messages::msgBox(this, message, 3, 1);
}

void frmExport::WriteExportFile() {
    const bool individual = optSérie[0]->isChecked();
    exchangefile::Selection selection{cboClasse->currentData().toInt(), cboMat->currentData().toInt(),
                                      cboClasse->currentText(), cboMat->currentText(), {}, {}};
    if (individual)
        for (int row : ticked(*lisSéries)) selection.series.append(mRsSéries[row].numSerie);
    else
        for (int row : ticked(*lisPériodes)) selection.periods.append(m_periods[row]);
    try {
        m_file = exchangefile::write(m_db, selection, platform::paths::exportFolder());
    } catch (const std::exception&) {
        platform::criticalMessage(this, platform::version::productName(),
                                  QStringLiteral("Impossible de créer le fichier d'exportation."));
        return;
    }

    txtComment->clear();
    fraMat[2]->hide();
    cmdAction[0]->hide();
    cmdAction[2]->hide();
    cmdAction[1]->setText(QStringLiteral("Terminer"));
    cmdAction[1]->setGeometry(twipsRect(2330, 6000, 1095, 375));
    const QFileInfo file(m_file);
    lblName->setText(file.fileName());
    lblPath->setText(file.absolutePath() + u'/');
    lblClasse->setText(cboClasse->currentText());
    lblMat->setText(cboMat->currentText());
    lblSérie->setText(individual ? QStringLiteral("Sélection individuelle de séries de notes")
                                 : QStringLiteral("Sélection de séries de notes par périodes entières"));
    lblEti[10]->setText(QStringLiteral("Vous pouvez transmettre ce fichier à un collègue par messagerie électronique en tant "
                                       "que fichier attaché à un message, ou sur support type disquette (taille du fichier: ")
                        + exportwizard::sizeText(file.size())
                        + QStringLiteral(").\n\nSi vous le souhaitez, vous pouvez également saisir, dans la zone de texte "
                                         "ci-dessous, un commentaire, qui sera enregistré dans le fichier, et affiché à "
                                         "l'intention du destinataire lors de son importation."));
    fraEnd->show();
    setFixedSize(twipsRect(0, 0, 5640, 6480).size());
    txtComment->setFocus();
}

void frmExport::finish() {
    const QString comment = txtComment->toPlainText();
    if (!comment.isEmpty()) {
        try {
            exchangefile::setComment(m_file, comment);
        } catch (const std::exception&) {
            // The file was written whole; only the comment is missing from it.
            platform::criticalMessage(this, platform::version::productName(),
                                      QStringLiteral("Impossible d'enregistrer le commentaire dans le fichier "
                                                     "d'exportation."));
        }
    }
    unloadSelf();
}

void frmExport::boundComment() {
    const QString text = txtComment->toPlainText();
    const qsizetype excess = text.size() - exchangefile::kCommentLength;
    if (excess <= 0) return;
    // What was typed or pasted last goes, before the cursor, as in a text box of a maximum
    // length; a text set whole loses its end.
    QTextCursor cut = txtComment->textCursor();
    qsizetype end = cut.position();
    if (end < excess) end = text.size();
    qsizetype start = end - excess;
    if (start > 0 && text.at(start).isLowSurrogate()) --start;  // never half a character
    cut.setPosition(int(start));
    cut.setPosition(int(end), QTextCursor::KeepAnchor);
    cut.removeSelectedText();
}

void frmExport::keyPressEvent(QKeyEvent* event) {
    // Esc is the cancel button's, which the result page hides: there it would lose the
    // comment being typed.
    if (event->key() == Qt::Key_Escape && cmdAction[2]->isHidden()) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmExport::reject() { unloadSelf(); }

void frmExport::unloadSelf() { platform::Form<frmExport>::unload(*this); }
