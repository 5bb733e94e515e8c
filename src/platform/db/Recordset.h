#pragma once
// Rows of a table or a query, with a current row.
//
// A dynaset reads one table and writes to it: AddNew or Edit, field assignments, Update;
// Delete. It sees its own additions and deletions at once; a row added through it comes
// last (MoveLast lands on it, whatever the sort order), so that its new key can be read.
// A dynaset on a whole table with no sort follows the table itself: its finds run on the
// table's indexes, however many rows it holds.
// A snapshot is a read-only copy of the rows taken when it was opened; a forward-only
// recordset is a snapshot read once, in order.
//
//   rs.FindFirst(db::Field("NumSérie") == s && db::Field("NumElv") == e);
//   if (rs.NoMatch()) { rs.AddNew(); ... } else rs.Edit();
//   rs.Fields("Note").setValue(12.5);
//   rs.Update();
#include "Query.h"
#include "Schema.h"

#include <QString>
#include <QVariant>
#include <memory>

namespace db {

namespace detail {
class Connection;
}

enum class RecordsetType { Dynaset = 2, Snapshot = 4, ForwardOnly = 8 };

class Recordset;

// One field of the current row (or of the row being added or edited).
class RecordField {
public:
    QString Name() const;
    FieldType Type() const;
    int Size() const;
    // Null is an invalid QVariant. NoCurrentRecord when there is no current row.
    QVariant Value() const;
    // Only between AddNew or Edit and Update; converted and checked against the field's
    // type and size at once (TypeMismatch, OutOfRange, TextTooLong).
    void setValue(const QVariant& value) const;

private:
    friend class Recordset;
    RecordField(const Recordset& recordset, int column) : m_recordset(&recordset), m_column(column) {}
    const Recordset* m_recordset;
    int m_column;
};

class Recordset {
public:
    Recordset();  // a closed recordset; every call but isOpen() and Close() fails
    Recordset(Recordset&& other) noexcept;
    Recordset& operator=(Recordset&& other) noexcept;
    ~Recordset();

    bool isOpen() const;
    RecordsetType Type() const;

    // Past the last row (also on an empty recordset). The name EOF is a C macro.
    bool Eof() const;
    // NoCurrentRecord when there is no row to move to.
    void MoveFirst();
    void MoveNext();
    void MoveLast();
    // Rows in the recordset now (0 exactly when it is empty).
    int RecordCount() const;
    // Position of the current row from 0, -1 when there is none.
    int AbsolutePosition() const;
    void setAbsolutePosition(int position);  // OutOfRange when there is no such row

    // FindFirst looks from the first row, FindNext from the row after the current one.
    // With no match, NoMatch() is true and the current row does not change.
    void FindFirst(const Criteria& criteria);
    void FindNext(const Criteria& criteria);
    bool NoMatch() const;

    // Starts a new row, its fields at their defaults.
    void AddNew();
    // Starts changing the current row.
    void Edit();
    // Writes the row, or fails with DuplicateKey, RequiredMissing, EmptyText or
    // ValidationRule and writes nothing; the pending row stays until the next move.
    // After AddNew the current row is the one that was current before.
    void Update();
    // Deletes the current row; there is then no current row until the next move or find.
    void Delete();
    void Close();

    // NoSuchField when the recordset has no field of that name. In a query joining two
    // tables, "Table.Field" names a field; a bare name does when only one table has it.
    RecordField Fields(const QString& name) const;

private:
    friend class Database;
    friend class RecordField;
    struct Impl;
    Recordset(std::shared_ptr<detail::Connection> connection, const Query& query, RecordsetType type);
    Impl& impl() const;

    std::unique_ptr<Impl> d;
};

}  // namespace db
