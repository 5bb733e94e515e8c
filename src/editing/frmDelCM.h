#pragma once
#include "platform/db/Database.h"

#include <QDialog>
#include <QVector>

class QComboBox;
class QLabel;
class QPushButton;
namespace commands {
class MainSurface;
}

// Deletes one class or one subject of the open gradebook with everything that depends on
// it, after asking. The opener loads it, calls PopulateCombo and shows it modal when that
// returns true; either way it unloads it afterwards. After a deletion the main window shows
// its first class and subject.
class frmDelCM : public QDialog {
    Q_OBJECT
public:
    frmDelCM();

    // "Classes" lists the classes of the main window's tab bar, any other table the
    // subjects of the gradebook, the one on screen chosen; the caption tells which. False
    // (after telling the user) when there is nothing to delete. Throws DbError.
    bool PopulateCombo(const QString& table, commands::MainSurface& main, const db::Database& database);

    QComboBox* cboClassMat;
    QVector<QLabel*> lblEti;          // [0] above the list
    QVector<QPushButton*> cmdAction;  // [0] "OK", [1] "Annuler"

private:
    void cmdAction_Click(int Index);
    bool deletesClass() const;
    void RefreshAfterDelete();

    commands::MainSurface* m_main = nullptr;
    db::Database m_database;
};
