#include "cOpenSaveFile.h"

#include "mDialogHook.h"
#include "platform/Modal.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

namespace {

// The file dialogs' own warnings and questions: Qt's would open their own modal loop.
bool fileMessage(QWidget& dialog, QMessageBox::Icon icon, const QString& text, bool question) {
    QMessageBox box(icon, dialog.windowTitle(), text, QMessageBox::NoButton, &dialog);
    box.setObjectName(QStringLiteral("fileDialogMessage"));
    QPushButton* yes = nullptr;
    if (question) {
        yes = box.addButton(QStringLiteral("&Oui"), QMessageBox::YesRole);
        box.setDefaultButton(box.addButton(QStringLiteral("&Non"), QMessageBox::NoRole));
    } else {
        box.setDefaultButton(box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole));
    }
    platform::showModal(box, &dialog);
    return yes && box.clickedButton() == yes;
}

}  // namespace

cOpenSaveFile::cOpenSaveFile() : m_owner(QApplication::activeWindow()) {}

QStringList cOpenSaveFile::NameFilters(const QString& filter) {
    QStringList result;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts.at(i);
        const QString patterns = parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts).join(QLatin1Char(' '));
        // Qt reads the patterns from the parentheses that end the filter.
        if (description.endsWith(QLatin1Char('(') + patterns + QLatin1Char(')')))
            result << description;
        else
            result << QStringLiteral("%1 (%2)").arg(description, patterns);
    }
    return result;
}

bool cOpenSaveFile::refused(QFileDialog& dialog, bool save, const QString& file) const {
    const QFileInfo info(file);
    if (PathMustExist() && !info.absoluteDir().exists()) {
        fileMessage(dialog, QMessageBox::Warning,
                    QStringLiteral("%1\nLe chemin n'existe pas.\nVérifiez que le chemin correct a été indiqué.")
                        .arg(info.fileName()),
                    false);
        return true;
    }
    if (!save && FileMustExist() && !info.exists()) {
        fileMessage(dialog, QMessageBox::Warning,
                    QStringLiteral("%1\nFichier introuvable.\nVérifiez que le nom de fichier correct a été indiqué.")
                        .arg(info.fileName()),
                    false);
        return true;
    }
    if (save && OverWritePrompt() && info.exists())
        return !fileMessage(dialog, QMessageBox::Warning,
                            QStringLiteral("%1 existe déjà.\nVoulez-vous le remplacer ?").arg(info.fileName()), true);
    return false;
}

QStringList cOpenSaveFile::run(bool save) {
    QFileDialog dialog(m_owner);
    dialog.setObjectName(QStringLiteral("cOpenSaveFile"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);  // asked below, through our own box
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(!save && AllowMultiSelect() ? QFileDialog::ExistingFiles : QFileDialog::AnyFile);
    dialog.setWindowTitle(!m_title.isEmpty() ? m_title
                          : save             ? QStringLiteral("Enregistrer sous")
                                             : QStringLiteral("Ouvrir"));
    const QStringList filters = NameFilters(m_filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        if (m_filterIndex >= 1 && m_filterIndex <= filters.size()) dialog.selectNameFilter(filters.at(m_filterIndex - 1));
    }
    if (!m_defaultExt.isEmpty()) dialog.setDefaultSuffix(m_defaultExt);
    if (!m_initDir.isEmpty()) dialog.setDirectory(m_initDir);
    // After a multiple choice the name starts with the folder, up to the first NUL.
    const QString initial = m_fileName.section(QChar(0), 0, 0);
    if (QFileInfo(initial).isDir())
        dialog.setDirectory(initial);
    else if (!initial.isEmpty())
        dialog.selectFile(initial);
    mDialogHook::CenterDialogHook(dialog);

    for (;;) {
        if (platform::showModal(dialog, m_owner) != QDialog::Accepted) return {};
        const QStringList files = dialog.selectedFiles();
        if (files.isEmpty()) return {};
        if (files.size() == 1 && refused(dialog, save, files.first())) continue;
        if (!filters.isEmpty()) m_filterIndex = int(filters.indexOf(dialog.selectedNameFilter())) + 1;
        return files;
    }
}

int cOpenSaveFile::ShowOpen() {
    const QStringList files = run(false);
    if (files.isEmpty()) return 0;
    if (files.size() == 1) {
        m_fileName = files.first();
        m_fileTitle = QFileInfo(files.first()).fileName();
        return 1;
    }
    QStringList list{QFileInfo(files.first()).absolutePath()};
    for (const QString& f : files) list << QFileInfo(f).fileName();
    m_fileName = list.join(QChar(0));
    return int(files.size());
}

bool cOpenSaveFile::ShowSave() {
    setAllowMultiSelect(false);
    const QStringList files = run(true);
    if (files.isEmpty()) return false;
    m_fileName = files.first();
    m_fileTitle = QFileInfo(files.first()).fileName();
    return true;
}

int cOpenSaveFile::ErrCodeDlg(QString& message) const {
    message = QStringLiteral("L'utilisateur a annulé l'opération.");
    return 0;
}
