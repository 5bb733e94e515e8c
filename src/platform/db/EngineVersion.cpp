#include "EngineVersion.h"

#include "FileChecks.h"
#include "Sqlite.h"

namespace db {

void startEngine() { detail::refuseWaits(); }

QString cipherVersion() {
    sqlite3* handle = nullptr;
    QString version;
    if (sqlite3_open_v2(":memory:", &handle, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(handle, "PRAGMA cipher_version", -1, &stmt, nullptr) == SQLITE_OK) {
            const sqlite::Statement owned(stmt);
            if (sqlite3_step(stmt) == SQLITE_ROW)
                version = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
        }
    }
    sqlite3_close(handle);
    return version;
}

bool cipherVersionSupported() {
    static const bool supported = cipherVersion().section(u'.', 0, 0) == u"3";
    return supported;
}

QString unsupportedCipherMessage() {
    const QString version = cipherVersion();
    return QStringLiteral("Quibolet ne peut pas lire ni écrire ses carnets de notes avec la bibliothèque SQLCipher "
                          "installée (version %1) : il lui faut SQLCipher 3.")
        .arg(version.isEmpty() ? QStringLiteral("inconnue") : version);
}

}  // namespace db
