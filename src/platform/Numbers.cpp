#include "Numbers.h"

#include <QVarLengthArray>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace platform::numbers {

std::optional<double> parse(const QString& text) {
    // Grids parse every cell after each change: this runs without allocating.
    const QStringView t = QStringView(text).trimmed();
    QVarLengthArray<char, 64> normal;
    int digits = 0;
    bool separator = false;
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QChar c = t.at(i);
        if (c.unicode() >= u'0' && c.unicode() <= u'9') {
            normal.append(char(c.unicode()));
            ++digits;
        } else if ((c == u',' || c == u'.') && !separator) {
            normal.append('.');
            separator = true;
        } else if (c == u'-' && i == 0) {
            normal.append('-');
        } else if (c != u'+' || i != 0) {
            return std::nullopt;
        }
    }
    if (digits == 0)
        return std::nullopt;
    double value = 0;
    const char* end = normal.data() + normal.size();
    const auto [stop, error] = std::from_chars(normal.data(), end, value);
    if (error != std::errc() || stop != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString formatGrade(double value) {
    return QString::number(value, 'g', 7).replace(u'.', u',');
}

QString formatAverage(double value, int decimals) {
    if (!std::isfinite(value) || decimals < 0)
        return {};
    // 15 significant digits, d.dddddddddddddde±x: the decimal value the user believes in.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
    int digit[15];
    digit[0] = buf[0] - '0';
    for (int i = 1; i < 15; ++i)
        digit[i] = buf[i + 1] - '0';
    const int exponent = std::atoi(buf + 17);

    // Digit i stands for 10^(exponent - i); keep those down to 10^-decimals, then look at
    // the first digit dropped.
    const int last = exponent + decimals;
    QString magnitude;  // the value times 10^decimals, as an integer
    for (int i = 0; i <= last; ++i)
        magnitude += QChar(u'0' + (i < 15 ? digit[i] : 0));
    const int next = last + 1;
    const bool up = next >= 0 && next < 15 && digit[next] >= 5;
    if (magnitude.isEmpty())
        magnitude = QStringLiteral("0");
    if (up) {
        qsizetype i = magnitude.size() - 1;
        while (i >= 0 && magnitude[i] == u'9')
            magnitude[i--] = u'0';
        if (i < 0)
            magnitude.prepend(u'1');
        else
            magnitude[i] = QChar(magnitude[i].unicode() + 1);
    }
    if (magnitude.size() <= decimals)
        magnitude = QString(decimals + 1 - magnitude.size(), u'0') + magnitude;
    QString result = magnitude;
    if (decimals > 0)
        result.insert(result.size() - decimals, u',');
    const bool zero = magnitude.count(u'0') == magnitude.size();
    if (value < 0 && !zero)
        result.prepend(u'-');
    return result;
}

QString formatAverage(double value, const QString& format) {
    const qsizetype point = format.indexOf(u'.');
    const int decimals = point < 0 ? 0 : int(format.size() - point - 1);
    return formatAverage(value, decimals);
}

QString formatToTenth(double value) {
    QString text = formatAverage(value, 1);
    if (text.endsWith(QStringLiteral(",0"))) text.chop(2);
    return text;
}

double roundHalfEven(double value) {
    // nearbyint follows the current rounding mode, which is to-nearest-even unless some
    // code changed it; do the tie by hand so that nothing outside can change the result.
    const double floor = std::floor(value);
    const double diff = value - floor;
    if (diff < 0.5)
        return floor;
    if (diff > 0.5)
        return floor + 1;
    return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

}  // namespace platform::numbers
