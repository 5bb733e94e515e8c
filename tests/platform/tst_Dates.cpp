// French short dates, read and written the same whatever the user's locale.
#include "platform/Dates.h"

#include <QLocale>
#include <QTest>

using namespace platform::dates;

class tst_Dates : public QObject {
    Q_OBJECT
private slots:
    void readsAndWritesFrenchShortDates() {
        const QDate today(2025, 3, 14);
        for (const QLocale& locale : {QLocale(QLocale::English, QLocale::UnitedStates), QLocale(QLocale::French)}) {
            QLocale::setDefault(locale);
            QCOMPARE(formatShortDate(QDate(2025, 3, 5)), QStringLiteral("05/03/2025"));
            const struct { const char* text; QDate date; } good[] = {
                {"5/3/2025", {2025, 3, 5}},  {" 05-03-25 ", {2025, 3, 5}}, {"5.3.1999", {1999, 3, 5}},
                {"1/9/30", {1930, 9, 1}},    {"1/9/29", {2029, 9, 1}},     {"29/2/2024", {2024, 2, 29}},
                {"12/10", {2025, 10, 12}},   {"1/1/100", {100, 1, 1}},
            };
            for (const auto& g : good) QCOMPARE(parseShortDate(QString::fromLatin1(g.text), today), std::optional(g.date));
        }
        QLocale::setDefault(QLocale::c());
        for (const char* bad : {"", "abc", "31/02/2025", "29/2/2025", "5/3-2025", "13/13/2025", "1/1/99999", "1/1/0099",
                                "5/3/2025 10:00", "2025-03-05"})
            QVERIFY2(!parseShortDate(QString::fromLatin1(bad), today), bad);
    }
};

QTEST_MAIN(tst_Dates)
#include "tst_Dates.moc"
