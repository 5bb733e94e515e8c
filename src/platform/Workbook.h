#pragma once
#include <QString>
#include <QStringList>
#include <QVector>
#include <stdexcept>

// Spreadsheet workbooks in the .xlsx format.
namespace platform {

// A workbook could not be written; nothing replaced the target.
class WorkbookError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
// The writer itself could not start: nothing was attempted.
class WorkbookUnavailable : public WorkbookError {
public:
    using WorkbookError::WorkbookError;
};

// Whether a spreadsheet takes `name` as a sheet's name: 1 to 31 characters, none of
// [ ] : * ? / \ and no apostrophe at either end.
bool isValidSheetName(const QString& name);

// Cells first to last (0-based, both included) of row `row` that one heading spans.
struct Span {
    int row = 0;
    int first = 0;
    int last = 0;
};

// Writes a workbook of one sheet named `sheetName` at `path`: rows[r][c] goes to the
// sheet's row r + 1, column c + 1. A text that reads as a French number ("12,5", "15") is
// written as that number, shown with as many decimals as the text has, as a spreadsheet
// takes what is typed in; any other text as text; "" leaves the cell empty. Each column
// is made as wide as its longest text, up to a limit.
// The cells of each of `spans` are merged into one, which shows the text of the first
// centred, as text; that text does not widen each column it spans, the columns share it.
//
// The workbook is written into a temporary file of the target's folder, read back whole,
// and only then takes the target's place: a failed write leaves any earlier file as it was.
// A read-only target is refused. Throws WorkbookError (an invalid sheet name included).
void writeWorkbook(const QString& path, const QString& sheetName, const QVector<QStringList>& rows,
                   const QList<Span>& spans = {});

}  // namespace platform
