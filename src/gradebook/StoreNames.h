#pragma once
// The names of the gradebook's tables and of the fields that several modules read and
// write, in one place.
#include <QString>

namespace storenames {

inline const QString kClasses = QStringLiteral("Classes");
inline const QString kSubjects = QStringLiteral("Matières");
inline const QString kCoefficients = QStringLiteral("Coefficients");
inline const QString kStudents = QStringLiteral("Elèves");
inline const QString kSeries = QStringLiteral("Séries");
inline const QString kNotes = QStringLiteral("Notes");

inline const QString kNumClass = QStringLiteral("NumClass");
inline const QString kNumMat = QStringLiteral("NumMat");
inline const QString kNumElv = QStringLiteral("NumElv");
inline const QString kNumSerie = QStringLiteral("NumSérie");
inline const QString kNom = QStringLiteral("Nom");
inline const QString kPrenom = QStringLiteral("Prénom");

}  // namespace storenames
