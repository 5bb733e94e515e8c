// French text to number and back, and the roundings of grades, averages and bytes.
#include "platform/Numbers.h"

#include <QLocale>
#include <QTest>
#include <cfloat>

using namespace platform::numbers;

class tst_Numbers : public QObject {
    Q_OBJECT
private slots:
    void readsFrenchNumbersWhateverTheLocale() {
        // The user's locale must not matter: a "." locale once read "12,5" as 125.
        for (const QLocale& locale : {QLocale(QLocale::English, QLocale::UnitedStates), QLocale(QLocale::French)}) {
            QLocale::setDefault(locale);
            QCOMPARE(parse(QStringLiteral("12,5")), std::optional<double>(12.5));
            QCOMPARE(parse(QStringLiteral("12.5")), std::optional<double>(12.5));
            QCOMPARE(parse(QStringLiteral(",5")), std::optional<double>(0.5));
            QCOMPARE(parse(QStringLiteral("15,")), std::optional<double>(15));
            QCOMPARE(parse(QStringLiteral(" 7 ")), std::optional<double>(7));
            QCOMPARE(parse(QStringLiteral("-3,25")), std::optional<double>(-3.25));
            QCOMPARE(parse(QStringLiteral("012")), std::optional<double>(12));
        }
        QLocale::setDefault(QLocale::c());
        for (const char* bad : {"", ",", "-", "1,2,3", "1 234,5", "12a", "1e5", "--1", "1-", "٣"})
            QVERIFY2(!parse(QString::fromUtf8(bad)), bad);
        QVERIFY(!parse(QString(400, u'9')));
    }

    void showsGradesWithSevenDigits() {
        QCOMPARE(formatGrade(12.5), QStringLiteral("12,5"));
        QCOMPARE(formatGrade(15), QStringLiteral("15"));
        QCOMPARE(formatGrade(double(12.3f)), QStringLiteral("12,3"));
        QCOMPARE(formatGrade(double(0.1f)), QStringLiteral("0,1"));
        QCOMPARE(formatGrade(1234.5), QStringLiteral("1234,5"));
        QCOMPARE(formatGrade(double(19.99f)), QStringLiteral("19,99"));
    }

    void roundsAveragesHalfAwayFromZeroInDecimal() {
        QCOMPARE(formatAverage((10.1 + 10.2) / 2, 1), QStringLiteral("10,2"));
        QCOMPARE(formatAverage(10.75, 1), QStringLiteral("10,8"));
        QCOMPARE(formatAverage(10.75, 2), QStringLiteral("10,75"));
        QCOMPARE(formatAverage(14.125, 2), QStringLiteral("14,13"));
        QCOMPARE(formatAverage(14.15, 1), QStringLiteral("14,2"));
        QCOMPARE(formatAverage(14, 1), QStringLiteral("14,0"));
        QCOMPARE(formatAverage(14, QStringLiteral("0.00")), QStringLiteral("14,00"));
        QCOMPARE(formatAverage(16.0 / 3, QStringLiteral("0.0")), QStringLiteral("5,3"));
        QCOMPARE(formatAverage(9.95, 1), QStringLiteral("10,0"));
        QCOMPARE(formatAverage(99.995, 2), QStringLiteral("100,00"));
        QCOMPARE(formatAverage(0.05, 1), QStringLiteral("0,1"));
        QCOMPARE(formatAverage(0.04, 1), QStringLiteral("0,0"));
        QCOMPARE(formatAverage(0.004, 2), QStringLiteral("0,00"));
        QCOMPARE(formatAverage(0, 2), QStringLiteral("0,00"));
        QCOMPARE(formatAverage(-2.25, 1), QStringLiteral("-2,3"));
        QCOMPARE(formatAverage(-0.01, 1), QStringLiteral("0,0"));
        QCOMPARE(formatAverage(2.5, 0), QStringLiteral("3"));
        QCOMPARE(formatAverage(1e20, 1), QStringLiteral("100000000000000000000,0"));
        QCOMPARE(formatAverage(std::numeric_limits<double>::quiet_NaN(), 1), QString());
        QCOMPARE(formatAverage(std::numeric_limits<double>::infinity(), 1), QString());
    }

    void roundsBytesHalfToEven() {
        QCOMPARE(roundHalfEven(2.5), 2.0);
        QCOMPARE(roundHalfEven(3.5), 4.0);
        QCOMPARE(roundHalfEven(0.5), 0.0);
        QCOMPARE(roundHalfEven(0.6), 1.0);
        QCOMPARE(roundHalfEven(2.4999), 2.0);
        QCOMPARE(roundHalfEven(-2.5), -2.0);
        QCOMPARE(roundHalfEven(-3.5), -4.0);
        QCOMPARE(roundHalfEven(255.5), 256.0);
    }
};

QTEST_MAIN(tst_Numbers)
#include "tst_Numbers.moc"
