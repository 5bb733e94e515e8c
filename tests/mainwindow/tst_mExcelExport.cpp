// The export of a grid to a workbook: every cell read back from the file as a spreadsheet
// reader sees it, the sheet's name, and what cancelling or a failure leaves behind.
#include "mainwindow/mExcelExport.h"
#include "gradebook/GradebookSchema.h"
#include "gradebook/mUtilities.h"
#include "platform/FlexGrid.h"
#include "platform/Numbers.h"
#include "Answers.h"
#include "DbTestSupport.h"
#include "FileSizeLimit.h"
#include "UiHelpers.h"
#include "WorkbookReader.h"

#include <QFileDialog>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using platform::ModalTestScope;
using testsupport::msgBox;
using testsupport::readWorkbook;

namespace {

const QString kQuestion = u"Le tableau actuellement affiché va être converti en un fichier Excel.\nContinuer ?"_s;
const QString kFailed = u"L'exportation au format Excel a échoué."_s;
QString notice(const QString& path) { return u"Exportation au format Excel réussie, sous le fichier:\n"_s + path; }

// Queues a whole export that types `typed` as the name of an existing file and replaces
// it, ending on the box that tells `outcome`.
void queueExport(ModalTestScope& scope, const QString& typed, const QString& outcome) {
    scope.push(msgBox(kQuestion, u"OK"_s));
    scope.push([typed](QWidget& w) {
        QCOMPARE(static_cast<QFileDialog&>(w).nameFilters(), QStringList{u"Classeur Excel (*.xlsx)"_s});
        testsupport::fileName(typed)(w);
    });
    scope.push([](QWidget& w) { testsupport::clickButton(w, u"Oui"_s); });  // replace it
    scope.push(msgBox(outcome, u"OK"_s));
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
        const QStringList fixed{{}, u"Contrôle 1"_s, u"Moyenne 1"_s, u"Moyenne générale"_s,
                                u"Note/"_s, u"20"_s, {}, {}, u"Coefficient"_s, u"2"_s};
        for (int i = 0; i < fixed.size(); ++i) grid.setTextMatrix(i / 4, i % 4, fixed.at(i));
        for (int r = 4; r < 34; ++r) {
            grid.setTextMatrix(r, 0, u"Élève%1 Zoé"_s.arg(r));
            if (r % 5) grid.setTextMatrix(r, 1, platform::numbers::formatGrade(8 + r * 0.25));
            grid.setTextMatrix(r, 2, platform::numbers::formatAverage(10 + r / 7.0, 2));
            grid.setTextMatrix(r, 3, platform::numbers::formatAverage(10 + r / 7.0, 1));
        }
        grid.setTextMatrix(4, 0, u"BOULANGER-DUMOULIN "_s.repeated(5));
        grid.setTextMatrix(35, 0, u" Moyenne"_s);
        grid.setTextMatrix(35, 2, u"14,50"_s);

        ModalTestScope scope;
        QVERIFY(QFile(path("6A.xlsx")).open(QIODevice::WriteOnly));
        queueExport(scope, path("6A"), notice(path("6A.xlsx")));  // extension added
        mExcelExport::ExportToExcel(grid, u"6A - Mathématiques"_s, nullptr);

        const QJsonObject book = readWorkbook(path("6A.xlsx"));
        QCOMPARE(book.value(u"sheets"_s).toArray(), QJsonArray{u"6A - Mathématiques"_s});
        const QJsonObject cells = book.value(u"cells"_s).toObject();
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
                    const QString format = comma < 0 ? QString() : u"0."_s + QString(text.size() - comma - 1, u'0');
                    QCOMPARE(cell.toArray(), (QJsonArray{*number, format}));
                } else {
                    QCOMPARE(cell.toString(), text);
                }
            }
        QCOMPARE(cells.size(), written);
        QCOMPARE(testsupport::unfittedColumns(book), QStringList());
    }

    void cancellingOrFailingWritesNothing() {
        const mExcelExport::Cells cells{{u"Nom"_s, u"12,5"_s}};
        const QString file = path("refus.xlsx");
        ModalTestScope scope;
        // "Annuler", the question closed without an answer, the save dialog cancelled.
        scope.push(msgBox(kQuestion, u"Annuler"_s));
        scope.push([](QWidget& w) { w.close(); });
        scope.push(msgBox(kQuestion, u"OK"_s));
        scope.push([](QWidget& w) { w.close(); });
        for (int i = 0; i < 3; ++i) mExcelExport::ExportToExcel(cells, u"6A"_s, nullptr);
        QCOMPARE(scope.pending(), 0);
        QVERIFY(!QFile::exists(file));

        // A heading that cannot name a sheet gives "Feuil1"; the existing file is replaced.
        QVERIFY(QFile(file).open(QIODevice::WriteOnly));
        for (const QString& heading : {u"6A - Physique/Chimie"_s, QString(32, u'x')}) {
            queueExport(scope, file, notice(file));
            mExcelExport::ExportToExcel(cells, heading, nullptr);
            QCOMPARE(readWorkbook(file).value(u"sheets"_s).toArray(), QJsonArray{u"Feuil1"_s});
        }

        // A write that fails half-way says so and leaves the earlier workbook whole.
        const QByteArray before = testsupport::fileBytes(file);
        mExcelExport::Cells large;
        for (int r = 0; r < 2000; ++r) large << QStringList{u"Élève %1"_s.arg(r), QString::number(r)};
        queueExport(scope, file, kFailed);
        {
            testsupport::FileSizeLimit full(before.size() + 1000);
            mExcelExport::ExportToExcel(large, u"6A"_s, nullptr);
        }
        QCOMPARE(testsupport::fileBytes(file), before);
        QCOMPARE(QDir(m_dir.path()).entryList({u".*"_s}, QDir::Files | QDir::Hidden), QStringList());

        // The open gradebook is never replaced by a workbook.
        const QString gradebookFile = path("carnet.dat");
        mUtilities::CreateGradebookFile(gradebookFile);
        mUtilities::gDB = db::Database::OpenDatabase(gradebookFile, gradebook::databasePassword());
        const QByteArray gradebookBytes = testsupport::fileBytes(gradebookFile);
        queueExport(scope, gradebookFile, kFailed);
        mExcelExport::ExportToExcel(cells, u"6A"_s, nullptr);
        QCOMPARE(testsupport::fileBytes(gradebookFile), gradebookBytes);
        QCOMPARE(scope.pending(), 0);
    }
};

QTEST_MAIN(tst_mExcelExport)
#include "tst_mExcelExport.moc"
