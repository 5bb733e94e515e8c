#pragma once
// What the user is told when the gradebook store fails for a reason other than a value
// typed: the file cannot be opened, or a read or a write of it failed.
#include <QString>
#include <exception>

namespace db {
class DbError;
}

namespace storeerrors {

enum class File { Gradebook, Exchange };

// The message shown when a gradebook (or an exchange file) cannot be opened: why, when the
// engine could tell (not a file, not readable, read-only, open in another copy of the program,
// used by another program, no room for the trial of its journal, damaged, not a valid
// gradebook), otherwise the general failure. Of an exchange file, only what kept it from
// being read is said: what it holds is judged after it opened.
QString openingMessage(const std::exception& error, File file = File::Gradebook);

// The message shown when writing to the open gradebook failed because of the file, the disk
// or another program.
QString writeMessage(const db::DbError& error);

// The message shown when the grades of a class in a subject could not be read.
QString gridReadMessage(const db::DbError& error);

}  // namespace storeerrors
