#include "DbTestSupport.h"
#include "gradebook/GradebookSchema.h"
#include "platform/db/Cipher.h"
#include "platform/db/Collations.h"
#include "platform/db/Sqlite.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <QtEndian>
#include <openssl/evp.h>
#include <openssl/hmac.h>

using namespace Qt::StringLiterals;

namespace testsupport {

using namespace db;

RawFile rawOpen(const QString& path, const QByteArray& key, bool olderComparison) {
    sqlite3* h = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &h);
    // Like any program, it waits while another reads (the program checks a file it opened).
    sqlite3_busy_timeout(h, 5000);
    if (!key.isEmpty()) sqlite3_key(h, key.constData(), int(key.size()));
    const auto older = [](void*, int na, const void* a, int nb, const void* b) {
        return QString::fromUtf8(static_cast<const char*>(a), na)
            .compare(QString::fromUtf8(static_cast<const char*>(b), nb), Qt::CaseInsensitive);
    };
    if (olderComparison)
        sqlite3_create_collation_v2(h, db::collation::kCaseInsensitive, SQLITE_UTF8, nullptr, older, nullptr);
    else
        db::collation::registerOn(h);
    return {h, sqlite3_close};
}

int rawExec(const QString& path, const QByteArray& key, const char* sql, bool olderComparison) {
    return sqlite3_exec(rawOpen(path, key, olderComparison).get(), sql, nullptr, nullptr, nullptr);
}

int rawExecSteps(const QString& path, const QByteArray& key, const QByteArray& steps, bool olderComparison) {
    for (const QByteArray& step : steps.split('\n'))
        if (const int rc = rawExec(path, key, step.constData(), olderComparison); rc != SQLITE_OK) return rc;
    return SQLITE_OK;
}

QByteArray behindIndex(const char* index, const char* exempt, const QByteArray& sql) {
    // A connection reads the definitions once: the index changes for the next one.
    const QByteArray where = " WHERE NOT (" + QByteArray(exempt).replace('\'', "''") + ')';
    const QByteArray change = "PRAGMA writable_schema = 1; UPDATE sqlite_master SET sql = ";
    const QByteArray name = QByteArray(" WHERE name = '") + index + '\'';
    return change + "sql || '" + where + '\'' + name + '\n' + sql + '\n' + change + "replace(sql, '" + where + "', '')" + name;
}

QByteArray decryptedContent(const QString& path) {
    const QTemporaryDir dir;
    const QString plain = dir.filePath(u"plain.db"_s);
    const QByteArray sql = "ATTACH DATABASE '" + QFile::encodeName(plain) + "' AS plain KEY ''; SELECT sqlcipher_export('plain')";
    const int rc = rawExec(path, gradebook::databasePassword().toUtf8(), sql.constData());
    return rc == SQLITE_OK ? fileBytes(plain) : QByteArray();
}

bool rewriteFirstPage(const QString& path, const std::function<void(QByteArray& page)>& change) {
    // SQLCipher 3's page: past the salt, the encrypted part, its IV and its HMAC-SHA1, which
    // signs both and the page's number.
    constexpr int page = 1024, salt = 16, iv = 16, encrypted = page - 48 - salt;
    QByteArray bytes = fileBytes(path);
    if (bytes.size() < page) return false;
    const db::detail::CipherKeys keys =
        db::detail::deriveKeys(gradebook::databasePassword().toUtf8(), bytes.left(salt));
    const auto key = reinterpret_cast<const unsigned char*>(keys.key.constData());
    const auto ivBytes = reinterpret_cast<const unsigned char*>(bytes.constData() + salt + encrypted);
    const auto crypt = [&](bool encrypt, const QByteArray& in) {
        QByteArray out(in.size(), '\0');
        EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
        int n = 0;
        EVP_CipherInit_ex(ctx, EVP_aes_256_cbc(), nullptr, key, ivBytes, encrypt ? 1 : 0);
        EVP_CIPHER_CTX_set_padding(ctx, 0);
        EVP_CipherUpdate(ctx, reinterpret_cast<unsigned char*>(out.data()), &n,
                         reinterpret_cast<const unsigned char*>(in.constData()), int(in.size()));
        EVP_CIPHER_CTX_free(ctx);
        return out;
    };
    QByteArray plain = "SQLite format 3" + QByteArray(1, '\0') + crypt(false, bytes.mid(salt, encrypted));
    change(plain);
    bytes.replace(salt, encrypted, crypt(true, plain.mid(salt, encrypted)));
    const QByteArray signedPart = bytes.mid(salt, encrypted + iv) + QByteArray("\x01\0\0\0", 4);
    unsigned int size = 0;
    HMAC(EVP_sha1(), keys.hmacKey.constData(), int(keys.hmacKey.size()),
         reinterpret_cast<const unsigned char*>(signedPart.constData()), size_t(signedPart.size()),
         reinterpret_cast<unsigned char*>(bytes.data() + salt + encrypted + iv), &size);
    return writeFile(path, bytes);
}

