#pragma once
#include <QStringView>

struct sqlite3;

// How the engine compares texts. Equality, unique indexes and finds ignore letter case
// but not accents ("Dupont" = "dupont", "Eric" != "Éric"), and compare canonical forms: an
// accent typed as a combining mark is the same accent ("E" U+0301 "ric" = "Éric"), as the
// eye sees it, whichever path wrote the text. Sorting follows French order
// ("Durand", "Éric", "Martin"). Both are collations registered on every connection: a
// file's text columns name them, so a connection without them cannot use the indexes.
namespace db::collation {

inline constexpr char kCaseInsensitive[] = "FRCI";
inline constexpr char kFrenchOrder[] = "FRSORT";

int compareCaseInsensitive(QStringView a, QStringView b);
// A total order: French order first, then letter case, then code points.
int compareFrench(QStringView a, QStringView b);

// Registers both collations on a connection; false when SQLite refused them.
bool registerOn(sqlite3* connection);

}  // namespace db::collation
