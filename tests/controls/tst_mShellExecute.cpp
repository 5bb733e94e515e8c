// Opening documents and addresses through the desktop, and the messages of its failures.
#include "controls/mShellExecute.h"
#include "platform/Modal.h"
#include "platform/ShellOpen.h"

#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>

using platform::ModalTestScope;
using mShellExecute::RunShellExecute;

class tst_mShellExecute : public QObject {
    Q_OBJECT
    QStringList m_opened;
    bool m_handlerAnswers = true;

private slots:
    void init() {
        m_opened.clear();
        m_handlerAnswers = true;
        platform::setShellOpenHandler([this](const QString& t) {
            m_opened << t;
            return m_handlerAnswers;
        });
    }
    void cleanup() { platform::setShellOpenHandler({}); }

    void documentsAndAddressesOpenThroughTheDesktop() {
        QTemporaryDir dir;
        QFile help(dir.filePath(QStringLiteral("Quibolet.html")));
        QVERIFY(help.open(QIODevice::WriteOnly));
        help.close();

        QVERIFY(RunShellExecute(help.fileName(), QStringLiteral("open"), {}, {}, 1, nullptr, true) > 32);
        QVERIFY(RunShellExecute(QStringLiteral("Quibolet.html"), QStringLiteral("open"), {}, dir.path(), 1, nullptr,
                                true) > 32);
        QVERIFY(RunShellExecute(QStringLiteral("mailto: aide@example.org"), QStringLiteral("open"), {}, {}, 1,
                                nullptr, false) > 32);
        QCOMPARE(m_opened, (QStringList{help.fileName(), help.fileName(), QStringLiteral("mailto: aide@example.org")}));

        // Nothing to open with: a failure code, silent when the messages are off.
        m_handlerAnswers = false;
        QCOMPARE(RunShellExecute(help.fileName(), QStringLiteral("open"), {}, {}, 1, nullptr, false), 31);
    }

    void failuresAreToldInFrench() {
        ModalTestScope scope;
        QTemporaryDir dir;
        QStringList told;
        const auto record = [&](QWidget& w) {
            auto* box = qobject_cast<QMessageBox*>(&w);
            QVERIFY(box);
            QCOMPARE(box->icon(), QMessageBox::Critical);
            QCOMPARE(box->windowTitle(), QStringLiteral("Quibolet"));
            told << box->text();
        };
        scope.push(record);
        QCOMPARE(RunShellExecute(dir.filePath(QStringLiteral("absent.html")), QStringLiteral("open"), {}, {}, 1,
                                 nullptr, true),
                 2);
        scope.push(record);
        QCOMPARE(RunShellExecute(dir.filePath(QStringLiteral("nul/part.html")), QStringLiteral("open"), {}, {}, 1,
                                 nullptr, true),
                 3);
        m_handlerAnswers = false;
        scope.push(record);
        QCOMPARE(RunShellExecute(QStringLiteral("https://example.org"), QStringLiteral("open"), {}, {}, 1, nullptr,
                                 true),
                 31);
        QCOMPARE(told, (QStringList{QStringLiteral("Fichier non trouvé."), QStringLiteral("Erreur dans le chemin."),
                                    QStringLiteral("Aucune application n'est associée à ce type de fichier.")}));
        // Without messages a failure is only a code.
        QCOMPARE(RunShellExecute(dir.filePath(QStringLiteral("absent.html")), QStringLiteral("open"), {}, {}, 1,
                                 nullptr, false),
                 2);
        QCOMPARE(scope.pending(), 0);

        QCOMPARE(mShellExecute::ErrorText(0), QStringLiteral("Mémoire insuffisante."));
        QCOMPARE(mShellExecute::ErrorText(8), QStringLiteral("Mémoire insuffisante."));
        QCOMPARE(mShellExecute::ErrorText(5), QStringLiteral("Accès au fichier refusé."));
        QCOMPARE(mShellExecute::ErrorText(27), QStringLiteral("Ce type de fichier n'a pas d'association valide."));
        QCOMPARE(mShellExecute::ErrorText(32), QStringLiteral("Une DLL requise n'a pas été trouvée."));
        QCOMPARE(mShellExecute::ErrorText(17), QStringLiteral("Une erreur est survenue pendant l'ouverture du fichier."));
    }
};

QTEST_MAIN(tst_mShellExecute)
#include "tst_mShellExecute.moc"
