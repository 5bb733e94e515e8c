#include "CINIFile.h"

#include "platform/ProfileText.h"

namespace profile = platform::profile;

namespace {

// Entries of a section line: a line without "=" still counts, with nothing in its slot.
QString keyOf(const QString& line) { return line.contains(u'=') ? line.left(line.indexOf(u'=')).trimmed() : QString(); }
QString valueOf(const QString& line) { return line.contains(u'=') ? line.mid(line.indexOf(u'=') + 1).trimmed() : QString(); }

int fill(QStringList& out, const QStringList& found) {
    if (!found.isEmpty()) out = found;
    return int(found.size());
}

QString asText(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return QString::number(value.toDouble(), 'g', 15).replace(u'.', u',');
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    default:
        return value.toString();
    }
}

}  // namespace

QString CINIFile::getValue(const QString& key, const QString& defaultValue, bool& notFound) const {
    // A missing key reads as the default itself, so only an empty result is "not found":
    // an empty value, or a missing key with an empty default.
    const QString v = profile::read(m_file, m_section, key).value_or(defaultValue);
    notFound = v.isEmpty();
    return notFound ? defaultValue : v;
}

void CINIFile::AddSection(const QString& name, bool makeCurrent) {
    profile::write(m_file, name, QStringLiteral("Dummy"), QStringLiteral("Val"));
    profile::write(m_file, name, QStringLiteral("Dummy"), std::nullopt);
    if (makeCurrent) m_section = name;
}

int CINIFile::enumSectionKeys(QStringList& keys) const {
    QStringList found;
    for (const QString& line : profile::section(m_file, m_section)) found << keyOf(line);
    return fill(keys, found);
}

int CINIFile::enumSectionValues(QStringList& values) const {
    QStringList found;
    for (const QString& line : profile::section(m_file, m_section)) found << valueOf(line);
    return fill(values, found);
}

int CINIFile::enumSections(QStringList& names) const { return fill(names, profile::sectionNames(m_file)); }

void CINIFile::deleteSection(const QString& name) {
    profile::write(m_file, name, std::nullopt, std::nullopt);
    if (name == m_section) m_section.clear();
}

void CINIFile::deleteKey(const QString& key) { profile::write(m_file, m_section, key, std::nullopt); }

int CINIFile::enumSectionValuePairs(QList<QPair<QString, QString>>& pairs) const {
    QList<QPair<QString, QString>> found;
    for (const QString& line : profile::section(m_file, m_section)) found.append({keyOf(line), valueOf(line)});
    if (!found.isEmpty()) pairs = found;
    return int(found.size());
}

int CINIFile::enumSectionKeysAndValues(QStringList& lines) const {
    return fill(lines, profile::section(m_file, m_section));
}

QString CINIFile::Value(const QString& key) const { return profile::read(m_file, m_section, key).value_or(QString()); }

bool CINIFile::setValue(const QString& key, const QVariant& value) {
    return profile::write(m_file, m_section, key, asText(value));
}

void CINIFile::setFile(const QString& path) {
    m_file = path;
    m_section.clear();
}

void CINIFile::writeSection(const QStringList& lines) { profile::writeSection(m_file, m_section, lines); }
