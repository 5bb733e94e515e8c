#include "frmExportPreview.h"

#include "platform/FormInstance.h"
#include "platform/Numbers.h"
#include "platform/Twips.h"

#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QTableWidget>

using platform::layoutX;
using platform::layoutY;
using platform::twipsRect;

namespace {

// Students start at row 4, under the series' name, maximum mark, coefficient and a band.
constexpr int kFirstStudentRow = 4;

QTableWidgetItem* cell(const QString& text, Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter) {
    auto* item = new QTableWidgetItem(text);  // texts from the file: never markup in a table item
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setTextAlignment(alignment);
    return item;
}

}  // namespace

frmExportPreview::frmExportPreview() : QDialog(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("frmExportPreview"));
    setFixedSize(twipsRect(0, 0, 8055, 6300).size());
    lblPrincipal = new QLabel(this);
    lblPrincipal->setTextFormat(Qt::PlainText);
    lblPrincipal->setAlignment(Qt::AlignCenter);
    QFont bold = lblPrincipal->font();
    bold.setBold(true);
    lblPrincipal->setFont(bold);
    lblPrincipal->setGeometry(twipsRect(0, 0, 8055, 255));
    flxNotes = new QTableWidget(this);
    flxNotes->setObjectName(QStringLiteral("flxNotes"));
    flxNotes->setGeometry(twipsRect(0, 360, 8055, 5415));
    flxNotes->setEditTriggers(QAbstractItemView::NoEditTriggers);
    flxNotes->horizontalHeader()->hide();
    flxNotes->verticalHeader()->hide();
    flxNotes->verticalHeader()->setDefaultSectionSize(flxNotes->fontMetrics().height() + 6);
    cmdClose = new QPushButton(QStringLiteral("Fermer"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setGeometry(twipsRect(3300, 5880, 1455, 375));
    cmdClose->setDefault(true);
    connect(cmdClose, &QPushButton::clicked, this, [this] { platform::Form<frmExportPreview>::unload(*this); });
}

void frmExportPreview::fill(const exchangefile::Contents& c, const QString& fileName) {
    setWindowTitle(QStringLiteral("Visionneuse de ") + fileName);
    lblPrincipal->setText(c.className + QStringLiteral(" - ") + c.subjectName);
    flxNotes->clear();
    flxNotes->setRowCount(0);
    flxNotes->setColumnCount(0);
    flxNotes->setVisible(!c.students.isEmpty());
    if (c.students.isEmpty()) return;

    flxNotes->setColumnCount(1 + int(c.series.size()));
    flxNotes->setRowCount(kFirstStudentRow + int(c.students.size()));
    flxNotes->setColumnWidth(0, layoutX(1800));
    flxNotes->setRowHeight(0, layoutY(500));
    flxNotes->setItem(1, 0, cell(QStringLiteral("Note/"), Qt::AlignRight | Qt::AlignVCenter));
    flxNotes->setItem(2, 0, cell(QStringLiteral("Coefficient"), Qt::AlignRight | Qt::AlignVCenter));
    QHash<qint32, int> rowOf;
    for (int i = 0; i < c.students.size(); ++i) {
        flxNotes->setItem(kFirstStudentRow + i, 0, cell(c.students[i].name()));
        rowOf.insert(c.students[i].numElv, kFirstStudentRow + i);
    }
    // Names and headings come from another gradebook, whose widths the file does not carry:
    // a column is widened as far as its longest text needs.
    const auto fitColumns = qScopeGuard([this] {
        for (int j = 0; j < flxNotes->columnCount(); ++j) {
            const int designed = flxNotes->columnWidth(j);
            flxNotes->resizeColumnToContents(j);
            flxNotes->setColumnWidth(j, std::max(designed, flxNotes->columnWidth(j)));
        }
    });
    if (c.series.isEmpty()) return;

    QHash<qint32, int> columnOf;
    for (int j = 0; j < c.series.size(); ++j) {
        const exchangefile::Series& s = c.series[j];
        flxNotes->setColumnWidth(j + 1, layoutX(600));
        flxNotes->setItem(0, j + 1, cell(s.nom, Qt::AlignCenter));
        flxNotes->setItem(1, j + 1, cell(QString::number(s.sur)));
        flxNotes->setItem(2, j + 1, cell(QString::number(s.coefficient)));
        columnOf.insert(s.numSerie, j + 1);
    }
    for (const exchangefile::Grade& g : c.grades) {
        const int row = rowOf.value(g.numElv, -1), column = columnOf.value(g.numSerie, -1);
        if (row >= 0 && column >= 0) flxNotes->setItem(row, column, cell(platform::numbers::formatGrade(g.note)));
    }
    // The header rows and the name column stay in view, with a band under the headers.
    const QBrush band = palette().button();
    for (int j = 0; j < flxNotes->columnCount(); ++j) {
        if (!flxNotes->item(3, j)) flxNotes->setItem(3, j, cell(QString()));
        flxNotes->item(3, j)->setBackground(band);
        if (flxNotes->item(0, j)) flxNotes->item(0, j)->setBackground(band);
    }
    for (int i = 0; i < flxNotes->rowCount(); ++i)
        if (flxNotes->item(i, 0)) flxNotes->item(i, 0)->setBackground(band);
    flxNotes->setCurrentCell(kFirstStudentRow, 1);
}
