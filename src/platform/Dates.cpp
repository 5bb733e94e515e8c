#include "Dates.h"

#include <QRegularExpression>

namespace platform::dates {

QString formatShortDate(const QDate& date) { return date.toString(u"dd/MM/yyyy"); }

std::optional<QDate> parseShortDate(const QString& text, const QDate& today) {
    // One separator throughout: "5/3-2025" is a slip, not a date.
    static const QRegularExpression form(QStringLiteral(R"(^(\d{1,2})([/.-])(\d{1,2})(?:\2(\d{1,4}))?$)"));
    const QRegularExpressionMatch m = form.match(text.trimmed());
    if (!m.hasMatch()) return std::nullopt;
    int year = today.year();
    if (const QString y = m.captured(4); !y.isEmpty()) {
        year = y.toInt();
        if (y.size() <= 2) year += year < 30 ? 2000 : 1900;
    }
    if (year < 100 || year > 9999) return std::nullopt;
    const QDate date(year, m.captured(3).toInt(), m.captured(1).toInt());
    if (!date.isValid()) return std::nullopt;
    return date;
}

QDateTime zoneless(const QDate& date, const QTime& time) { return QDateTime(date, time, Qt::UTC); }

QDateTime zoneless(const QDateTime& dateTime) { return zoneless(dateTime.date(), dateTime.time()); }

QDateTime zonelessNow() { return zoneless(QDateTime::currentDateTime()); }

}  // namespace platform::dates
