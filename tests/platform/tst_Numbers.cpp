// French text to number and back, and the roundings of grades, averages and bytes.
#include "platform/Numbers.h"

#include <QLocale>
#include <QTest>
#include <cfloat>

using namespace Qt::StringLiterals;

using namespace platform::numbers;

class tst_Numbers : public QObject {
    Q_OBJECT
private slots:
    void readsFrenchNumbersWhateverTheLocale() {
        // The user's locale must not matter: a "." locale once read "12,5" as 125.
        for (const QLocale& locale : {QLocale(QLocale::English, QLocale::UnitedStates), QLocale(QLocale::French)}) {
            QLocale::setDefault(locale);
            QCOMPARE(parse(u"12,5"_s), std::optional<double>(12.5));
            QCOMPARE(parse(u"12.5"_s), std::optional<double>(12.5));
            QCOMPARE(parse(u",5"_s), std::optional<double>(0.5));
            QCOMPARE(parse(u"15,"_s), std::optional<double>(15));
            QCOMPARE(parse(u"-3,25"_s), std::optional<double>(-3.25));
            QCOMPARE(parse(u"012"_s), std::optional<double>(12));
        }
        QLocale::setDefault(QLocale::c());
        for (const char* bad : {"", ",", "-", "1,2,3", "1 234,5", "12a", "1e5", "--1", "1-", "٣"})
            QVERIFY2(!parse(QString::fromUtf8(bad)), bad);
        QVERIFY(!parse(QString(400, u'9')));
    }

    void showsGradesWithSevenDigits() {
        QCOMPARE(formatGrade(12.5), u"12,5"_s);
        QCOMPARE(formatGrade(15), u"15"_s);
        QCOMPARE(formatGrade(double(12.3f)), u"12,3"_s);
        QCOMPARE(formatGrade(1234.5), u"1234,5"_s);
        QCOMPARE(formatGrade(double(19.99f)), u"19,99"_s);
    }

    void roundsAveragesHalfAwayFromZeroInDecimal() {
        QCOMPARE(formatAverage((10.1 + 10.2) / 2, 1), u"10,2"_s);
        QCOMPARE(formatAverage(10.75, 1), u"10,8"_s);
        QCOMPARE(formatAverage(14.125, 2), u"14,13"_s);
        QCOMPARE(formatAverage(14, 1), u"14,0"_s);
        QCOMPARE(formatAverage(14, u"0.00"_s), u"14,00"_s);
        QCOMPARE(formatAverage(16.0 / 3, u"0.0"_s), u"5,3"_s);
        QCOMPARE(formatAverage(9.95, 1), u"10,0"_s);
        QCOMPARE(formatAverage(99.995, 2), u"100,00"_s);
        QCOMPARE(formatAverage(0.05, 1), u"0,1"_s);
        QCOMPARE(formatAverage(0.04, 1), u"0,0"_s);
        QCOMPARE(formatAverage(-2.25, 1), u"-2,3"_s);
        QCOMPARE(formatAverage(-0.01, 1), u"0,0"_s);
        QCOMPARE(formatAverage(2.5, 0), u"3"_s);
        QCOMPARE(formatAverage(1e20, 1), u"100000000000000000000,0"_s);
        QCOMPARE(formatAverage(std::numeric_limits<double>::quiet_NaN(), 1), QString());
        QCOMPARE(formatAverage(std::numeric_limits<double>::infinity(), 1), QString());
    }

    void roundsBytesHalfToEven() {
        QCOMPARE(roundHalfEven(2.5), 2.0);
        QCOMPARE(roundHalfEven(3.5), 4.0);
        QCOMPARE(roundHalfEven(0.5), 0.0);
        QCOMPARE(roundHalfEven(2.4999), 2.0);
        QCOMPARE(roundHalfEven(-2.5), -2.0);
        QCOMPARE(roundHalfEven(255.5), 256.0);
    }
};

QTEST_MAIN(tst_Numbers)
#include "tst_Numbers.moc"
