#pragma once
#include "platform/db/Database.h"

#include <QDateTime>
#include <QDialog>
#include <QList>
#include <QVector>

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

// What the export wizard reads of the gradebook and the texts it builds from it.
namespace exportwizard {

struct Subject {
    qint32 numMat;
    QString name;
};
// The subjects in table order.
QList<Subject> readSubjects(const db::Database& database);

struct Series {
    qint32 numSerie;
    QString name;
    QDateTime date;
    int period;
};
// The series of the class in the subject, by period, then date.
QList<Series> readSeries(const db::Database& database, qint32 numClass, qint32 numMat);

// "<name, shortened> du <short date> (Période <p>)".
QString seriesLine(const Series& series);
// The periods that have series, in ascending order (series come by period).
QList<int> periodsOf(const QList<Series>& series);
// A file's size as the result page shows it: whole kilo-octets, "12 Ko".
QString sizeText(qint64 bytes);

}  // namespace exportwizard

// The wizard "Exporter des notes": an introduction, the class and the subject, the series
// (one by one, or whole periods), and the result, where a comment for the recipient may be
// typed. The visible page is the wizard's state. It only reads the gradebook; the file it
// writes is the exchange file (exchangefile::write).
//
// The opener calls PopulateClassMat and shows the wizard modal when it returns true; the
// wizard unloads itself when it is done or cancelled.
class frmExport : public QDialog {
    Q_OBJECT
public:
    frmExport();

    // Fills the class list from the tab bar's sections and the subject list from the
    // gradebook, preselecting the class and subject on screen. False, after the message
    // list saying why, when the gradebook has no class or no subject.
    bool PopulateClassMat(commands::MainSurface& main, const db::Database& database);

    QWidget* fraExport;           // introduction
    QVector<QWidget*> fraMat;     // [0] class and [1] subject (one page), [2] series
    QWidget* fraEnd;              // result
    QVector<QLabel*> lblEti;      // [0..10]
    QComboBox* cboClasse;
    QComboBox* cboMat;
    QVector<QRadioButton*> optSérie;  // [0] one by one, [1] whole periods
    QListWidget* lisSéries;
    QListWidget* lisPériodes;
    QLabel* lblName;
    QLabel* lblPath;
    QLabel* lblClasse;
    QLabel* lblMat;
    QLabel* lblSérie;
    QPlainTextEdit* txtComment;
    QVector<QPushButton*> cmdAction;  // [0] back, [1] next, [2] cancel

    // The file written, once the result page is shown.
    QString writtenFile() const { return m_file; }

    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void cmdAction_Click(int Index);
    void GoNext();
    void GoBack();
    void showSeriesPage();
    void checkChoice();
    void WriteExportFile();
    void finish();
    // Keeps the comment within what an exchange file may carry.
    void boundComment();
    void unloadSelf();

    db::Database m_db;
    QList<exportwizard::Series> mRsSéries;  // entry k of lisSéries is series k
    QList<int> m_periods;                   // entry k of lisPériodes is period m_periods[k]
    QString m_file;
};
