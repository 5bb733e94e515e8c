// Times the store's main operations on a large gradebook, each beside the same work done
// with plain prepared SQLite statements on the same file.
//
//   bench_store [file]    (default: <temp>/quibolet-bench.dat, generated when missing)
#include "BenchKit.h"

#include "gradebook/GradebookSchema.h"
#include "gradebook/mUtilities.h"
#include "mainwindow/GradeGrid.h"
#include "platform/db/Database.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <cstdio>
#include <vector>

namespace {

using bench::compare;
using bench::Plain;
using bench::sink;
using db::Field;
using db::Query;
using db::RecordsetType;

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString path = bench::benchGradebook(argc, argv);

    const int classKey = 6, subjectKey = 6;
    std::vector<std::pair<int, int>> grades;  // (series, student) pairs that exist
    {
        Plain plain(path);
        auto count = plain.prepare("SELECT count(*) FROM \"Notes\"");
        sqlite3_step(count.get());
        const int total = sqlite3_column_int(count.get(), 0);
        std::printf("%s: %d grades\n\n", qPrintable(path), total);
        auto pick = plain.prepare("SELECT \"NumSérie\", \"NumElv\" FROM \"Notes\" WHERE rowid = ?");
        QRandomGenerator random(7);
        while (grades.size() < 2000) {
            sqlite3_bind_int64(pick.get(), 1, 1 + random.bounded(total));
            if (sqlite3_step(pick.get()) == SQLITE_ROW)
                grades.emplace_back(sqlite3_column_int(pick.get(), 0), sqlite3_column_int(pick.get(), 1));
            sqlite3_reset(pick.get());
        }
    }
    bench::printHeader();

    // Opening: the file, its kind, its decimals and the shared dynaset on "Notes".
    compare("open a gradebook", 2, [&](int) {
        db::Database d = db::Database::OpenDatabase(path, gradebook::databasePassword());
        sink += mUtilities::GetFileKind(d);
        sink += d.Properties(QStringLiteral("Moyenne")).Value().toInt();
        db::Recordset notes = d.OpenRecordset(Query(QStringLiteral("Notes")));
        sink += notes.Eof();
    }, [&](int) {
        bench::plainOpen(Plain(path), {"App", "Moyenne"}, true);
    });

    db::Database file = db::Database::OpenDatabase(path, gradebook::databasePassword());
    mUtilities::gRsNotes = file.OpenRecordset(Query(QStringLiteral("Notes")));
    Plain plain(path);

    // The grade grid of one class and subject, as the program reads it (its students, its
    // series, their grades), against the plain reads of the same rows.
    bench::PlainGrid plainGrid(plain);
    compare("read one class and subject's grid (readGrid)", 20, [&](int) {
        const gradegrid::GridData data = gradegrid::readGrid(file, classKey, subjectKey);
        sink += data.students.size() + data.series.size();
    }, [&](int) { plainGrid.read(classKey, subjectKey); });

    // One grade found in the shared dynaset, as the grid and the table of averages do.
    auto find = plain.prepare("SELECT \"Note\" FROM \"Notes\" WHERE \"NumSérie\" = ? AND \"NumElv\" = ?");
    compare("find one grade in the Notes dynaset", 3000, [&](int i) {
        const auto [s, e] = grades[i % grades.size()];
        mUtilities::gRsNotes.FindFirst(Field(QStringLiteral("NumSérie")) == s && Field(QStringLiteral("NumElv")) == e);
        sink += mUtilities::gRsNotes.Fields(QStringLiteral("Note")).Value().toDouble();
    }, [&](int i) {
        const auto [s, e] = grades[i % grades.size()];
        sqlite3_bind_int(find.get(), 1, s);
        sqlite3_bind_int(find.get(), 2, e);
        if (sqlite3_step(find.get()) == SQLITE_ROW)
            sink += sqlite3_column_double(find.get(), 0);
        sqlite3_reset(find.get());
    });

    // One grade written at once, each in its own transaction.
    auto write = plain.prepare("UPDATE \"Notes\" SET \"Note\" = ? WHERE \"NumSérie\" = ? AND \"NumElv\" = ?");
    compare("write one grade", 30, [&](int i) {
        const auto [s, e] = grades[i % grades.size()];
        mUtilities::gRsNotes.FindFirst(Field(QStringLiteral("NumSérie")) == s && Field(QStringLiteral("NumElv")) == e);
        mUtilities::gRsNotes.Edit();
        mUtilities::gRsNotes.Fields(QStringLiteral("Note")).setValue(i % 21);
        mUtilities::gRsNotes.Update();
    }, [&](int i) {
        const auto [s, e] = grades[i % grades.size()];
        sqlite3_bind_double(write.get(), 1, i % 21);
        sqlite3_bind_int(write.get(), 2, s);
        sqlite3_bind_int(write.get(), 3, e);
        sqlite3_step(write.get());
        sqlite3_reset(write.get());
    });
    std::printf("\n(checksum %g)\n", sink);
    return 0;
}
