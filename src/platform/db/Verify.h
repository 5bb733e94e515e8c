#pragma once
// Inside the engine: the checks a file passes before anything is read from it or written
// to it. A file may come from anywhere (a damaged USB stick, another person's machine), so
// the engine trusts nothing in it that it did not write itself.
#include "Schema.h"
#include "Sqlite.h"

#include <QString>

namespace db::detail {

class Connection;

// SQLite's whole check of the file, which decrypts every page: its structure, and every
// index against its table (each row found under its key, no key twice in a unique one),
// texts compared as the engine compares them now, so the connection must have the engine's
// collations. DbError Damaged when it fails. A file whose index no longer matches its rows,
// or was ordered by another comparison (one that told a combining accent from the same
// accent precomposed), would make finds miss rows and let duplicates in.
void checkIntegrity(sqlite3* handle, const QString& path);

// The properties' types and values: DbError InvalidDefinition for one this engine would
// not have written.
void checkProperties(Connection& connection);

// Every table, index, trigger and view of the file must be one that the engine builds for
// its own tables and for the definitions of its catalogue (loaded first), letter for
// letter: DbError ForeignObject otherwise. The catalogue is rebuilt in memory by the same
// code that builds a file, fields added to a table after its creation included.
void checkSchema(Connection& connection);

}  // namespace db::detail
