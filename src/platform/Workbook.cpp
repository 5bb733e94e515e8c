#include "Workbook.h"

#include "Numbers.h"
#include "Paths.h"
#include "ReplacingFile.h"

#include <QFile>
#include <QHash>
#include <QXmlStreamReader>

#include <algorithm>
#include <memory>
#include <numeric>
#include <xlsxwriter.h>
#include <zlib.h>

namespace platform {
namespace {

[[noreturn]] void fail(const char* what, lxw_error error) {
    throw WorkbookError(std::string(what) + ": " + lxw_strerror(error));
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

// The number of `size` bytes at `at`, least significant first, as the zip format stores it.
quint32 le(const QByteArray& bytes, qsizetype at, int size) {
    quint32 value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | quint8(bytes.at(at + i));
    return value;
}

// One part of the workbook as it was stored: inflated to its recorded size and checksum.
bool storedPart(const QByteArray& book, quint32 method, qsizetype data, quint32 packed, quint32 size,
                quint32 checksum, QByteArray& part) {
    if (data + qsizetype(packed) > book.size()) return false;
    if (method == 0) {
        part = book.mid(data, packed);
    } else if (method == Z_DEFLATED) {
        part.resize(size);
        z_stream stream{};
        if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return false;
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(book.constData() + data));
        stream.avail_in = packed;
        stream.next_out = reinterpret_cast<Bytef*>(part.data());
        stream.avail_out = size;
        const int result = inflate(&stream, Z_FINISH);
        const uLong inflated = stream.total_out;
        inflateEnd(&stream);
        if (result != Z_STREAM_END || inflated != size) return false;
    } else {
        return false;
    }
    return quint32(part.size()) == size &&
           crc32(0, reinterpret_cast<const Bytef*>(part.constData()), uInt(part.size())) == checksum;
}

// Whether the finished workbook at `path` reads back whole: every part listed, stored to its
// checksum, and each a complete XML document. The library writes its parts without checking
// those writes; a part cut by a full disk is stored as cut, under a checksum of what is left,
// and only its unfinished XML shows it.
bool wholeWorkbook(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray book = file.readAll();
    constexpr qsizetype kEnd = 22;  // the end record, without a comment
    qsizetype end = book.size() - kEnd;
    while (end >= 0 && le(book, end, 4) != 0x06054b50) --end;
    if (end < 0) return false;
    const int parts = int(le(book, end + 10, 2));
    qsizetype entry = le(book, end + 16, 4);
    for (int i = 0; i < parts; ++i) {
        if (entry + 46 > end || le(book, entry, 4) != 0x02014b50) return false;
        const quint32 method = le(book, entry + 10, 2), checksum = le(book, entry + 16, 4),
                      packed = le(book, entry + 20, 4), size = le(book, entry + 24, 4);
        const qsizetype nameLength = le(book, entry + 28, 2), local = le(book, entry + 42, 4);
        const qsizetype next = entry + 46 + nameLength + le(book, entry + 30, 2) + le(book, entry + 32, 2);
        if (local + 30 > book.size() || le(book, local, 4) != 0x04034b50) return false;
        QByteArray part;
        if (!storedPart(book, method, local + 30 + le(book, local + 26, 2) + le(book, local + 28, 2), packed, size,
                        checksum, part))
            return false;
        QXmlStreamReader xml(part);
        while (!xml.atEnd()) xml.readNext();
        if (xml.hasError()) return false;
        entry = next;
    }
    return parts > 0;
}

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
    ReplacingFile written(path);
    if (!written.isValid()) throw WorkbookError("the target cannot be replaced");

    // The library's own temporary parts go to a folder of the user's alone, made for this
    // workbook, which goes with it: neither beside the workbook, where a kill would leave them
    // in the teacher's folder, nor in the shared temporary folder.
    const TrackedTemporary parts(paths::privateFolder(), QString(), TrackedTemporary::PrivateFolder,
                                 TrackedTemporary::Contents::LibraryParts);
    if (!parts.isValid()) throw WorkbookUnavailable("no folder for the writer's parts");
    QByteArray folder = QFile::encodeName(parts.path());
    lxw_workbook_options options{};
    options.tmpdir = folder.data();
    std::unique_ptr<lxw_workbook, BookDeleter> book(
        workbook_new_opt(QFile::encodeName(written.fileName()).constData(), &options));
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
    if (!wholeWorkbook(written.fileName())) throw WorkbookError("the workbook was not written whole");
    if (!written.commit()) throw WorkbookError("cannot replace the target");
}

}  // namespace platform
