#pragma once
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

// Settings files in the INI text form: "[section]" lines, each followed by "key=value" lines.
// Section and key names match without regard to case or surrounding blanks, and the first
// match wins; a written key replaces its line in place, a new key goes after the last line
// of its section, a new section at the end of the file; every line the layer does not
// understand is kept as it stands. There is no limit on the length of a value or a section.
//
// Files are read as UTF-8, or as Windows-1252 when they are not valid UTF-8 (a file written
// by hand on another system), and written as UTF-8, replacing the old file only once the new
// one is complete.
namespace platform {

class ProfileText {
public:
    // The file's text; a missing, unreadable or oversized file reads as an empty one.
    static ProfileText load(const QString& path);
    static ProfileText fromText(const QString& text);
    // Writes the whole text, creating the folder if need be; false when it could not.
    bool save(const QString& path) const;
    QString text() const;

    // The value of the key (blanks around it removed), or nothing when the section or the
    // key is missing.
    std::optional<QString> value(const QString& section, const QString& key) const;
    // Writes the value; no value deletes the key, no key deletes the section with its keys.
    // Line breaks in names and values become blanks, since they would cut the line.
    void write(const QString& section, const std::optional<QString>& key, const std::optional<QString>& value);

    // The non-blank lines of the section, blanks around them removed, in file order.
    QStringList sectionLines(const QString& section) const;
    QStringList sectionNames() const;
    // Replaces the lines of the section (created at the end when missing).
    void replaceSection(const QString& section, const QStringList& lines);

    // Every section with its lines, as sectionLines gives them, in file order: for readers
    // that go through the whole file.
    struct Section {
        QString name;
        QStringList lines;
    };
    QVector<Section> sections() const;

    // Appends a section without looking for one of that name: for writers that build a
    // new file in order.
    void appendSection(const QString& section, const QStringList& lines);

private:
    struct Span {
        int header = -1;  // line of "[name]"
        int end = -1;     // one past its last line
    };
    std::optional<Span> find(const QString& section) const;
    std::optional<int> findKey(const Span& span, const QString& key) const;

    QStringList m_lines;
};

// The five operations of the settings-file functions, each on the file itself.
namespace profile {

std::optional<QString> read(const QString& path, const QString& section, const QString& key);
// No key deletes the section, no value deletes the key; false when the file could not be
// written.
bool write(const QString& path, const QString& section, const std::optional<QString>& key,
           const std::optional<QString>& value);
QStringList section(const QString& path, const QString& section);
QStringList sectionNames(const QString& path);
bool writeSection(const QString& path, const QString& section, const QStringList& lines);

}  // namespace profile

}  // namespace platform
