#include "mUtilities.h"

#include "GradebookSchema.h"
#include "StoreErrors.h"
#include "VersionInfo.h"
#include "platform/SystemMessage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryFile>
#include <algorithm>

namespace mUtilities {

db::Database gDB;
db::Recordset gRsNotes;
QString gAverageFormat;

namespace {

MessageListHandler& newGradebookNotice() {
    static MessageListHandler handler;
    return handler;
}

QuestionHandler& conversionQuestion() {
    static QuestionHandler handler;
    return handler;
}

QString conversionMessage() {
    return QStringLiteral("Le carnet de notes que vous tentez d'ouvrir a été créé avec une version antérieure.\n"
                          "Il va être converti au format ")
         + platform::version::text()
         + QStringLiteral("\nCette conversion ne modifiera pas vos données.\n"
                          "Si vous souhaitez tout de même faire une copie de sauvegarde de ce fichier, "
                          "choisissez Annuler et effectuez d'abord cette copie.");
}

void setEveryRow(db::Database& database, const QString& table, const QString& field, const QVariant& value) {
    db::Recordset rs = database.OpenRecordset(db::Query(table));
    for (; !rs.Eof(); rs.MoveNext()) {
        rs.Edit();
        rs.Fields(field).setValue(value);
        rs.Update();
    }
}

// Gradebooks made before an index joined the schema gain it: the grid's reads count on it.
// A file that cannot be written to (read-only) still opens, only slower.
void addMissingIndexes(db::Database& database) {
    for (const db::TableDef& wanted : gradebook::gradebookTables(platform::dates::zonelessNow())) {
        if (!database.hasTable(wanted.Name()))
            continue;
        const db::TableDef present = database.TableDefs(wanted.Name());
        for (const db::IndexDef& index : wanted.Indexes()) {
            const bool missing = std::none_of(present.Indexes().begin(), present.Indexes().end(),
                                              [&](const db::IndexDef& i) { return db::sameName(i.Name(), index.Name()); });
            const bool buildable = std::all_of(index.Fields().begin(), index.Fields().end(),
                                               [&](const QString& f) { return present.fieldIndex(f) >= 0; });
            if (!missing || !buildable || index.Primary())
                continue;
            try {
                database.CreateIndex(wanted.Name(), index);
            } catch (const db::DbError&) {
            }
        }
    }
}

}  // namespace

QString AverageFormat(int moyenne) { return moyenne == 1 ? QStringLiteral("0.0") : QStringLiteral("0.00"); }

QString DefaultGradebookName(const QDate& today) {
    const int first = today.month() > 8 ? today.year() : today.year() - 1;
    return QStringLiteral("Année %1-%2").arg(first).arg(first + 1);
}

void CreateGradebookFile(const QString& path, const QDateTime& created) {
    // Refused before anything is written when a copy of the program, this one included, has
    // the file open; kept from every opening until the new file is in its place.
    db::Replacement replacing(path);
    const QFileInfo target(path);
    QString temporary;
    do {
        temporary = target.absolutePath() + QStringLiteral("/.") + target.fileName()
                  + QStringLiteral(".%1.tmp").arg(QRandomGenerator::global()->generate(), 8, 16, QChar(u'0'));
    } while (QFileInfo::exists(temporary));
    try {
        db::Database file = db::Database::CreateDatabase(temporary, gradebook::databasePassword());
        db::Transaction transaction(file);
        for (const gradebook::PropertyDef& p : gradebook::gradebookProperties())
            file.CreateProperty(p.name, p.type, p.value);
        for (const db::TableDef& table : gradebook::gradebookTables(created))
            file.CreateTable(table);
        transaction.commit();
        file.Close();
        // In one step: there is always one whole file.
        replacing.replaceWith(temporary);
    } catch (...) {
        QFile::remove(temporary);
        QFile::remove(temporary + QStringLiteral("-journal"));
        throw;
    }
}

bool CreateGradebook(const QString& path) {
    try {
        CreateGradebookFile(path);
    } catch (const std::exception& e) {
        const auto* error = dynamic_cast<const db::DbError*>(&e);
        platform::criticalMessage(nullptr, platform::version::productName(),
                                  error && error->code() == db::DbErrc::InUse
                                      ? storeerrors::openingMessage(e)
                                      : QStringLiteral("Impossible de créer ") + path + u'.');
        return false;
    }
    if (const MessageListHandler& notice = newGradebookNotice())
        notice(QStringLiteral("Nouveau carnet de notes créé."),
               {QStringLiteral("Créez à présent une ou plusieurs classes."),
                QStringLiteral("Créez la liste d'élèves de chaque nouvelle classe."),
                QStringLiteral("Créez une ou plusieurs matières."),
                QStringLiteral("Créez les séries de notes."),
                QStringLiteral("Et enfin, saisissez vos notes."),
                QStringLiteral("Vous pouvez protéger l'accès à ce carnet de notes par un "
                               "mot de passe (menu Outils/Options)."),
                QStringLiteral("Consultez le fichier d'aide pour de plus amples renseignements.")});
    return true;
}

void setNewGradebookNotice(MessageListHandler handler) { newGradebookNotice() = std::move(handler); }

quint8 GetFileKind(const db::Database& database) {
    try {
        const QString app = database.Properties(QStringLiteral("App")).Value().toString();
        if (app == gradebook::gradebookApp())
            return 1;
        if (app == gradebook::exportApp())
            return 2;
    } catch (const std::exception&) {
    }
    return 0;
}

bool IsWholeFile(const db::Database& file) {
    switch (GetFileKind(file)) {
    case 1: {
        const QStringList properties = file.PropertyNames();
        const QList<db::TableDef> tables = gradebook::gradebookTables(QDateTime(QDate(2000, 1, 1), QTime(0, 0)));
        const QList<gradebook::PropertyDef> defaults = gradebook::gradebookProperties();
        return std::all_of(tables.begin(), tables.end(), [&](const db::TableDef& t) { return file.hasTable(t.Name()); })
            && std::all_of(defaults.begin(), defaults.end(),
                           [&](const gradebook::PropertyDef& p) { return properties.contains(p.name, Qt::CaseInsensitive); });
    }
    case 2: return true;
    default: return false;
    }
}

int VersionNumber(const db::Database& database) {
    QString text = database.Properties(QStringLiteral("VersionID")).Value().toString();
    text.remove(u'.');
    bool ok = false;
    const qlonglong n = text.trimmed().toLongLong(&ok);
    if (!ok)
        throw db::DbError(db::DbErrc::TypeMismatch, QStringLiteral("VersionID"));
    if (n < -32768 || n > 32767)
        throw db::DbError(db::DbErrc::OutOfRange, QStringLiteral("VersionID"));
    return int(n);
}

bool CheckGradebookVersion(db::Database& database) {
    const std::optional<int> n = AskGradebookConversion(database);
    if (n)
        ConvertGradebook(database, *n);
    return n.has_value();
}

std::optional<int> AskGradebookConversion(const db::Database& database) {
    const int n = VersionNumber(database);
    if (n < 120) {
        // Asked before the transaction starts: none is held while the user thinks.
        const QuestionHandler& ask = conversionQuestion();
        const QString answer = ask ? ask(platform::version::productName(), conversionMessage()) : QStringLiteral("2");
        if (answer == u"2")
            return std::nullopt;
    }
    return n;
}

void ConvertGradebook(db::Database& database, int n) {
    // One transaction, and fields already there are kept: a conversion that fails leaves
    // the file as it was, and one that was cut short by an older version can be run again.
    // An exchange file has no table "Classes".
    db::Transaction transaction(database);
    if (n < 120) {
        const QString colonne = QStringLiteral("Colonne");
        const QList<std::pair<QString, int>> widths = {{QStringLiteral("Séries"), gradebook::kNewSeriesWidth},
                                                       {QStringLiteral("Classes"), gradebook::kNewClassWidth}};
        for (const auto& [table, width] : widths)
            if (database.hasTable(table) && database.TableDefs(table).fieldIndex(colonne) < 0)
                database.AddField(table, db::FieldDef(colonne, db::FieldType::Integer).setRequired());
        for (const auto& [table, width] : widths)
            if (database.hasTable(table))
                setEveryRow(database, table, colonne, width);
    }
    if (n <= 121)
        database.Properties(QStringLiteral("VersionID")).setValue(platform::version::text());
    // Only the teacher's own gradebook gains what it lacks; a colleague's exchange file is
    // read as it came.
    if (GetFileKind(database) == 1)
        addMissingIndexes(database);
    transaction.commit();
}

void setConversionQuestion(QuestionHandler handler) { conversionQuestion() = std::move(handler); }

QString GetFileName(const QString& path) { return path.mid(path.lastIndexOf(u'/') + 1); }

QString RemoveExtension(const QString& name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? name : name.left(dot);
}

bool KillFile(const QString& path) {
    const QFileInfo info(path);
    return (info.isFile() || info.isSymLink()) && QFile::remove(path);
}

bool MakeDir(const QString& path) { return !path.isEmpty() && QDir().mkdir(path); }

QString TrimAtNull(const QString& text) {
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    return nul < 0 ? text : text.left(nul);
}

QString StoredName(const QString& text) { return text.normalized(QString::NormalizationForm_C); }

QString ShortenName(const QString& text) {
    return text.size() <= 20 ? text : text.left(17) + QStringLiteral("...");
}

QString MakeTempFileName(const QString& prefix) {
    QTemporaryFile file(QDir::tempPath() + u'/' + prefix + QStringLiteral("XXXXXX.tmp"));
    file.setAutoRemove(false);
    if (!file.open())
        return {};
    const QString name = file.fileName();
    file.close();
    KillFile(name);
    return name;
}

}  // namespace mUtilities
