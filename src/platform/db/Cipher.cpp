#include "Cipher.h"

#include "DbError.h"
#include "Guard.h"

#include <QtEndian>
#include <algorithm>
#include <memory>
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/rand.h>

namespace db::detail {
namespace {

constexpr int kKeySize = 32;
constexpr int kRounds = 64000;
constexpr int kHmacRounds = 2;
constexpr unsigned char kHmacSaltMask = 0x3a;
constexpr int kIvSize = 16;
constexpr int kHmacSize = 20;
constexpr int kReserve = 48;  // the IV and the HMAC, in whole AES blocks

QByteArray pbkdf2(const QByteArray& secret, const QByteArray& salt, int rounds) {
    QByteArray out(kKeySize, '\0');
    if (PKCS5_PBKDF2_HMAC(secret.constData(), int(secret.size()), reinterpret_cast<const unsigned char*>(salt.constData()),
                          int(salt.size()), rounds, EVP_sha1(), kKeySize, reinterpret_cast<unsigned char*>(out.data()))
        != 1)
        return {};
    return out;
}

}  // namespace

QByteArray FileKey::sqlcipherKey() const {
    if (!keys)
        return password;
    return "x'" + (keys->key + keys->salt).toHex() + '\'';
}

CipherKeys deriveKeys(const QByteArray& password, const QByteArray& salt) {
    CipherKeys keys{salt, pbkdf2(password, salt, kRounds), {}};
    QByteArray hmacSalt = salt;
    for (char& c : hmacSalt)
        c = char(c ^ kHmacSaltMask);
    if (!keys.key.isEmpty())
        keys.hmacKey = pbkdf2(keys.key, hmacSalt, kHmacRounds);
    // An empty key would make SQLCipher take its text for a passphrase: a file that no
    // derivation opens again.
    if (keys.hmacKey.isEmpty())
        throw DbError(DbErrc::Engine, QStringLiteral("PBKDF2"));
    return keys;
}

FileKey keyForNewFile(const QByteArray& password) {
    if (password.isEmpty())
        return {};
    QByteArray salt(kSaltSize, '\0');
    if (RAND_bytes(reinterpret_cast<unsigned char*>(salt.data()), kSaltSize) != 1)
        return {password, std::nullopt};  // SQLCipher draws one itself
    return {password, deriveKeys(password, salt)};
}

FileKey keyForFile(const QString& path, const QByteArray& password) {
    if (password.isEmpty())
        return {};
    const QByteArray salt = SystemFile(path).read(0, kSaltSize);
    if (salt.size() < kSaltSize)
        return {password, std::nullopt};
    return {password, deriveKeys(password, salt)};
}

bool pageIsSigned(const CipherKeys& keys, const unsigned char* page, quint32 number) {
    if (keys.hmacKey.isEmpty())
        return false;
    // The HMAC covers the encrypted page (page 1's past its salt), its IV and its number,
    // little-endian.
    const int skipped = number == 1 ? kSaltSize : 0;
    QByteArray signedPart(reinterpret_cast<const char*>(page) + skipped, kPageSize - kReserve - skipped + kIvSize);
    char littleEndian[4];
    qToLittleEndian(number, littleEndian);
    signedPart.append(littleEndian, 4);
    unsigned char mac[EVP_MAX_MD_SIZE];
    unsigned int macSize = 0;
    return HMAC(EVP_sha1(), keys.hmacKey.constData(), int(keys.hmacKey.size()),
                reinterpret_cast<const unsigned char*>(signedPart.constData()), size_t(signedPart.size()), mac, &macSize)
        && macSize == kHmacSize && CRYPTO_memcmp(mac, page + kPageSize - kReserve + kIvSize, kHmacSize) == 0;
}

QByteArray decryptPage(const CipherKeys& keys, const unsigned char* page, quint32 number, int length) {
    const int skipped = number == 1 ? kSaltSize : 0;
    const int whole = kPageSize - kReserve - skipped;
    if (length < 0 || length > whole)
        length = whole;
    QByteArray plain(length, '\0');
    int out = 0;
    const std::unique_ptr<EVP_CIPHER_CTX, void (*)(EVP_CIPHER_CTX*)> ctx(EVP_CIPHER_CTX_new(), EVP_CIPHER_CTX_free);
    if (keys.key.size() != kKeySize || length % 16 != 0 || !ctx
        || EVP_DecryptInit_ex(ctx.get(), EVP_aes_256_cbc(), nullptr,
                              reinterpret_cast<const unsigned char*>(keys.key.constData()), page + kPageSize - kReserve)
               != 1
        || EVP_CIPHER_CTX_set_padding(ctx.get(), 0) != 1
        || EVP_DecryptUpdate(ctx.get(), reinterpret_cast<unsigned char*>(plain.data()), &out, page + skipped, length) != 1
        || out != length)
        return {};
    return plain;
}

FirstPage checkFirstPage(const CipherKeys& keys, const unsigned char* page, qint64 filePages) {
    if (keys.key.isEmpty() || CRYPTO_memcmp(page, keys.salt.constData(), kSaltSize) != 0 || !pageIsSigned(keys, page, 1))
        return FirstPage::Unknown;

    // The header lies in the first blocks past the salt: offsets 16 to 100 of the page.
    constexpr int kHeaderEnd = 112;  // whole AES blocks
    const QByteArray decrypted = decryptPage(keys, page, 1, kHeaderEnd - kSaltSize);
    if (decrypted.isEmpty())
        return FirstPage::Unknown;
    // Read at the offsets of the page, whose decrypted part starts past the salt.
    const auto plain = reinterpret_cast<const unsigned char*>(decrypted.constData());
    const auto byteAt = [&](int offset) { return plain[offset - kSaltSize]; };
    const auto wordAt = [&](int offset) { return qFromBigEndian<quint32>(plain + offset - kSaltSize); };
    // What SQLite writes into every file of the engine, which sets no pragma: pages of its
    // size, read and written by a rollback journal (a WAL would be 2), its reserved space,
    // the payload fractions that SQLite fixes, the schema format of a file with tables, no
    // cache size, no vacuum, UTF-8 texts (1), no user version nor application id, and the
    // space reserved for expansion left zero.
    const bool fixed = qFromBigEndian<quint16>(plain + 16 - kSaltSize) == kPageSize && byteAt(18) == 1 && byteAt(19) == 1
                    && byteAt(20) == kReserve && byteAt(21) == 64 && byteAt(22) == 32 && byteAt(23) == 32
                    && wordAt(44) == 4 && wordAt(48) == 0 && wordAt(52) == 0 && wordAt(56) == 1 && wordAt(60) == 0
                    && wordAt(64) == 0 && wordAt(68) == 0
                    && std::all_of(plain + 72 - kSaltSize, plain + 92 - kSaltSize, [](unsigned char c) { return c == 0; });
    // The free list's first trunk page and its length, within the file; page 1 is never free.
    const quint32 trunk = wordAt(32), freePages = wordAt(36);
    const bool freeList = trunk <= filePages && qint64(freePages) < filePages && (freePages == 0 || trunk >= 2);
    return fixed && freeList ? FirstPage::Sound : FirstPage::Refused;
}

}  // namespace db::detail
