#pragma once
// Inside the engine: the cipher that SQLCipher applies to the program's files, as far as the
// engine needs it itself. Every file is written with SQLCipher 3's settings: pages of 1024
// bytes, AES-256-CBC, the key drawn from the password and the file's salt (its first 16
// bytes) by PBKDF2-HMAC-SHA1 over 64000 rounds, and every page ending in its IV and its
// HMAC-SHA1 (the reserved space at its end).
#include <QByteArray>
#include <QString>
#include <optional>

namespace db::detail {

inline constexpr int kPageSize = 1024;
inline constexpr int kSaltSize = 16;

struct CipherKeys {
    QByteArray salt;
    QByteArray key;      // of the pages' AES
    QByteArray hmacKey;  // of the pages' HMAC
};

// What a file is opened or created with: its password and, unless it is kept without
// encryption (an empty password) or is too short to hold a salt, the keys they give.
struct FileKey {
    QByteArray password;
    std::optional<CipherKeys> keys;

    // What SQLCipher is keyed with: the keys themselves where they are known, so that
    // SQLCipher does not spend the derivation a second time.
    QByteArray sqlcipherKey() const;
};

// The keys of a new file, whose salt is drawn here; of the file at path, from its salt.
// DbError Engine when the keys cannot be drawn: a file keyed with none could never be read again.
FileKey keyForNewFile(const QByteArray& password);
FileKey keyForFile(const QString& path, const QByteArray& password);
CipherKeys deriveKeys(const QByteArray& password, const QByteArray& salt);

// Whether a page as it lies on disk (kPageSize bytes) bears the HMAC that these keys give
// it under its number: a page that these keys wrote there.
bool pageIsSigned(const CipherKeys& keys, const unsigned char* page, quint32 number);

// The encrypted part of a page as it lies on disk (all of it but its reserved space, and page
// 1's salt), decrypted with these keys: its first `length` bytes, a whole number of AES
// blocks (all of it when negative); empty when it cannot be decrypted.
QByteArray decryptPage(const CipherKeys& keys, const unsigned char* page, quint32 number, int length = -1);

// The first page of a file of `filePages` pages as it lies on disk (kPageSize bytes), read
// before SQLCipher decrypts it. Unknown when it is not one that these keys wrote (SQLCipher
// then refuses it itself); Refused when it is, but its header holds what the engine never
// writes: another page size (SQLCipher would read past its buffers), other reserved space, a
// WAL, another text encoding, a free list beyond the file, a vacuum mode, and the like.
enum class FirstPage { Unknown, Sound, Refused };
FirstPage checkFirstPage(const CipherKeys& keys, const unsigned char* page, qint64 filePages);

}  // namespace db::detail
