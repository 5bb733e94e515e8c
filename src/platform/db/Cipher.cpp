#include "Cipher.h"

#include "Guard.h"

#include <QtEndian>
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
    keys.hmacKey = pbkdf2(keys.key, hmacSalt, kHmacRounds);
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

FirstPage checkFirstPage(const CipherKeys& keys, const unsigned char* page) {
    if (keys.key.isEmpty() || keys.hmacKey.isEmpty()
        || CRYPTO_memcmp(page, keys.salt.constData(), kSaltSize) != 0)
        return FirstPage::Unknown;
    // The HMAC covers the encrypted page past the salt, its IV and its number (1, little-endian).
    const int encrypted = kPageSize - kReserve - kSaltSize;
    QByteArray signedPart(reinterpret_cast<const char*>(page) + kSaltSize, encrypted + kIvSize);
    signedPart.append("\x01\0\0\0", 4);
    unsigned char mac[EVP_MAX_MD_SIZE];
    unsigned int macSize = 0;
    if (!HMAC(EVP_sha1(), keys.hmacKey.constData(), int(keys.hmacKey.size()),
              reinterpret_cast<const unsigned char*>(signedPart.constData()), size_t(signedPart.size()), mac, &macSize)
        || macSize != kHmacSize || CRYPTO_memcmp(mac, page + kPageSize - kReserve + kIvSize, kHmacSize) != 0)
        return FirstPage::Unknown;

    // The header's fields that matter lie in the first block past the salt.
    const unsigned char* iv = page + kPageSize - kReserve;
    unsigned char header[32];
    int out = 0;
    const std::unique_ptr<EVP_CIPHER_CTX, void (*)(EVP_CIPHER_CTX*)> ctx(EVP_CIPHER_CTX_new(), EVP_CIPHER_CTX_free);
    if (!ctx || EVP_DecryptInit_ex(ctx.get(), EVP_aes_256_cbc(), nullptr,
                                   reinterpret_cast<const unsigned char*>(keys.key.constData()), iv)
                    != 1
        || EVP_CIPHER_CTX_set_padding(ctx.get(), 0) != 1
        || EVP_DecryptUpdate(ctx.get(), header, &out, page + kSaltSize, 16) != 1 || out != 16)
        return FirstPage::Unknown;
    // Offsets 16 to 20 of the page: its size, the versions that write and read it (1 for a
    // rollback journal, 2 for a WAL) and its reserved space.
    const bool sound = qFromBigEndian<quint16>(header) == kPageSize && header[2] == 1 && header[3] == 1
                    && header[4] == kReserve;
    return sound ? FirstPage::Sound : FirstPage::Refused;
}

}  // namespace db::detail
