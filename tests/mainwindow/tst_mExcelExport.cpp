// The export of a grid to a workbook: every cell read back from the file as a spreadsheet
// reader sees it, the sheet's name, and what cancelling or a failure leaves behind.
#include "mainwindow/mExcelExport.h"
#include "gradebook/GradebookSchema.h"
#include "gradebook/mUtilities.h"
#include "platform/FlexGrid.h"
#include "platform/Modal.h"
#include "platform/Numbers.h"
#include "Answers.h"
#include "DbTestSupport.h"
#include "FileSizeLimit.h"
#include "UiHelpers.h"
#include "WorkbookReader.h"

#include <QFileDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using platform::ModalTestScope;
using testsupport::msgBox;
using testsupport::readWorkbook;

namespace {

const QString kQuestion = QStringLiteral("Le tableau actuellement affiché va être converti en un fichier Excel.\nContinuer ?");
const QString kFailed = QStringLiteral("L'exportation au format Excel a échoué.");
QString notice(const QString& path) { return QStringLiteral("Exportation au format Excel réussie, sous le fichier:\n") + path; }

// Queues a whole export that types `typed` as the name of an existing file and replaces
// it, ending on the box that tells `outcome`.
void queueExport(ModalTestScope& scope, const QString& typed, const QString& outcome) {
    scope.push(msgBox(kQuestion, QStringLiteral("OK")));
    scope.push([typed](QWidget& w) {
        QCOMPARE(static_cast<QFileDialog&>(w).nameFilters(), QStringList{QStringLiteral("Classeur Excel (*.xlsx)")});
        testsupport::fileName(typed)(w);
    });
    scope.push([](QWidget& w) { testsupport::clickButton(w, QStringLiteral("Oui")); });  // replace it
    scope.push(msgBox(outcome, QStringLiteral("OK")));
}

}  // namespace

class tst_mExcelExport : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString path(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }

