// Opening documents and addresses through the desktop, and the messages of its failures.
#include "controls/mShellExecute.h"
#include "platform/Modal.h"
#include "platform/ShellOpen.h"

#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>

using mShellExecute::RunShellExecute;

class tst_mShellExecute : public QObject {
    Q_OBJECT
private slots:
    void openingAndItsFailures() {
        QStringList opened;
        bool desktopOpens = true;
        platform::setShellOpenHandler([&](const QString& t) { opened << t; return desktopOpens; });
        QTemporaryDir dir;
        const QString help = dir.filePath(QStringLiteral("Quibolet.html"));
        QVERIFY(QFile(help).open(QIODevice::WriteOnly));
        const QString mail = QStringLiteral("mailto: aide@example.org");
        const auto open = [](const QString& file, const QString& folder, bool messages) {
            return RunShellExecute(file, QStringLiteral("open"), {}, folder, 1, nullptr, messages);
        };
        QVERIFY(open(QStringLiteral("Quibolet.html"), dir.path(), true) > 32);
        QVERIFY(open(mail, {}, false) > 32);
        QCOMPARE(opened, (QStringList{help, mail}));

        platform::ModalTestScope scope;
        QStringList told;
        for (int i = 0; i < 3; ++i)
            scope.push([&](QWidget& w) {
                auto* box = qobject_cast<QMessageBox*>(&w);
                QVERIFY(box->icon() == QMessageBox::Critical && box->windowTitle() == QStringLiteral("Quibolet"));
                told << box->text();
            });
        QCOMPARE(open(dir.filePath(QStringLiteral("absent.html")), {}, true), 2);
        QCOMPARE(open(dir.filePath(QStringLiteral("nul/part.html")), {}, true), 3);
        desktopOpens = false;
        QCOMPARE(open(help, {}, true), 31);
        QCOMPARE(told, (QStringList{QStringLiteral("Fichier non trouvé."), QStringLiteral("Erreur dans le chemin."),
                                    QStringLiteral("Aucune application n'est associée à ce type de fichier.")}));
        QCOMPARE(open(mail, {}, false), 31);  // silent without messages
        platform::setShellOpenHandler({});
    }
};

QTEST_MAIN(tst_mShellExecute)
#include "tst_mShellExecute.moc"