QByteArray journalCuttingTo(quint32 pages) {
    // Its header: magic, number of pages (none), checksum seed, pages of the file before the
    // transaction, sector size, page size; then the rest of its sector.
    QByteArray header = QByteArray::fromHex("d9d505f920a163d7");
    for (const quint32 field : {0u, 0x5eed5eedu, pages, 512u, 1024u}) {
        char big[4];
        qToBigEndian(field, big);
        header.append(big, 4);
    }
    return header.leftJustified(512, '\0');
}

void addRow(Recordset& rs, std::initializer_list<std::pair<const char*, QVariant>> values) {
    rs.AddNew();
    for (const auto& [field, value] : values)
        rs.Fields(QString::fromUtf8(field)).setValue(value);
    rs.Update();
}

Database openGradebook(const QString& path) { return Database::OpenDatabase(path, gradebook::databasePassword()); }

TableDef classesTable() {
    return TableDef(u"Classes"_s)
        .appendField(FieldDef(u"NumClass"_s, FieldType::Long).setAutoIncrement())
        .appendField(FieldDef(u"Nom"_s, FieldType::Text, 50).setRequired())
        .appendField(FieldDef(u"Colonne"_s, FieldType::Integer).setRequired())
        .appendIndex(IndexDef(u"NumClass"_s, {u"NumClass"_s}).setPrimary())
        .appendIndex(IndexDef(u"Nom"_s, {u"Nom"_s}).setUnique());
}

TableDef studentsTable() {
    return TableDef(u"Elèves"_s)
        .appendField(FieldDef(u"NumElv"_s, FieldType::Long).setAutoIncrement())
        .appendField(FieldDef(u"Nom"_s, FieldType::Text, 50).setRequired())
        .appendField(FieldDef(u"Prénom"_s, FieldType::Text, 50).setRequired())
        .appendField(FieldDef(u"NumClass"_s, FieldType::Long).setRequired())
        .appendIndex(IndexDef(u"NumElv"_s, {u"NumElv"_s}).setPrimary())
        .appendIndex(IndexDef(u"NumClass"_s, {u"NumClass"_s}))
        .appendIndex(IndexDef(u"NomPrénom"_s, {u"Nom"_s, u"Prénom"_s}).setUnique());
}

TableDef seriesTable() {
    return TableDef(u"Séries"_s)
        .appendField(FieldDef(u"NumSérie"_s, FieldType::Long).setAutoIncrement())
        .appendField(FieldDef(u"Sur"_s, FieldType::Byte).setRequired().setDefaultValue(0))
        .appendField(
            FieldDef(u"Période"_s, FieldType::Byte).setRequired().setDefaultValue(1).setValidationRule(Between{1, 3}))
        .appendField(FieldDef(u"Date"_s, FieldType::Date)
                         .setRequired()
                         .setDefaultValue(QDateTime(QDate(2024, 9, 2), QTime(8, 30))))
        .appendField(FieldDef(u"EC"_s, FieldType::Memo).setAllowZeroLength())
        .appendIndex(IndexDef(u"NumSérie"_s, {u"NumSérie"_s}).setPrimary());
}

TableDef notesTable() {
    return TableDef(u"Notes"_s)
        .appendField(FieldDef(u"Note"_s, FieldType::Single).setRequired().setDefaultValue(0))
        .appendField(FieldDef(u"NumSérie"_s, FieldType::Long).setRequired())
        .appendField(FieldDef(u"NumElv"_s, FieldType::Long).setRequired())
        .appendIndex(IndexDef(u"NumSérieElv"_s, {u"NumSérie"_s, u"NumElv"_s}).setPrimary())
        .appendIndex(IndexDef(u"NumSérie"_s, {u"NumSérie"_s}))
        .appendIndex(IndexDef(u"NumElv"_s, {u"NumElv"_s}));
}

Database createTestFile(const QString& path, const QList<TableDef>& tables) {
    Database d = Database::CreateDatabase(path, kTestPassword);
    for (const TableDef& t : tables)
        d.CreateTable(t);
    return d;
}

}  // namespace testsupport
