#include "Workbook.h"

#include "Numbers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryFile>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <numeric>
#include <sys/stat.h>
#include <xlsxwriter.h>

namespace platform {
namespace {

[[noreturn]] void fail(const char* what, lxw_error error) {
    throw WorkbookError(std::string(what) + ": " + lxw_strerror(error));
}

// What a file created by the user's programs would get: a temporary file is made private.
void giveUsualPermissions(const QString& path) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::chmod(QFile::encodeName(path).constData(), 0666 & ~mask);
}

struct BookDeleter {
    void operator()(lxw_workbook* book) const { lxw_workbook_free(book); }
};

// The number formats of the decimals met so far, one per count of decimals.
class DecimalFormats {
public:
    explicit DecimalFormats(lxw_workbook* book) : m_book(book) {}
    lxw_format* operator()(int decimals) {
        if (decimals <= 0) return nullptr;
        lxw_format*& format = m_formats[decimals];
        if (!format) {
            format = workbook_add_format(m_book);
            format_set_num_format(format, ("0." + std::string(size_t(decimals), '0')).c_str());
        }
        return format;
    }

private:
    lxw_workbook* m_book;
    QHash<int, lxw_format*> m_formats;
};

void writeCell(lxw_worksheet* sheet, DecimalFormats& formats, int row, int col, const QString& text) {
    if (text.isEmpty()) return;
    lxw_error error;
    if (const std::optional<double> number = numbers::parse(text)) {
        const QString t = text.trimmed();
        qsizetype separator = t.indexOf(u',');
        if (separator < 0) separator = t.indexOf(u'.');
        const int decimals = separator < 0 ? 0 : int(t.size() - separator - 1);
        error = worksheet_write_number(sheet, lxw_row_t(row), lxw_col_t(col), *number, formats(decimals));
    } else {
        error = worksheet_write_string(sheet, lxw_row_t(row), lxw_col_t(col), text.toUtf8().constData(), nullptr);
    }
    if (error != LXW_NO_ERROR) fail("cell", error);
}

// A spreadsheet's column width counts the default font's digits, and capitals are wider:
// a fifth more than the text's characters and one for the cell's margins, so that names
// show whole. A column stops at 80, so that one long text cannot push the rest out of sight.
double columnWidth(qsizetype characters) { return qMin(80.0, double(characters) * 1.2 + 1); }

}  // namespace

bool isValidSheetName(const QString& name) {
    static const QString forbidden = QStringLiteral("[]:*?/\\");
    if (name.isEmpty() || name.size() > 31 || name.startsWith(u'\'') || name.endsWith(u'\'')) return false;
    for (QChar c : name)
        if (forbidden.contains(c)) return false;
    return true;
}

void writeWorkbook(const QString& path, const QString& sheetName, const QVector<QStringList>& rows,
                   const QList<Span>& spans) {
    if (!isValidSheetName(sheetName)) throw WorkbookError("invalid sheet name");
    const QFileInfo target(path);
    if (target.exists() && (!target.isFile() || !target.isWritable()))
        throw WorkbookError("the target cannot be replaced");

    QTemporaryFile temporary(target.absoluteDir().filePath(QStringLiteral(".%1.XXXXXX").arg(target.fileName())));
    if (!temporary.open()) throw WorkbookError("cannot create a file in the target's folder");
    temporary.close();
    giveUsualPermissions(temporary.fileName());
    const QByteArray temporaryName = QFile::encodeName(temporary.fileName());

    std::unique_ptr<lxw_workbook, BookDeleter> book(workbook_new(temporaryName.constData()));
    if (!book) throw WorkbookUnavailable("the workbook writer cannot start");
    lxw_worksheet* sheet = workbook_add_worksheet(book.get(), sheetName.toUtf8().constData());
    if (!sheet) throw WorkbookError("cannot add the sheet");
    DecimalFormats formats(book.get());
    const auto spanned = [&spans](int r, int c) {
        return std::any_of(spans.begin(), spans.end(),
                           [=](const Span& s) { return s.row == r && s.first <= c && c <= s.last; });
    };
    QVector<qsizetype> longest;  // characters of each column's longest text but the spanning ones
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows.at(r).size(); ++c) {
            if (longest.size() <= c) longest.resize(c + 1);
            if (spanned(r, c)) continue;
            writeCell(sheet, formats, r, c, rows.at(r).at(c));
            longest[c] = qMax(longest.at(c), rows.at(r).at(c).size());
        }
    QVector<double> widths(longest.size(), LXW_DEF_COL_WIDTH);
    for (int c = 0; c < longest.size(); ++c)
        if (longest.at(c) > 0) widths[c] = columnWidth(longest.at(c));
    lxw_format* centred = workbook_add_format(book.get());
    format_set_align(centred, LXW_ALIGN_CENTER);
    for (const Span& s : spans) {
        if (s.row < 0 || s.first < 0 || s.last < s.first || s.last >= widths.size()) throw WorkbookError("invalid span");
        const QString text = rows.value(s.row).value(s.first);
        if (const lxw_error error = worksheet_merge_range(sheet, lxw_row_t(s.row), lxw_col_t(s.first), lxw_row_t(s.row),
                                                          lxw_col_t(s.last), text.toUtf8().constData(), centred);
            error != LXW_NO_ERROR)
            fail("span", error);
        // The columns share what the heading lacks.
        const double has = std::accumulate(widths.begin() + s.first, widths.begin() + s.last + 1, 0.0);
        const double lack = columnWidth(text.size()) - has;
        for (int c = s.first; lack > 0 && c <= s.last; ++c) widths[c] += lack / (s.last - s.first + 1);
    }
    for (int c = 0; c < widths.size(); ++c)
        if (const lxw_error error = worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), widths.at(c), nullptr);
            error != LXW_NO_ERROR)
            fail("column", error);

    const lxw_error error = workbook_close(book.release());  // frees the workbook in every case
    if (error != LXW_NO_ERROR) fail("write", error);
    if (std::rename(temporaryName.constData(), QFile::encodeName(target.absoluteFilePath()).constData()) != 0)
        throw WorkbookError("cannot replace the target");
    temporary.setAutoRemove(false);
}

}  // namespace platform
