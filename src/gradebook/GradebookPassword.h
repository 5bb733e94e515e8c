#pragma once
// The gradebook's own password, kept in its property "Passe". The key that opens the file
// is the same in every copy of the program, so whoever has the program can read "Passe":
// it holds a salted, deliberately slow hash of the password, never the password itself:
// "pbkdf2-sha256$<iterations>$<salt>$<hash>", salt and hash in base 64. Files written by
// earlier versions hold the password in clear, until it is next given.
#include <QString>

namespace db {
class Database;
}

namespace gradebookpassword {

// What "Passe" holds once `password` was chosen: "Undefined" for "" and for the no-password
// marker itself, which protect nothing; otherwise a hash with a salt of its own.
QString stored(const QString& password);

// Whether `typed` is the password that `passe` (the value of "Passe") holds, hashed or in
// clear. A hash that this version cannot check (an unknown form, more iterations than it
// writes itself) matches nothing.
bool matches(const QString& passe, const QString& typed);

// After `typed` matched `passe`: a password still kept in clear is replaced by its hash.
void upgrade(const db::Database& gradebook, const QString& passe, const QString& typed);

}  // namespace gradebookpassword
