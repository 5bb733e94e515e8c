#pragma once
#include "platform/db/Database.h"

#include <QDateTime>
#include <QStringList>

namespace testsupport {

// The date a gradebook made below was created: the default date of its series.
inline const QDateTime kPartialCreated{QDate(2024, 9, 2), QTime(8, 30), Qt::UTC};

// A gradebook with the properties and tables the program makes, less the parts that `drop`
// names, as an older version or another program left it: a table ("Notes"), a field or index
// of every table ("Colonne"), or of one table ("Séries.NumClassMat"). "VersionID" and "App"
// take `version` and `app` when given. Left open, empty.
db::Database gradebookWithout(const QString& path, const QStringList& drop, const QString& version = {},
                              const QString& app = {});

}  // namespace testsupport
