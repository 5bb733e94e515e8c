#include "frmPwdAsk.h"

#include "Pictures.h"
#include "frmPwdGive.h"
#include "platform/Twips.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

namespace {

QLabel* label(QWidget* parent, const QString& text, int left, int top, int width, int height) {
    auto* l = new QLabel(text, parent);
    l->setTextFormat(Qt::PlainText);
    l->setWordWrap(true);
    l->setGeometry(platform::twipsRect(left, top, width, height));
    return l;
}

}  // namespace

frmPwdAsk::frmPwdAsk() : QDialog(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("frmPwdAsk"));
    setWindowTitle(QStringLiteral("Mot de passe"));
    setFixedSize(platform::twipsSize(5400, 2280));

    auto* picture = new QLabel(this);
    picture->setPixmap(pictures::key(32));
    picture->setGeometry(platform::layoutX(180), platform::layoutY(180), 32, 32);

    QLabel* heading = label(this, QStringLiteral("L'accès à ce carnet de notes est protégé par un mot de passe."),
                            900, 150, 4320, 480);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    label(this, QStringLiteral("Entrez le mot de passe."), 900, 720, 4320, 270);

    txtPwd = passwordBox(QStringLiteral("txtPwd"), this);
    txtPwd->setGeometry(platform::twipsRect(900, 1050, 2400, 345));
    txtPwd->installEventFilter(this);

    QLabel* hint = label(this, QStringLiteral("'Entrée' pour valider votre saisie, 'ESC' pour l'annuler."),
                         900, 1560, 4320, 480);
    QFont small = hint->font();
    small.setItalic(true);
    hint->setFont(small);
}

bool frmPwdAsk::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            m_tag = QStringLiteral("OK");
            hide();
            return true;
        }
        if (key == Qt::Key_Escape) {
            hide();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