private slots:
    void everyCellOfAClassGridIsInItsSheetCell() {
        // Laid out as the grade grid: heading, "Note/", "Coefficient", band, 30 students,
        // band, class row; some grades missing.
        platform::FlexGrid grid;
        grid.setRows(36);
        grid.setCols(4);
        const QStringList fixed{{}, QStringLiteral("Contrôle 1"), QStringLiteral("Moyenne 1"), QStringLiteral("Moyenne générale"),
                                QStringLiteral("Note/"), QStringLiteral("20"), {}, {}, QStringLiteral("Coefficient"), QStringLiteral("2")};
        for (int i = 0; i < fixed.size(); ++i) grid.setTextMatrix(i / 4, i % 4, fixed.at(i));
        for (int r = 4; r < 34; ++r) {
            grid.setTextMatrix(r, 0, QStringLiteral("Élève%1 Zoé").arg(r));
            if (r % 5) grid.setTextMatrix(r, 1, platform::numbers::formatGrade(8 + r * 0.25));
            grid.setTextMatrix(r, 2, platform::numbers::formatAverage(10 + r / 7.0, 2));
            grid.setTextMatrix(r, 3, platform::numbers::formatAverage(10 + r / 7.0, 1));
        }
        grid.setTextMatrix(4, 0, QStringLiteral("BOULANGER-DUMOULIN ").repeated(5));
        grid.setTextMatrix(35, 0, QStringLiteral(" Moyenne"));
        grid.setTextMatrix(35, 2, QStringLiteral("14,50"));

        ModalTestScope scope;
        QVERIFY(QFile(path("6A.xlsx")).open(QIODevice::WriteOnly));
        queueExport(scope, path("6A"), notice(path("6A.xlsx")));  // extension added
        mExcelExport::ExportToExcel(grid, QStringLiteral("6A - Mathématiques"), nullptr);

        const QJsonObject book = readWorkbook(path("6A.xlsx"));
        QCOMPARE(book.value(QStringLiteral("sheets")).toArray(), QJsonArray{QStringLiteral("6A - Mathématiques")});
        const QJsonObject cells = book.value(QStringLiteral("cells")).toObject();
        int written = 0;
        for (int r = 0; r < grid.Rows(); ++r)
            for (int c = 0; c < grid.Cols(); ++c) {
                const QString text = grid.TextMatrix(r, c);
                const QJsonValue cell = cells.value(QChar(u'A' + c) + QString::number(r + 1));
                written += !text.isEmpty();
                if (text.isEmpty()) {
                    QVERIFY(cell.isUndefined());
                } else if (const auto number = platform::numbers::parse(text)) {
                    // Shown with the decimals the grid showed: "14,50" keeps two.
                    const qsizetype comma = text.indexOf(u',');
                    const QString format = comma < 0 ? QString() : QStringLiteral("0.") + QString(text.size() - comma - 1, u'0');
                    QCOMPARE(cell.toArray(), (QJsonArray{*number, format}));
                } else {
                    QCOMPARE(cell.toString(), text);
                }
            }
        QCOMPARE(cells.size(), written);
        QCOMPARE(testsupport::unfittedColumns(book), QStringList());
    }

    void cancellingOrFailingWritesNothing() {
        const mExcelExport::Cells cells{{QStringLiteral("Nom"), QStringLiteral("12,5")}};
        const QString file = path("refus.xlsx");
        ModalTestScope scope;
        // "Annuler", the question closed without an answer, the save dialog cancelled.
        scope.push(msgBox(kQuestion, QStringLiteral("Annuler")));
        scope.push([](QWidget& w) { w.close(); });
        scope.push(msgBox(kQuestion, QStringLiteral("OK")));
        scope.push([](QWidget& w) { w.close(); });
        for (int i = 0; i < 3; ++i) mExcelExport::ExportToExcel(cells, QStringLiteral("6A"), nullptr);
        QCOMPARE(scope.pending(), 0);
        QVERIFY(!QFile::exists(file));

        // A heading that cannot name a sheet gives "Feuil1"; the existing file is replaced.
        QVERIFY(QFile(file).open(QIODevice::WriteOnly));
        for (const QString& heading : {QStringLiteral("6A - Physique/Chimie"), QString(32, u'x')}) {
            queueExport(scope, file, notice(file));
            mExcelExport::ExportToExcel(cells, heading, nullptr);
            QCOMPARE(readWorkbook(file).value(QStringLiteral("sheets")).toArray(), QJsonArray{QStringLiteral("Feuil1")});
        }

        // A write that fails half-way says so and leaves the earlier workbook whole.
        const QByteArray before = testsupport::fileBytes(file);
        mExcelExport::Cells large;
        for (int r = 0; r < 2000; ++r) large << QStringList{QStringLiteral("Élève %1").arg(r), QString::number(r)};
        queueExport(scope, file, kFailed);
        {
            testsupport::FileSizeLimit full(before.size() + 1000);
            mExcelExport::ExportToExcel(large, QStringLiteral("6A"), nullptr);
        }
        QCOMPARE(testsupport::fileBytes(file), before);
        QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral(".*")}, QDir::Files | QDir::Hidden), QStringList());

        // The open gradebook is never replaced by a workbook.
        const QString gradebookFile = path("carnet.dat");
        mUtilities::CreateGradebookFile(gradebookFile);
        mUtilities::gDB = db::Database::OpenDatabase(gradebookFile, gradebook::databasePassword());
        const QByteArray gradebookBytes = testsupport::fileBytes(gradebookFile);
        queueExport(scope, gradebookFile, kFailed);
        mExcelExport::ExportToExcel(cells, QStringLiteral("6A"), nullptr);
        QCOMPARE(testsupport::fileBytes(gradebookFile), gradebookBytes);
        QCOMPARE(scope.pending(), 0);
    }
};

QTEST_MAIN(tst_mExcelExport)
#include "tst_mExcelExport.moc"
