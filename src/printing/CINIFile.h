#pragma once
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>

// One settings file and one current section of it. Nothing is cached: every write goes to
// the file at once and every read asks the file again. Enumerations fill their output only
// when they find something, and return how many entries they found.
class CINIFile {
public:
    // The value of the key, else `defaultValue`. `notFound` is set only when nothing was
    // read: the key is empty, or missing with an empty default.
    QString getValue(const QString& key, const QString& defaultValue, bool& notFound) const;
    // Creates the section, empty, and makes it current when asked.
    void AddSection(const QString& name, bool makeCurrent);
    int enumSectionKeys(QStringList& keys) const;
    int enumSectionValues(QStringList& values) const;
    int enumSections(QStringList& names) const;
    // The current section becomes empty when it is the one deleted.
    void deleteSection(const QString& name);
    void deleteKey(const QString& key);
    int enumSectionValuePairs(QList<QPair<QString, QString>>& pairs) const;
    // The lines of the current section (key=value), in file order.
    int enumSectionKeysAndValues(QStringList& lines) const;
    // Every write is already on disk.
    void flush() {}

    // "" for a missing file, section or key.
    QString Value(const QString& key) const;
    // Creates file, section and key as needed. Numbers are written with a decimal comma.
    // False when the file could not be written.
    bool setValue(const QString& key, const QVariant& value);

    QString File() const { return m_file; }
    // Also empties the current section.
    void setFile(const QString& path);
    QString Section() const { return m_section; }
    void setSection(const QString& name) { m_section = name; }

    // Replaces the whole content of the current section with these lines.
    void writeSection(const QStringList& lines);

private:
    QString m_file;
    QString m_section;
};
