// The settings-file class over our own INI layer: names matched without regard to case,
// the first match winning, writes in place, deletions, enumerations, and files from
// elsewhere (hand-edited, Windows-1252, binary junk) read without harm.
#include "printing/CINIFile.h"

#include "PrintTestKit.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using testsupport::readFile;
using testsupport::writeFile;

class tst_CINIFile : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_path;

    CINIFile bound(const QString& section) {
        CINIFile ini;
        ini.setFile(m_path);
        ini.setSection(section);
        return ini;
    }

private slots:
    void init() { m_path = m_dir.filePath(QStringLiteral("%1.cfg").arg(QTest::currentTestFunction())); }

    void missingFileSectionOrKeyReadEmpty() {
        CINIFile ini = bound(QStringLiteral("Impression"));
        QCOMPARE(ini.Value(QStringLiteral("Taille")), QString());
        bool notFound = false;
        QCOMPARE(ini.getValue(QStringLiteral("Taille"), QStringLiteral("0"), notFound), QStringLiteral("0"));
        QVERIFY(notFound);
        QVERIFY(!QFile::exists(m_path));

        QVERIFY(ini.setValue(QStringLiteral("Taille"), 4));
        QVERIFY(ini.setValue(QStringLiteral("Vide"), QString()));
        QCOMPARE(ini.getValue(QStringLiteral("taille"), QStringLiteral("0"), notFound), QStringLiteral("4"));
        QVERIFY(!notFound);
        // A key present with an empty value gives the default, as a missing one does.
        QCOMPARE(ini.getValue(QStringLiteral("Vide"), QStringLiteral("x"), notFound), QStringLiteral("x"));
        QVERIFY(notFound);
        QCOMPARE(ini.getValue(QStringLiteral("Vide"), QString(), notFound), QString());
        ini.setSection(QStringLiteral("Autre"));
        QCOMPARE(ini.Value(QStringLiteral("Taille")), QString());
    }

    void writesReplaceInPlaceAndKeepForeignLines() {
        writeFile(m_path, "; made by hand\r\n[impression]\r\n  TAILLE = 2 \r\nnot a key\r\n\r\n[Autre]\r\nTaille=7\r\n");
        CINIFile ini = bound(QStringLiteral("Impression"));
        QCOMPARE(ini.Value(QStringLiteral("taille")), QStringLiteral("2"));
        ini.setValue(QStringLiteral("Taille"), 5);
        ini.setValue(QStringLiteral("FontSize"), 12.5);
        ini.setValue(QStringLiteral("En-Tête"), QStringLiteral("Noir=3"));
        ini.AddSection(QStringLiteral("Neuve"), false);
        QCOMPARE(QString::fromUtf8(readFile(m_path)),
                 QStringLiteral("; made by hand\n[impression]\nTaille=5\nnot a key\nFontSize=12,5\nEn-Tête=Noir=3\n\n"
                                "[Autre]\nTaille=7\n[Neuve]\n"));
        QCOMPARE(ini.Section(), QStringLiteral("Impression"));

        // The first of two equal names wins, for sections and keys alike.
        writeFile(m_path, "[A]\nk=1\nK=2\n[a]\nk=3\n");
        ini.setSection(QStringLiteral("a"));
        QCOMPARE(ini.Value(QStringLiteral("K")), QStringLiteral("1"));
        ini.deleteKey(QStringLiteral("k"));
        QCOMPARE(ini.Value(QStringLiteral("k")), QStringLiteral("2"));
        ini.setValue(QStringLiteral("k"), QStringLiteral("4"));
        QCOMPARE(QString::fromUtf8(readFile(m_path)), QStringLiteral("[A]\nk=4\n[a]\nk=3\n"));

        // Line breaks in a value would cut its line: they become blanks.
        ini.setValue(QStringLiteral("k"), QStringLiteral("Dupont\r\nJean"));
        QCOMPARE(ini.Value(QStringLiteral("k")), QStringLiteral("Dupont Jean"));
        QStringList names;
        QCOMPARE(ini.enumSections(names), 2);
    }

    void enumerationsAndSectionsAsWhole() {
        writeFile(m_path, "[0]\n1=57\n2=113\n[1]\n[2]\nx\na=1\n");
        CINIFile ini = bound(QStringLiteral("0"));
        QStringList lines;
        QCOMPARE(ini.enumSectionKeysAndValues(lines), 2);
        QCOMPARE(lines, QStringList({"1=57", "2=113"}));
        QStringList sections;
        QCOMPARE(ini.enumSections(sections), 3);
        QCOMPARE(sections, QStringList({"0", "1", "2"}));

        ini.setSection(QStringLiteral("2"));
        QStringList keys, values;
        QList<QPair<QString, QString>> pairs;
        QCOMPARE(ini.enumSectionKeys(keys), 2);
        QCOMPARE(keys, QStringList({"", "a"}));
        QCOMPARE(ini.enumSectionValues(values), 2);
        QCOMPARE(values, QStringList({"", "1"}));
        QCOMPARE(ini.enumSectionValuePairs(pairs), 2);
        QCOMPARE(pairs.at(1), qMakePair(QStringLiteral("a"), QStringLiteral("1")));

        // Empty and missing sections find nothing and leave the output alone.
        const QStringList kept{"kept"};
        for (const char* name : {"1", "9"}) {
            ini.setSection(QString::fromLatin1(name));
            lines = keys = values = kept;
            QCOMPARE(ini.enumSectionKeysAndValues(lines) + ini.enumSectionKeys(keys) + ini.enumSectionValues(values), 0);
            QCOMPARE(lines + keys + values, kept + kept + kept);
        }

        ini.setSection(QStringLiteral("2"));
        ini.writeSection({QStringLiteral("a=1"), QStringLiteral("b=2")});
        QCOMPARE(ini.enumSectionKeysAndValues(lines), 2);
        QCOMPARE(lines, QStringList({"a=1", "b=2"}));

        ini.setSection(QStringLiteral("1"));
        ini.deleteSection(QStringLiteral("0"));
        QCOMPARE(ini.Section(), QStringLiteral("1"));
        ini.deleteSection(QStringLiteral("1"));
        QCOMPARE(ini.Section(), QString());
        QCOMPARE(ini.enumSections(sections), 1);
        QCOMPARE(sections, QStringList({"2"}));

        // Changing files forgets the section.
        ini.setSection(QStringLiteral("2"));
        ini.setFile(m_path);
        QCOMPARE(ini.Section(), QString());
    }

    void longValuesAndLargeSectionsAreWhole() {
        CINIFile ini = bound(QStringLiteral("1"));
        const QString title = QStringLiteral("T") + QString(1000, u'é') + QStringLiteral("/$1134\\$2268");
        ini.setValue(QStringLiteral("0"), title);
        QCOMPARE(ini.Value(QStringLiteral("0")), title);
        QStringList lines;
        for (int i = 0; i < 3000; ++i) lines << QStringLiteral("%1=oDupont Jean-Pierre/$1134\\$%2").arg(i).arg(i * 10);
        ini.writeSection(lines);
        QStringList back;
        QCOMPARE(ini.enumSectionKeysAndValues(back), 3000);
        QCOMPARE(back.last(), lines.last());
    }

    void damagedFilesReadWithoutHarm() {
        // Windows-1252 from another system, CR-only line ends, no final break.
        writeFile(m_path, "[Impression]\rEn-T\xeate=4\rFontName=Arial\xae");
        CINIFile ini = bound(QStringLiteral("Impression"));
        QCOMPARE(ini.Value(QStringLiteral("En-Tête")), QStringLiteral("4"));
        QCOMPARE(ini.Value(QStringLiteral("FontName")), QStringLiteral("Arial®"));

        // A byte-order mark, lines before any section, keys without section.
        writeFile(m_path, "\xef\xbb\xbfTaille=3\n[Impression]\nTaille=1\n");
        QCOMPARE(ini.Value(QStringLiteral("Taille")), QStringLiteral("1"));

        // Junk: whatever comes back, nothing fails, and a write still lands.
        QByteArray junk;
        for (int i = 0; i < 4096; ++i) junk.append(char((i * 7919) % 256));
        writeFile(m_path, junk);
        bool notFound = false;
        QCOMPARE(ini.getValue(QStringLiteral("Taille"), QStringLiteral("0"), notFound), QStringLiteral("0"));
        QStringList out;
        ini.enumSections(out);
        QVERIFY(ini.setValue(QStringLiteral("Taille"), 2));
        QCOMPARE(ini.Value(QStringLiteral("Taille")), QStringLiteral("2"));
    }

    void unwritableFileIsReported() {
        // A file where its folder should be: nothing can be written there.
        writeFile(m_path, "[Impression]\nTaille=1\n");
        CINIFile ini;
        ini.setFile(m_path + QStringLiteral("/Quibolet.cfg"));
        ini.setSection(QStringLiteral("Impression"));
        QVERIFY(!ini.setValue(QStringLiteral("Taille"), 2));
        QCOMPARE(ini.Value(QStringLiteral("Taille")), QString());
        QCOMPARE(readFile(m_path), QByteArray("[Impression]\nTaille=1\n"));
    }
};

QTEST_MAIN(tst_CINIFile)
#include "tst_CINIFile.moc"
