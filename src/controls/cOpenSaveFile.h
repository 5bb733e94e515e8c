#pragma once
#include <QPointer>
#include <QString>
#include <QStringList>

class QFileDialog;
class QWidget;

// The open and save dialogs, set up through properties, shown, then read. Filter holds
// descriptions and patterns separated by "|", e.g. "Données (*.dat)|*.dat"; DefaultExt is
// added to a name typed without one.
class cOpenSaveFile {
public:
    // Owned by the program's active window, if any.
    cOpenSaveFile();

    bool AllowMultiSelect() const { return flag(kAllowMultiSelect); }
    void setAllowMultiSelect(bool on) { setFlag(kAllowMultiSelect, on); }
    bool CreatePrompt() const { return flag(kCreatePrompt); }
    void setCreatePrompt(bool on) { setFlag(kCreatePrompt, on); }
    bool FileMustExist() const { return flag(kFileMustExist); }
    void setFileMustExist(bool on) { setFlag(kFileMustExist, on); }
    bool PathMustExist() const { return flag(kPathMustExist); }
    void setPathMustExist(bool on) { setFlag(kPathMustExist, on); }
    bool HideReadOnly() const { return flag(kHideReadOnly); }
    void setHideReadOnly(bool on) { setFlag(kHideReadOnly, on); }
    bool ReadOnly() const { return flag(kReadOnly); }
    void setReadOnly(bool on) { setFlag(kReadOnly, on); }
    bool OverWritePrompt() const { return flag(kOverWritePrompt); }
    void setOverWritePrompt(bool on) { setFlag(kOverWritePrompt, on); }

    QWidget* hwndOwner() const { return m_owner; }
    void setHwndOwner(QWidget* owner) { m_owner = owner; }
    QString DlgTitle() const { return m_title; }
    void setDlgTitle(const QString& title) { m_title = title; }
    QString DefaultExt() const { return m_defaultExt; }
    void setDefaultExt(const QString& extension) { m_defaultExt = extension; }
    QString InitDir() const { return m_initDir; }
    void setInitDir(const QString& folder) { m_initDir = folder; }
    // After a multiple choice: the folder, then each name, separated by NUL characters.
    QString FileName() const { return m_fileName; }
    void setFileName(const QString& name) { m_fileName = name; }
    QString FileTitle() const { return m_fileTitle; }
    QString Filter() const { return m_filter; }
    void setFilter(const QString& filter) { m_filter = filter; }
    int FilterIndex() const { return m_filterIndex; }
    void setFilterIndex(int index) { m_filterIndex = index; }

    // Number of files chosen; 0 when cancelled.
    int ShowOpen();
    // True when a name was confirmed; a cancel leaves FileName and FileTitle as they were.
    bool ShowSave();
    // The dialogs here never fail: the code is always 0, the user cancelling.
    int ErrCodeDlg(QString& message) const;

    // The dialog's name filters for a "|"-separated filter.
    static QStringList NameFilters(const QString& filter);

private:
    enum : int {
        kReadOnly = 0x1, kOverWritePrompt = 0x2, kHideReadOnly = 0x4, kAllowMultiSelect = 0x200,
        kPathMustExist = 0x800, kFileMustExist = 0x1000, kCreatePrompt = 0x2000, kExplorer = 0x80000,
        kEnableHook = 0x20
    };
    bool flag(int f) const { return (m_flags & f) != 0; }
    void setFlag(int f, bool on) { m_flags = on ? (m_flags | f) : (m_flags & ~f); }
    QStringList run(bool save);
    bool refused(QFileDialog& dialog, bool save, const QString& file) const;

    int m_flags = kExplorer | kEnableHook | kHideReadOnly | kOverWritePrompt;
    QPointer<QWidget> m_owner;
    QString m_title, m_defaultExt, m_initDir, m_fileName, m_fileTitle, m_filter;
    int m_filterIndex = 0;
};
