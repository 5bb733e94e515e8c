#pragma once
// The exchange file: some series of grades of one class in one subject, with every
// student of the class and every grade of those series, carried from one gradebook to
// another. Class and subject travel as names; every key is the sending gradebook's own.
// No widget here: the export wizard chooses, this module writes.
#include "gradebook/GradebookSchema.h"
#include "platform/db/Database.h"

#include <QList>
#include <QString>

namespace exchangefile {

// "Notes Export " and the number, at least four digits, and ".dat".
QString fileName(int number);
// The highest number among the names "Notes Export <digits>.dat" of the folder; 0 when it
// has none (or does not exist).
int highestNumber(const QString& folder);

// "App", "VersionID", "Classe", "Matière", "Commentaire" and "Importé", in the order they
// are created, with their values in a new file.
QList<gradebook::PropertyDef> exportProperties(const QString& className, const QString& subjectName);
// "Elèves", "Notes" and "Séries", in the order they are created.
QList<db::TableDef> exportTables();

// What goes into a file. The series are those of `series` (keys, in that order) when it is
// not empty, otherwise every series of the class and subject in each of `periods`, period
// after period.
struct Selection {
    qint32 numClass = 0;
    qint32 numMat = 0;
    QString className;
    QString subjectName;
    QList<qint32> series;
    QList<int> periods;
};

// Writes the file into `folder` (made when missing) under the next free number and returns
// its full path. The file is written whole under a hidden name, then given its number
// without ever replacing a file: a number taken meanwhile passes to the next. Throws
// DbError or std::runtime_error, and then leaves nothing behind.
QString write(const db::Database& gradebook, const Selection& selection, const QString& folder);

// Replaces the file's comment (its property "Commentaire"). Throws DbError.
void setComment(const QString& path, const QString& comment);

// The text of the property "Commentaire" of a new file.
QString noComment();  // "Aucun commentaire"

}  // namespace exchangefile
