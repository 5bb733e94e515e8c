#pragma once
#include <QDate>
#include <QDateTime>
#include <QString>
#include <optional>

// Dates pass between text and value here, in the French short form whatever the user's
// locale, as numbers do in Numbers.h.
namespace platform::dates {

// "05/03/2025".
QString formatShortDate(const QDate& date);

// Reads a day, a month and a year separated by "/", "-" or "." ("5/3/2025", "05-03-25"),
// or a day and a month of the current year ("5/3"); blanks around are ignored. A year of
// one or two digits is taken in 1930..2029. Nothing for any other text, for a day that the
// month does not have, or for a year outside 100..9999.
std::optional<QDate> parseShortDate(const QString& text, const QDate& today = QDate::currentDate());

// The dates that the files keep ("2025-03-30 02:30:00") are calendar values of no time
// zone. They are held as Qt::UTC date-times: no daylight-saving gap of the local zone makes
// one invalid, and nothing ever converts one.
QDateTime zoneless(const QDate& date, const QTime& time = QTime(0, 0));
// The same date and time of day as `dateTime`, whatever zone it was built in (a local time
// in a gap keeps them too).
QDateTime zoneless(const QDateTime& dateTime);
// What the local clock shows now.
QDateTime zonelessNow();

}  // namespace platform::dates
