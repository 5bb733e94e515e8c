#pragma once
#include "ExchangeFile.h"
#include "ImportGrades.h"
#include "MatchingList.h"
#include "platform/db/Database.h"

#include <QDialog>
#include <QHash>
#include <QRect>
#include <QVector>
#include <functional>

class QComboBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QWidget;
namespace commands {
class MainSurface;
}

// The wizard "Importer des notes": an introduction, the received file opened and shown,
// the subject that receives its series, an explanation, the matching of its students with
// the gradebook's, a summary, and the result. The visible page is the wizard's state.
// The file is read and checked whole when it is opened; decisions are written into it as
// they are taken; the import and the file's mark "imported" are one transaction over the
// gradebook and the file.
class frmImport : public QDialog {
    Q_OBJECT
public:
    frmImport();

    // The gradebook and main window the import goes into.
    void prepare(const db::Database& gradebook, commands::MainSurface& main);

    QVector<QWidget*> fraImport;  // [0] introduction, [1] explanation, [2] summary, [3] result
    QWidget* fraContenu;
    QWidget* fraMat;
    QWidget* fraRapproch;
    QVector<QLabel*> lblEti;  // [1], [3], [10], [12], [13]
    QLabel* lblClasse;
    QLabel* lblMatière;
    QLabel* lblElèves;
    QLabel* lblSéries;
    QLabel* lblNotes;
    QPlainTextEdit* txtComment;
    QListWidget* lisElèves;
    QListWidget* lisSéries;
    QPushButton* cmdDétails;
    QComboBox* cboMat;
    QPushButton* cmdMat;
    MatchingList* lstElèves;
    QLabel* lblDone;
    QVector<QRadioButton*> optKill;
    QVector<QPushButton*> cmdAction;  // [0] back, [1] next, [2] cancel

    // The decisions taken so far, one per student of the file.
    const QList<importgrades::Decision>& decisions() const { return m_decisions; }
    // Opens the decision of the student at `row` of the matching list.
    void ResolveSelectedStudent();

    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void cmdAction_Click(int Index);
    void GoNext();
    void GoBack();
    void openFile();
    bool ShowFileContents();
    void placeContents();
    void cmdDétails_Click();
    void fillSubjects();
    void cmdMat_Click();
    void AutoMatchStudents();
    void showDecision(int row);
    void updateProgress(bool mayEnable);
    void BuildImportSummary();
    bool ImportGrades();
    void finish();
    void closeFile();
    void unloadSelf();
    void showPage(QWidget* page);
    // Runs `step` until it succeeds or the user gives up; false after "Annuler", which
    // closes the wizard.
    bool guarded(const std::function<void()>& step);

    db::Database m_db;
    commands::MainSurface* m_main = nullptr;
    db::Database mDbExport;
    QString m_path;
    exchangefile::Contents m_contents;
    QList<importgrades::GradebookStudent> mRsGBStudents;
    QList<importgrades::Decision> m_decisions;
    bool m_imported = false;  // the gradebook received an import: the main window is refreshed on closing
    QHash<QWidget*, QRect> m_contentsPlaces;  // the contents page as designed
};
