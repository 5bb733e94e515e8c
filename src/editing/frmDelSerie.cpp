#include "frmDelSerie.h"

#include "EditSupport.h"
#include "gradebook/Messages.h"
#include "mainwindow/Commands.h"
#include "mainwindow/Pictures.h"
#include "platform/FormInstance.h"
#include "platform/Twips.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kNext = QStringLiteral("Suivant >");
const QString kHeading = QStringLiteral("Impossible de supprimer une série de notes.");

}  // namespace

frmDelSérie::frmDelSérie() : QDialog(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("frmDelSérie"));
    setWindowTitle(QStringLiteral("Supprimer une série de notes"));

    auto* layout = new QVBoxLayout(this);
    const QStringList texts{QStringLiteral("Choisissez la matière pour laquelle vous voulez supprimer une série de notes:"),
                            QStringLiteral("Choisissez la classe pour laquelle vous voulez supprimer une série de notes:"),
                            QStringLiteral("Choisissez la série de notes que vous souhaitez supprimer:")};
    const QStringList names{QStringLiteral("cboMat"), QStringLiteral("cboClasse"), QStringLiteral("cboSérie")};
    QComboBox* combos[3];
    // The class's frame comes first on the page, then the subject's; the series' replaces both.
    for (const int frame : {1, 0, 2}) {
        auto* f = new QWidget(this);
        f->setObjectName(QStringLiteral("fraMat%1").arg(frame));
        auto* l = new QVBoxLayout(f);
        l->setContentsMargins(0, 0, 0, 0);
        l->setSpacing(3);
        // lblEti(0) is the class's label, lblEti(1) the subject's.
        auto* eti = new QLabel(texts[frame], f);
        eti->setObjectName(QStringLiteral("lblEti%1").arg(frame == 2 ? 2 : 1 - frame));
        eti->setWordWrap(true);
        combos[frame] = new QComboBox(f);
        combos[frame]->setObjectName(names[frame]);
        l->addWidget(eti);
        l->addWidget(combos[frame]);
        layout->addWidget(f);
        fraMat.resize(3);
        fraMat[frame] = f;
        lblEti.resize(3);
        lblEti[frame == 2 ? 2 : 1 - frame] = eti;
    }
    cboMat = combos[0];
    cboClasse = combos[1];
    cboSérie = combos[2];
    fraMat[2]->hide();
    layout->addStretch();

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    const QStringList captions{kNext, QStringLiteral("Annuler")};
    for (int i = 0; i < 2; ++i) {
        auto* b = new QPushButton(captions[i], this);
        b->setObjectName(QStringLiteral("cmdAction%1").arg(i));
        b->setFixedSize(platform::twipsSize(1215, 375));
        connect(b, &QPushButton::clicked, this, [this, i] { cmdAction_Click(i); });
        buttons->addWidget(b);
        cmdAction.append(b);
    }
    cmdAction[0]->setDefault(true);
    layout->addLayout(buttons);
    setFixedSize(platform::twipsSize(4815, 3405));
}

bool frmDelSérie::PopulateCombos(commands::MainSurface& main, const db::Database& database, db::Recordset& notes) {
    m_main = &main;
    m_db = database;
    m_notes = &notes;
    QStringList lines;
    if (!editsupport::fillClasses(*cboClasse, main))
        lines << QStringLiteral("Ce carnet de notes ne contient pas encore de classe.\n"
                                "Créez une ou plusieurs classes (menu Créer/Nouvelle classe).");
    try {
        if (!editsupport::fillSubjects(*cboMat, database, main))
            lines << QStringLiteral("Ce carnet de notes ne contient pas encore de matière.\n"
                                    "Créez une ou plusieurs matières (menu Créer/Nouvelle matière).");
    } catch (const db::DbError&) {
        editsupport::storeFailure(main.owner(), QStringLiteral("Impossible de lire les matières de ce carnet de notes."));
        return false;
    }
    if (lines.isEmpty()) return true;
    messages::messageList(main.owner(), kHeading, lines, pictures::imaButton(3));
    return false;
}

void frmDelSérie::cmdAction_Click(int Index) {
    if (Index != 0)
        unloadSelf();
    else if (cmdAction[0]->text() == kNext)
        goToStep2();
    else
        deleteSeries();
}

void frmDelSérie::goToStep2() {
    if (!editsupport::fillSeries(*cboSérie, this, m_db, editsupport::chosenKey(*cboClasse),
                                 editsupport::chosenKey(*cboMat), kHeading))
        return;
    cmdAction[0]->setText(QStringLiteral("OK"));
    fraMat[0]->hide();
    fraMat[1]->hide();
    fraMat[2]->show();
    cboSérie->setFocus();
}

void frmDelSérie::deleteSeries() {
    const QString answer = messages::msgBox(this, QStringLiteral("Etes-vous sûr de vouloir supprimer cette série de notes ?"),
                                            4, 3, QStringLiteral("Suppression d'une série de notes"), 2);
    if (answer != QLatin1String("1")) return;
    try {
        seriesedit::remove(m_db, *m_notes, editsupport::chosenKey(*cboSérie));
    } catch (const db::DbError&) {
        editsupport::storeFailure(this, QStringLiteral("Impossible de supprimer cette série de notes du carnet de notes."));
        return;
    }
    editsupport::RefreshMainIfShown(*m_main, editsupport::chosenKey(*cboClasse), editsupport::chosenKey(*cboMat));
    unloadSelf();
}

void frmDelSérie::reject() { unloadSelf(); }

void frmDelSérie::unloadSelf() { platform::Form<frmDelSérie>::unload(*this); }
