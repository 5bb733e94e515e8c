// The dialogs that choose the gradebook to open or to create.
#include "Messages.h"
#include "mUtilities.h"

#include <QWidget>  // before the dialog wrapper, which keeps a QPointer<QWidget>

#include "controls/cOpenSaveFile.h"
#include "platform/Paths.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

namespace mUtilities {
namespace {

const QString kFilter = QStringLiteral("Données (*.dat)|*.dat");
const QString kExtension = QStringLiteral("dat");
const QString kIndent = QStringLiteral("          ");

}  // namespace

QString ChooseGradebookToOpen() {
    // Made on a first run, so that the dialog starts there rather than in the working folder.
    QDir().mkpath(platform::paths::notesFolder());
    cOpenSaveFile dialog;
    dialog.setInitDir(platform::paths::notesFolder());
    dialog.setFileName(QString());
    dialog.setDefaultExt(kExtension);
    dialog.setFilter(kFilter);
    if (dialog.ShowOpen() == 0) return {};
    const QString file = dialog.FileName();
    if (!QFileInfo(file).isFile()) {
        messages::msgBox(QApplication::activeWindow(),
                         QStringLiteral("Ce carnet de notes n'existe pas.\n"
                                        "Pour le créer, choisissez l'une des commandes de création de carnet de notes."),
                         2, 1);
        return {};
    }
    return file;
}

QString ChooseNewGradebook() {
    const QString folder = platform::paths::notesFolder();
    const QString name = DefaultGradebookName();
    const QString answer = messages::msgBox(
        QApplication::activeWindow(),
        QStringLiteral("L'étape suivante va vous permettre de créer un nouveau carnet de notes.\n"
                       "Par défaut, l'application vous propose l'emplacement suivant:\n")
            + kIndent + folder + QStringLiteral("\net le nom suivant:\n") + kIndent + name
            + QStringLiteral("\n\nVous pouvez cependant les modifier à votre convenance."),
        3, 2);
    // Closing the box without a button is no consent either.
    if (answer != u"1") return {};
    // The documents folder itself may not exist yet on a first run.
    QDir().mkpath(folder);

    cOpenSaveFile dialog;
    dialog.setInitDir(folder);
    dialog.setOverWritePrompt(true);
    dialog.setPathMustExist(true);
    dialog.setFileName(folder + u'/' + name);
    dialog.setDefaultExt(kExtension);
    dialog.setFilter(kFilter);
    if (!dialog.ShowSave()) return {};
    const QString file = dialog.FileName();
    return !file.isEmpty() && CreateGradebook(file) ? file : QString();
}

}  // namespace mUtilities
