#include "Collations.h"

#include "Sqlite.h"

#include <QCollator>
#include <QLocale>
#include <QString>
#include <algorithm>
#include <optional>

namespace db::collation {
namespace {

int sign(int v) { return (v > 0) - (v < 0); }

QString fromUtf8(const void* p, int n) {
    return QString::fromUtf8(static_cast<const char*>(p), n);
}

// A text below U+0300 holds no combining mark and is its own canonical form: most names
// are, and skip the normalization.
bool belowMarks(QStringView text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x300; });
}

// Most names are plain ASCII: compare those bytes directly and spare two conversions.
std::optional<int> compareAsciiCaseInsensitive(const unsigned char* a, int na, const unsigned char* b, int nb) {
    const int n = std::min(na, nb);
    for (int i = 0; i < n; ++i) {
        if ((a[i] | b[i]) & 0x80)
            return std::nullopt;
        int ca = a[i], cb = b[i];
        if (ca >= 'A' && ca <= 'Z') ca += 'a' - 'A';
        if (cb >= 'A' && cb <= 'Z') cb += 'a' - 'A';
        // A combining mark after the letter would change the letter itself.
        if (ca != cb)
            return (i + 1 < na && a[i + 1] & 0x80) || (i + 1 < nb && b[i + 1] & 0x80) ? std::nullopt
                                                                                  : std::optional(sign(ca - cb));
    }
    for (int i = n; i < na; ++i)
        if (a[i] & 0x80) return std::nullopt;
    for (int i = n; i < nb; ++i)
        if (b[i] & 0x80) return std::nullopt;
    return sign(na - nb);
}

int caseInsensitiveCallback(void*, int na, const void* pa, int nb, const void* pb) {
    if (auto r = compareAsciiCaseInsensitive(static_cast<const unsigned char*>(pa), na,
                                             static_cast<const unsigned char*>(pb), nb))
        return *r;
    return compareCaseInsensitive(fromUtf8(pa, na), fromUtf8(pb, nb));
}

int frenchCallback(void*, int na, const void* pa, int nb, const void* pb) {
    return compareFrench(fromUtf8(pa, na), fromUtf8(pb, nb));
}

const QCollator& frenchCollator() {
    static const QCollator collator(QLocale(QLocale::French, QLocale::France));
    return collator;
}

}  // namespace

int compareCaseInsensitive(QStringView a, QStringView b) {
    QString composedA, composedB;
    if (!belowMarks(a))
        a = composedA = a.toString().normalized(QString::NormalizationForm_C);
    if (!belowMarks(b))
        b = composedB = b.toString().normalized(QString::NormalizationForm_C);
    return sign(a.compare(b, Qt::CaseInsensitive));
}

int compareFrench(QStringView a, QStringView b) {
    if (int r = sign(frenchCollator().compare(a, b)))
        return r;
    if (int r = compareCaseInsensitive(a, b))
        return r;
    return sign(a.compare(b, Qt::CaseSensitive));
}

bool registerOn(sqlite3* connection) {
    return sqlite3_create_collation_v2(connection, kCaseInsensitive, SQLITE_UTF8, nullptr,
                                       caseInsensitiveCallback, nullptr) == SQLITE_OK
        && sqlite3_create_collation_v2(connection, kFrenchOrder, SQLITE_UTF8, nullptr, frenchCallback,
                                       nullptr) == SQLITE_OK;
}

}  // namespace db::collation
