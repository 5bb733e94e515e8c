#include "PrintFile.h"

#include "platform/ProfileText.h"

#include <QMap>
#include <QRegularExpression>

namespace printfile {
namespace {

const QLatin1String kTextX("/$");
const QLatin1String kTextY("\\$");

std::optional<int> position(QStringView digits) {
    if (digits.isEmpty() || digits.size() > 9) return std::nullopt;
    for (QChar c : digits)
        if (!c.isDigit() || c.unicode() > '9') return std::nullopt;
    return digits.toInt();
}

// The whole number a text starts with, as the index holds it; 0 when it starts with none.
int leadingNumber(const QString& text) {
    static const QRegularExpression number(QStringLiteral("^\\s*([+-]?\\d{1,9})"));
    const auto m = number.match(text);
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

QString oneLine(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return text;
}

}  // namespace

QString textRecord(QChar kind, const QString& text, int x, int y) {
    return kind + oneLine(text) + kTextX + QString::number(x) + kTextY + QString::number(y);
}

QString lineRecord(int x1, int y1, int x2, int y2) {
    return QStringLiteral("L%1/%2-%3\\%4").arg(x1).arg(y1).arg(x2).arg(y2);
}

std::optional<Record> parse(const QString& record) {
    if (record.isEmpty()) return std::nullopt;
    Record r;
    r.kind = record.front();
    if (r.kind == Line) {
        static const QRegularExpression line(QStringLiteral("^L(\\d{1,9})/(\\d{1,9})-(\\d{1,9})\\\\(\\d{1,9})$"));
        const auto m = line.match(record);
        if (!m.hasMatch()) return std::nullopt;
        r.x = m.captured(1).toInt();
        r.y = m.captured(2).toInt();
        r.x2 = m.captured(3).toInt();
        r.y2 = m.captured(4).toInt();
        return r;
    }
    if (r.kind != Title && r.kind != Heading && r.kind != Data && r.kind != Result) return std::nullopt;
    const qsizetype yAt = record.lastIndexOf(kTextY);
    if (yAt < 1) return std::nullopt;
    const qsizetype xAt = record.lastIndexOf(kTextX, yAt - 1);
    if (xAt < 1) return std::nullopt;
    const auto x = position(QStringView(record).mid(xAt + 2, yAt - xAt - 2));
    const auto y = position(QStringView(record).mid(yAt + 2));
    if (!x || !y) return std::nullopt;
    r.text = record.mid(1, xAt - 1);
    r.x = *x;
    r.y = *y;
    return r;
}

void Writer::open(int page) {
    if (page > m_pages.size()) m_pages.resize(page);
}

void Writer::add(int page, const QString& record) {
    if (page < 1) return;
    if (page > m_pages.size()) m_pages.resize(page);
    m_pages[page - 1] << oneLine(record);
}

bool Writer::save(const QString& path) const {
    platform::ProfileText file;
    QStringList index;
    for (int p = 0; p < m_pages.size(); ++p) {
        QStringList lines;
        lines.reserve(m_pages[p].size());
        for (int i = 0; i < m_pages[p].size(); ++i) lines << QString::number(i) + u'=' + m_pages[p][i];
        file.appendSection(QString::number(p + 1), lines);
        index << QStringLiteral("%1=%2").arg(p + 1).arg(m_pages[p].size() - 1);
    }
    file.appendSection(QStringLiteral("0"), index);
    return file.save(path);
}

Reader Reader::load(const QString& path) {
    Reader r;
    for (const auto& s : platform::ProfileText::load(path).sections()) {
        const QString name = s.name.toLower();
        if (!r.m_sections.contains(name)) r.m_sections.insert(name, s.lines);
    }
    r.m_index = r.m_sections.value(QStringLiteral("0"));
    return r;
}

QStringList Reader::page(int p) const {
    if (p < 1 || p > m_index.size()) return {};
    const QString& entry = m_index[p - 1];
    const int last = leadingNumber(entry.mid(entry.indexOf(u'=') + 1));
    // Keys 0 to last, each at its first line; a missing key draws nothing.
    QMap<int, QString> byKey;
    for (const QString& line : m_sections.value(QString::number(p))) {
        const qsizetype eq = line.indexOf(u'=');
        const auto key = eq > 0 ? position(QStringView(line).left(eq).trimmed()) : std::nullopt;
        if (key && *key <= last && !byKey.contains(*key)) byKey.insert(*key, line.mid(eq + 1).trimmed());
    }
    return byKey.values();
}

}  // namespace printfile
