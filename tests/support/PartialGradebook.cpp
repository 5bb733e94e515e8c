#include "PartialGradebook.h"

#include "gradebook/GradebookSchema.h"

namespace testsupport {

using namespace db;

Database gradebookWithout(const QString& path, const QStringList& drop, const QString& version, const QString& app) {
    Database d = Database::CreateDatabase(path, gradebook::databasePassword());
    for (const gradebook::PropertyDef& p : gradebook::gradebookProperties()) {
        const QString given = p.name == u"App" ? app : p.name == u"VersionID" ? version : QString();
        d.CreateProperty(p.name, p.type, given.isEmpty() ? p.value : given);
    }
    for (const TableDef& table : gradebook::gradebookTables(kPartialCreated)) {
        const auto kept = [&](const QString& part) {
            return !drop.contains(part) && !drop.contains(table.Name() + u'.' + part);
        };
        if (drop.contains(table.Name())) continue;
        TableDef partial(table.Name());
        for (const FieldDef& f : table.Fields())
            if (kept(f.Name())) partial.appendField(f);
        for (const IndexDef& i : table.Indexes())
            if (kept(i.Name())) partial.appendIndex(i);
        d.CreateTable(partial);
    }
    return d;
}

}  // namespace testsupport
