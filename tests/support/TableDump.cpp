#include "TableDump.h"

#include "DbTestSupport.h"
#include "gradebook/GradebookSchema.h"

#include <QTest>

namespace testsupport {

QMap<QString, Rows> dumpTables(const QString& path) {
    QMap<QString, Rows> dump;
    const db::Database file = openGradebook(path);
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
    static int count = 0;
    const QString sql = QStringLiteral("CREATE TRIGGER fail%1 BEFORE %2 ON \"%3\" WHEN %4 BEGIN SELECT RAISE(ABORT, 'injected'); END;")
                            .arg(++count)
                            .arg(QLatin1String(event), table, when);
    QCOMPARE(rawExec(path, gradebook::databasePassword().toUtf8(), sql.toUtf8().constData()), 0);
}

}  // namespace testsupport
