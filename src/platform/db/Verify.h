#pragma once
// Inside the engine: the checks a file passes before anything is read from it or written
// to it. A file may come from anywhere (a damaged USB stick, another person's machine), so
// the engine trusts nothing in it that it did not write itself.
#include "Schema.h"
#include "Sqlite.h"

#include <QString>

namespace db::detail {

class Connection;

// A quick walk of the whole file's structure, which decrypts every page: DbError Damaged
// when it fails.
void checkIntegrity(sqlite3* handle, const QString& path);

// The properties' types and values: DbError InvalidDefinition for one this engine would
// not have written.
void checkProperties(Connection& connection);

// Every table, index, trigger and view of the file must be one that the engine builds for
// its own tables and for the definitions of its catalogue (loaded first), letter for
// letter: DbError ForeignObject otherwise. The catalogue is rebuilt in memory by the same
// code that builds a file, fields added to a table after its creation included.
void checkSchema(Connection& connection);

// Every index over a text must hold its rows in the order that the engine's comparison of
// texts gives now, and a unique one no two rows that it holds equal: DbError Damaged
// otherwise. A file whose indexes were ordered by another comparison (one that told a
// combining accent from the same accent precomposed) would make finds miss rows and let
// duplicates in.
void checkTextIndexes(sqlite3* handle, const QString& path, const QList<TableDef>& tables);

}  // namespace db::detail
