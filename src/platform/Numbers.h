#pragma once
#include <QString>
#include <optional>

// Numbers pass between text and value here, with one French convention whatever the
// user's locale: a decimal comma ("." is taken as a comma too), no group separator.
namespace platform::numbers {

// Reads "12,5", "12.5", ",5", "15,", "-3" (blanks around are ignored). Anything else,
// and a value too large for a double, gives nothing.
std::optional<double> parse(const QString& text);

// A grade as the grid shows it: up to 7 significant digits ("12,5", "15", "12,3" for the
// single-precision 12.3).
QString formatGrade(double value);

// An average with exactly `decimals` decimals. The value is first taken to 15 significant
// digits, then rounded half away from zero in decimal: (10,1 + 10,2) / 2 gives "10,2",
// which is what a teacher checking by hand expects. A value that is not finite gives "".
QString formatAverage(double value, int decimals);

// The same with a format such as "0.0" or "0.00": as many decimals as zeros after the point.
QString formatAverage(double value, const QString& format);

// A value to the nearest tenth, rounded as an average is, without a decimal when the tenth
// is 0: "10,5", "10", "12,3" for 12,25.
QString formatToTenth(double value);

// Rounds to the nearest integer, a half to the even neighbour (2,5 gives 2 and 3,5 gives 4),
// as the conversion of a number into a byte field does.
double roundHalfEven(double value);

}  // namespace platform::numbers
