#include "ProfileText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringDecoder>

namespace platform {
namespace {

// A settings file is small; anything far larger is not one of ours and reads as empty.
constexpr qint64 kLargestFile = 64 * 1024 * 1024;

std::optional<QString> headerName(const QString& line) {
    const QString t = line.trimmed();
    if (!t.startsWith(u'[')) return std::nullopt;
    const qsizetype close = t.indexOf(u']');
    return t.mid(1, close < 0 ? -1 : close - 1).trimmed();
}

bool sameName(const QString& a, const QString& b) {
    return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

QString oneLine(QString s) {
    s.replace(QLatin1String("\r\n"), QLatin1String(" "));
    s.replace(u'\r', u' ');
    s.replace(u'\n', u' ');
    return s;
}

QString decode(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (!utf8.hasError()) {
        if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
        return text;
    }
    QStringDecoder ansi("windows-1252");
    return ansi.isValid() ? ansi(bytes) : QString::fromLatin1(bytes);
}

}  // namespace

ProfileText ProfileText::load(const QString& path) {
    QFile file(path);
    if (path.isEmpty() || file.size() > kLargestFile || !file.open(QIODevice::ReadOnly)) return {};
    return fromText(decode(file.read(kLargestFile)));
}

ProfileText ProfileText::fromText(const QString& text) {
    ProfileText p;
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    p.m_lines = text.split(lineBreak);
    // The break after the last line does not open another one.
    if (!p.m_lines.isEmpty() && p.m_lines.last().isEmpty()) p.m_lines.removeLast();
    return p;
}

QString ProfileText::text() const {
    QString t;
    for (const QString& line : m_lines) t += line + u'\n';
    return t;
}

bool ProfileText::save(const QString& path) const {
    if (path.isEmpty()) return false;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    const QByteArray bytes = text().toUtf8();
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

std::optional<ProfileText::Span> ProfileText::find(const QString& section) const {
    for (int i = 0; i < m_lines.size(); ++i) {
        const auto name = headerName(m_lines[i]);
        if (!name || !sameName(*name, section)) continue;
        Span span{i, i + 1};
        while (span.end < m_lines.size() && !headerName(m_lines[span.end])) ++span.end;
        return span;
    }
    return std::nullopt;
}

std::optional<int> ProfileText::findKey(const Span& span, const QString& key) const {
    for (int i = span.header + 1; i < span.end; ++i) {
        const qsizetype eq = m_lines[i].indexOf(u'=');
        if (eq >= 0 && sameName(m_lines[i].left(eq), key)) return i;
    }
    return std::nullopt;
}

std::optional<QString> ProfileText::value(const QString& section, const QString& key) const {
    const auto span = find(section);
    if (!span) return std::nullopt;
    const auto line = findKey(*span, key);
    if (!line) return std::nullopt;
    const QString& l = m_lines[*line];
    return l.mid(l.indexOf(u'=') + 1).trimmed();
}

void ProfileText::write(const QString& section, const std::optional<QString>& key,
                        const std::optional<QString>& value) {
    const auto span = find(section);
    if (!key) {
        if (span) m_lines.erase(m_lines.begin() + span->header, m_lines.begin() + span->end);
        return;
    }
    const QString k = oneLine(key->trimmed());
    if (!value) {
        if (span)
            if (const auto line = findKey(*span, k)) m_lines.removeAt(*line);
        return;
    }
    const QString line = k + u'=' + oneLine(*value);
    if (!span) {
        m_lines << u'[' + oneLine(section.trimmed()) + u']' << line;
        return;
    }
    if (const auto at = findKey(*span, k)) {
        m_lines[*at] = line;
        return;
    }
    int after = span->end;
    while (after > span->header + 1 && m_lines[after - 1].trimmed().isEmpty()) --after;
    m_lines.insert(after, line);
}

QStringList ProfileText::sectionLines(const QString& section) const {
    QStringList lines;
    if (const auto span = find(section))
        for (int i = span->header + 1; i < span->end; ++i)
            if (const QString t = m_lines[i].trimmed(); !t.isEmpty()) lines << t;
    return lines;
}

QStringList ProfileText::sectionNames() const {
    QStringList names;
    for (const QString& line : m_lines)
        if (const auto name = headerName(line)) names << *name;
    return names;
}

QVector<ProfileText::Section> ProfileText::sections() const {
    QVector<Section> all;
    for (const QString& line : m_lines) {
        if (const auto name = headerName(line))
            all.append({*name, {}});
        else if (const QString t = line.trimmed(); !t.isEmpty() && !all.isEmpty())
            all.last().lines << t;
    }
    return all;
}

void ProfileText::replaceSection(const QString& section, const QStringList& lines) {
    QStringList clean;
    for (const QString& l : lines) clean << oneLine(l);
    if (const auto span = find(section)) {
        m_lines.erase(m_lines.begin() + span->header + 1, m_lines.begin() + span->end);
        for (int i = 0; i < clean.size(); ++i) m_lines.insert(span->header + 1 + i, clean[i]);
    } else {
        appendSection(section, clean);
    }
}

void ProfileText::appendSection(const QString& section, const QStringList& lines) {
    m_lines << u'[' + oneLine(section.trimmed()) + u']';
    for (const QString& l : lines) m_lines << oneLine(l);
}

namespace profile {

std::optional<QString> read(const QString& path, const QString& section, const QString& key) {
    return ProfileText::load(path).value(section, key);
}

bool write(const QString& path, const QString& section, const std::optional<QString>& key,
           const std::optional<QString>& value) {
    ProfileText text = ProfileText::load(path);
    const QString before = text.text();
    text.write(section, key, value);
    // A deletion that finds nothing leaves a missing file missing.
    return text.text() == before && (!key || !value) ? true : text.save(path);
}

QStringList section(const QString& path, const QString& name) { return ProfileText::load(path).sectionLines(name); }

QStringList sectionNames(const QString& path) { return ProfileText::load(path).sectionNames(); }

bool writeSection(const QString& path, const QString& name, const QStringList& lines) {
    ProfileText text = ProfileText::load(path);
    text.replaceSection(name, lines);
    return text.save(path);
}

}  // namespace profile
}  // namespace platform
