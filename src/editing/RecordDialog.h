#pragma once
// What the class and subject dialogs share: a chooser of the record to change (the frame
// fraMat[0], whose visibility is the dialog's mode: shown to change, hidden to create),
// a name box, "OK" and "Annuler" / "Terminer", and the way they are shown.
#include "EditingMessages.h"
#include "platform/FormInstance.h"
#include "platform/Modal.h"
#include "platform/db/Database.h"

#include <QDialog>
#include <QList>
#include <QVector>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;
namespace commands {
class MainSurface;
}

namespace editing {

class RecordDialog : public QDialog {
public:
    QVector<QFrame*> fraMat;  // [0] the chooser
    QLineEdit* txtNom;
    QVector<QLabel*> lblEti;
    QVector<QPushButton*> cmdAction;  // [0] OK, [1] Annuler / Terminer

    // 0 is OK; any other button closes the dialog without writing.
    void cmdAction_Click(int Index);

protected:
    RecordDialog(const QString& objectName);

    // Lays out the chooser's frame, then `body`, the buttons last.
    void arrange(QVBoxLayout* body);
    bool creating() const;
    // Whether the gradebook has room for one record more; if not, after showing the lines of
    // `refusals` under `heading`, or after saying that the gradebook cannot be read.
    bool hasRoom(QStringList (*refusals)(const db::Database&), const QString& heading);

    // Shows the window's instance in create mode over `over` until the user closes it;
    // the keys of the records created.
    template <class Dialog>
    static QList<qint32> showCreate(const db::Database& database, commands::MainSurface& main, QWidget* over) {
        Dialog& dialog = platform::Form<Dialog>::get();
        dialog.prepare(database, main);
        dialog.setCreateMode();
        dialog.fitSize();
        platform::showModal(dialog, over);
        const QList<qint32> created = dialog.m_created;
        platform::Form<Dialog>::unload();
        return created;
    }
    // Shows the window's instance over the main window to change one record, when
    // `populate` finds one to choose; says so when the gradebook cannot be read.
    template <class Dialog>
    static void showChange(const db::Database& database, commands::MainSurface& main, const QString& title,
                           bool (Dialog::*populate)()) {
        Dialog& dialog = platform::Form<Dialog>::get();
        dialog.prepare(database, main);
        bool found = false;
        try {
            found = (dialog.*populate)();
        } catch (const db::DbError&) {
            readFailed(mainOwner(main));
        }
        if (found) {
            dialog.setWindowTitle(title);
            dialog.fitSize();
            platform::showModal(dialog, mainOwner(main));
        }
        platform::Form<Dialog>::unload();
    }

    virtual void ok() = 0;

    db::Database m_db;
    commands::MainSurface* m_main = nullptr;
    QList<qint32> m_created;

private:
    static QWidget* mainOwner(commands::MainSurface& main);
    void prepare(const db::Database& database, commands::MainSurface& main);
    void fitSize();
};

}  // namespace editing
