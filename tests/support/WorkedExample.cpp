#include "WorkedExample.h"

namespace testsupport {

WorkedExample::WorkedExample(GradebookBuilder& book) {
    cls = book.addClass(QStringLiteral("3e A"), QStringLiteral("3e A"));
    maths = book.addSubject(QStringLiteral("Maths"));
    histoire = book.addSubject(QStringLiteral("Histoire"));
    book.setCoefficient(cls, maths, 3);
    book.setCoefficient(cls, histoire, 2);
    // Added out of order: the students are listed by name.
    paul = book.addStudent(cls, QStringLiteral("Martin"), QStringLiteral("Paul"));
    hugo = book.addStudent(cls, QStringLiteral("Petit"), QStringLiteral("Hugo"));
    lea = book.addStudent(cls, QStringLiteral("Durand"), QStringLiteral("Léa"));
    s1 = book.addSeries(cls, maths, QStringLiteral("DS 1"), 20, 2, 1, QDate(2024, 10, 3));
    s2 = book.addSeries(cls, maths, QStringLiteral("DM 1"), 10, 1, 1, QDate(2024, 10, 10));
    s3 = book.addSeries(cls, maths, QStringLiteral("DS 2"), 15, 1, 2, QDate(2025, 1, 15));
    s4 = book.addSeries(cls, maths, QStringLiteral("DS 3"), 40, 0, 3, QDate(2025, 4, 10));
    h1 = book.addSeries(cls, histoire, QStringLiteral("Interro 1"), 20, 1, 1, QDate(2024, 10, 5));
    h2 = book.addSeries(cls, histoire, QStringLiteral("Interro 2"), 20, 1, 2, QDate(2025, 1, 20));
    const std::pair<int, double> leaGrades[] = {{s1, 13}, {s2, 7}, {s3, 10}, {s4, 30}, {h1, 9}};
    const std::pair<int, double> paulGrades[] = {{s1, 12}, {s2, 6.5}, {s3, 7}, {h2, 12}};
    const std::pair<int, double> hugoGrades[] = {{s1, 11.4}, {s3, 12}, {h1, 14}, {h2, 11}};
    for (const auto& [series, grade] : leaGrades) book.addGrade(series, lea, grade);
    for (const auto& [series, grade] : paulGrades) book.addGrade(series, paul, grade);
    for (const auto& [series, grade] : hugoGrades) book.addGrade(series, hugo, grade);
}

namespace {

QStringList row(const QString& heading, const QString& cells) {
    QStringList r{heading};
    for (const QString& c : cells.split(u' ')) r << (c == u"·" ? QString() : c);
    return r;
}

}  // namespace

QList<QStringList> WorkedExample::classGrid(int decimals) {
    const QString four = QStringLiteral("· · · ·");
    QList<QStringList> rows = {
        row({}, QStringLiteral("Maths Maths Maths Maths Histoire Histoire Histoire Histoire"))
            + QStringList(4, QStringLiteral("Moyenne générale")),
        {QString()},
        row(QStringLiteral("Coefficient"), QStringLiteral("· · · 3 · · · 2 ") + four),
        row({}, four + u' ' + four + u' ' + four),
    };
    for (int g = 0; g < 3; ++g)
        rows[1] << QStringLiteral("M 1") << QStringLiteral("M 2") << QStringLiteral("M 3") << QStringLiteral("An");
    if (decimals == 1) {
        rows << row(QStringLiteral("Durand Léa"), QStringLiteral("13,3 13,3 · 13,3 9,0 · · 9,0 11,6 13,3 · 11,6"))
             << row(QStringLiteral("Martin Paul"), QStringLiteral("12,3 9,3 · 10,8 · 12,0 · 12,0 12,3 10,4 · 11,3"))
             << row(QStringLiteral("Petit Hugo"), QStringLiteral("11,4 16,0 · 13,7 14,0 11,0 · 12,5 12,4 14,0 · 13,2"))
             << row({}, four + u' ' + four + u' ' + four)
             << row(QStringLiteral("Moyenne"), QStringLiteral("12,3 12,9 · 12,6 11,5 11,5 · 11,2 12,1 12,6 · 12,0"));
    } else {
        rows << row(QStringLiteral("Durand Léa"), QStringLiteral("13,33 13,33 · 13,33 9,00 · · 9,00 11,60 13,33 · 11,60"))
             << row(QStringLiteral("Martin Paul"), QStringLiteral("12,33 9,33 · 10,83 · 12,00 · 12,00 12,33 10,40 · 11,30"))
             << row(QStringLiteral("Petit Hugo"), QStringLiteral("11,40 16,00 · 13,70 14,00 11,00 · 12,50 12,44 14,00 · 13,22"))
             << row({}, four + u' ' + four + u' ' + four)
             << row(QStringLiteral("Moyenne"), QStringLiteral("12,35 12,89 · 12,62 11,50 11,50 · 11,17 12,12 12,58 · 12,04"));
    }
    return rows;
}

QList<QStringList> WorkedExample::paulGrid() {
    return {
        {QString(), QStringLiteral("Coefficient"), QStringLiteral("Moyenne 1"), QStringLiteral("Moyenne 2"),
         QStringLiteral("Moyenne 3"), QStringLiteral("Moyenne générale")},
        row(QStringLiteral("Maths"), QStringLiteral("3 12,3 9,3 · 10,8")),
        row(QStringLiteral("Histoire"), QStringLiteral("2 · 12,0 · 12,0")),
        row({}, QStringLiteral("· · · · ·")),
        row(QStringLiteral("Moyenne"), QStringLiteral("· 12,3 10,4 · 11,3")),
    };
}

}  // namespace testsupport
