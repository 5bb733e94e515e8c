#include "frmOptions.h"

#include "frmPwdGive.h"
#include "gradebook/GradebookPassword.h"
#include "gradebook/GradebookSchema.h"
#include "gradebook/mUtilities.h"
#include "platform/FormInstance.h"
#include "platform/Modal.h"
#include "platform/SystemMessage.h"
#include "VersionInfo.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

const QString kMoyenne = QStringLiteral("Moyenne");
const QString kPasse = QStringLiteral("Passe");

int storedMoyenne() { return mUtilities::gDB.Properties(kMoyenne).Value().toInt(); }

// The gradebook keeps its options as properties; a write that fails leaves the stored
// value as it was, and the window shows that value again.
bool writeOption(QWidget* owner, const QString& name, const QVariant& value) {
    try {
        mUtilities::gDB.Properties(name).setValue(value);
        return true;
    } catch (const db::DbError&) {
        platform::criticalMessage(owner, platform::version::productName(),
                                  QStringLiteral("Impossible d'enregistrer cette modification dans le carnet de notes."));
        return false;
    }
}

QLabel* wrappedLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

}  // namespace

frmOptions::frmOptions() : QDialog(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("Options"));

    tabS = new QTabWidget(this);
    tabS->setObjectName(QStringLiteral("tabS"));
    fraOptions = {nullptr, new QWidget(tabS), new QWidget(tabS)};
    fraOptions[1]->setObjectName(QStringLiteral("fraOptions1"));
    fraOptions[2]->setObjectName(QStringLiteral("fraOptions2"));
    tabS->addTab(fraOptions[1], QStringLiteral("Moyennes"));
    tabS->setTabToolTip(0, QStringLiteral("Options sur les moyennes"));
    tabS->addTab(fraOptions[2], QStringLiteral("Protection"));
    tabS->setTabToolTip(1, QStringLiteral("Définir un mot de passe"));

    lblEti = {wrappedLabel(QStringLiteral("Vous pouvez choisir des moyennes à une ou deux décimales"), fraOptions[1]),
              wrappedLabel(QString(), fraOptions[2])};
    optDécimale = {nullptr, new QRadioButton(QStringLiteral("1 décimale"), fraOptions[1]),
                   new QRadioButton(QStringLiteral("2 décimales"), fraOptions[1])};
    auto* decimals = new QVBoxLayout(fraOptions[1]);
    decimals->addWidget(lblEti[0]);
    decimals->addSpacing(6);
    for (int i = 1; i <= 2; ++i) {
        optDécimale[i]->setObjectName(QStringLiteral("optDécimale%1").arg(i));
        decimals->addWidget(optDécimale[i]);
    }
    decimals->addStretch();

    cmdPasse = new QPushButton(fraOptions[2]);
    cmdPasse->setObjectName(QStringLiteral("cmdPasse"));
    cmdPasse->setAutoDefault(false);
    auto* password = new QVBoxLayout(fraOptions[2]);
    password->addWidget(lblEti[1]);
    password->addStretch();
    password->addWidget(cmdPasse, 0, Qt::AlignHCenter);

    cmdClose = new QPushButton(QStringLiteral("Fermer"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdClose);
    auto* main = new QVBoxLayout(this);
    main->addWidget(tabS);
    main->addLayout(buttons);
    setFixedSize(440, 230);

    // A value other than 1 or 2 reads as two decimals, as the averages show it.
    mOldMoyenne = quint8(storedMoyenne());
    optDécimale[mOldMoyenne == 1 ? 1 : 2]->setChecked(true);
    showPasswordState();

    for (int i = 1; i <= 2; ++i)
        connect(optDécimale[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) optDécimale_Click(i);
        });
    connect(cmdPasse, &QPushButton::clicked, this, &frmOptions::cmdPasse_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmOptions::cmdClose_Click);
}

void frmOptions::showPasswordState() {
    // Read back from the gradebook: a password typed as the no-password marker protects
    // nothing and must not be shown as a protection.
    if (mUtilities::gDB.Properties(kPasse).Value().toString() == gradebook::noPassword()) {
        lblEti[1]->setText(QStringLiteral("Vous pouvez choisir de protéger ce carnet de notes par un mot de passe."));
        cmdPasse->setText(QStringLiteral("Définir un mot de passe"));
    } else {
        lblEti[1]->setText(QStringLiteral("Ce carnet de notes est protégé par un mot de passe."
                                          " Vous pouvez modifier ce mot de passe ou le supprimer en donnant un mot de passe vide."));
        cmdPasse->setText(QStringLiteral("Modifier le mot de passe"));
    }
}

void frmOptions::optDécimale_Click(int decimals) {
    if (writeOption(this, kMoyenne, decimals)) return;
    const QSignalBlocker blocker(optDécimale[3 - decimals]);
    optDécimale[3 - decimals]->setChecked(true);
}

void frmOptions::cmdPasse_Click() {
    auto& give = platform::Form<frmPwdGive>::get();
    platform::showModal(give, this);
    if (give.Tag() == QLatin1String("OK")) {
        const QString typed = give.txtPwd->text();
        writeOption(this, kPasse, gradebookpassword::stored(typed));
        showPasswordState();
    }
    platform::Form<frmPwdGive>::unload();
}

void frmOptions::reject() { cmdClose_Click(); }

void frmOptions::cmdClose_Click() {
    int moyenne = mOldMoyenne;
    try {
        moyenne = storedMoyenne();
    } catch (const db::DbError&) {
        // Nothing could have changed: leave the screen as it is.
    }
    if (moyenne != mOldMoyenne) {
        mUtilities::gAverageFormat = mUtilities::AverageFormat(moyenne);
        emit DecimalsChanged();
    }
    platform::Form<frmOptions>::unload(*this);
}
