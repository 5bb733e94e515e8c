#pragma once
// What the user is told when the gradebook store fails for a reason other than a value
// typed: the file cannot be opened, or a write to it failed.
#include <QString>
#include <exception>

namespace db {
class DbError;
}

namespace storeerrors {

// The message shown when a gradebook (or an exchange file) cannot be opened: why, when the
// engine could tell (read-only, damaged, used by another program, not a valid gradebook),
// otherwise the general failure.
QString openingMessage(const std::exception& error);

// The message shown when writing to the open gradebook failed because of the file, the disk
// or another program.
QString writeMessage(const db::DbError& error);

}  // namespace storeerrors
