#include "TableDump.h"

#include "DbTestSupport.h"
#include "gradebook/GradebookSchema.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace testsupport {

namespace {
// The triggers failOn wrote, by name.
QList<QByteArray> injected;
}  // namespace

QMap<QString, Rows> dumpTables(const QString& path) {
    QMap<QString, Rows> dump;
    // The program refuses to open a file holding triggers, so the failures injected are
    // dropped from a copy, which is read instead.
    const QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("dump.dat"));
    QFile::copy(path, copy);
    dropFailures(copy);
    const db::Database file = openGradebook(copy);
    for (const QString& table : file.TableNames()) {
        Rows& rows = dump[table];
        db::Recordset rs = file.OpenRecordset(db::Query(table), db::RecordsetType::ForwardOnly);
        const QList<db::FieldDef> fields = file.TableDefs(table).Fields();
        for (; !rs.Eof(); rs.MoveNext()) {
            QStringList values;
            for (const db::FieldDef& f : fields) values << rs.Fields(f.Name()).Value().toString();
            rows << values;
        }
    }
    return dump;
}

void failOn(const QString& path, const char* event, const QString& table, const QString& when) {
    injectFailure(path, QStringLiteral("BEFORE %1 ON \"%2\" WHEN %3").arg(QLatin1String(event), table, when));
}

void injectFailure(const QString& path, const QString& when) {
    injected << "fail" + QByteArray::number(injected.size() + 1);
    const QString sql = QStringLiteral("CREATE TRIGGER %1 %2 BEGIN SELECT RAISE(ABORT, 'injected'); END;")
                            .arg(QString::fromLatin1(injected.last()), when);
    QCOMPARE(rawExec(path, gradebook::databasePassword().toUtf8(), sql.toUtf8().constData()), 0);
}

void dropFailures(const QString& path) {
    for (const QByteArray& name : injected)
        QCOMPARE(rawExec(path, gradebook::databasePassword().toUtf8(), ("DROP TRIGGER IF EXISTS " + name).constData()), 0);
}

}  // namespace testsupport
