#pragma once
#include <QChar>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

// The print file between the layouts and the drawing: one section per page ("1", "2", ...)
// whose keys "0", "1", ... hold the page's records in drawing order, then the page index,
// section "0", with one line per page giving the key of that page's last record.
//
// A text record is kind & text & "/$" & X & "\$" & Y; a line record "L" & X1 & "/" & Y1 &
// "-" & X2 & "\" & Y2; positions are whole twips from the paper's top-left corner. Since
// positions are digits only, a text record is read from its end, so any text comes back
// as written, separators included.
namespace printfile {

inline constexpr QChar Title = u'T';    // the grid's title, bold, heading colour
inline constexpr QChar Heading = u'N';  // column titles and row labels
inline constexpr QChar Data = u'o';     // data cells, in the two data colours by turns
inline constexpr QChar Result = u'O';   // averages; the next data cell takes the first colour
inline constexpr QChar Line = u'L';     // grid lines

struct Record {
    QChar kind;
    QString text;
    int x = 0, y = 0;    // top-left corner of the text, or start of the line
    int x2 = 0, y2 = 0;  // end of the line
};

// Line breaks in the text become blanks: a record is one line of the file.
QString textRecord(QChar kind, const QString& text, int x, int y);
QString lineRecord(int x1, int y1, int x2, int y2);
// Nothing for a record that is not one of the five kinds or does not parse.
std::optional<Record> parse(const QString& record);

// The records of every page, kept until the file is written at once.
class Writer {
public:
    // Appends a record to page `page` (from 1); the file has as many pages as the highest
    // page written to.
    void add(int page, const QString& record);
    // Makes sure the file has page `page`, even when nothing is written on it.
    void open(int page);
    int pageCount() const { return int(m_pages.size()); }
    // False when the file could not be written.
    bool save(const QString& path) const;

private:
    QVector<QStringList> m_pages;
};

// A print file read once; pages are looked up as the index gives them.
class Reader {
public:
    static Reader load(const QString& path);
    // The records of the page that the p-th line of the index (by position) describes,
    // in drawing order; empty when the index has no such line.
    QStringList page(int p) const;

private:
    QStringList m_index;
    QHash<QString, QStringList> m_sections;  // first section of each name
};

}  // namespace printfile
