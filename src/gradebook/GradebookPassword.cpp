#include "GradebookPassword.h"

#include "GradebookSchema.h"
#include "platform/db/Database.h"

#include <QByteArray>
#include <QRandomGenerator>
#include <QStringList>
#include <openssl/crypto.h>
#include <openssl/evp.h>

namespace gradebookpassword {
namespace {

const QString kPrefix = QStringLiteral("pbkdf2-sha256");
// About a sixth of a second on a recent machine: nothing for the one check at opening,
// very long for whoever tries every password. It is also the most that a hash may ask for:
// the window waits for the check, and a crafted file must not make it wait longer than
// for one the program wrote.
constexpr int kIterations = 600000;
constexpr int kSaltSize = 16;
constexpr int kHashSize = 32;

QByteArray derive(const QString& password, const QByteArray& salt, int iterations) {
    const QByteArray bytes = password.toUtf8();
    QByteArray hash(kHashSize, '\0');
    if (PKCS5_PBKDF2_HMAC(bytes.constData(), int(bytes.size()), reinterpret_cast<const unsigned char*>(salt.constData()),
                          int(salt.size()), iterations, EVP_sha256(), kHashSize,
                          reinterpret_cast<unsigned char*>(hash.data())) != 1)
        throw db::DbError(db::DbErrc::Engine);
    return hash;
}

QString hashed(const QString& password) {
    QByteArray salt(kSaltSize, '\0');
    QRandomGenerator::system()->generate(salt.begin(), salt.end());
    return QStringList{kPrefix, QString::number(kIterations), QString::fromLatin1(salt.toBase64()),
                       QString::fromLatin1(derive(password, salt, kIterations).toBase64())}
        .join(u'$');
}

bool isHash(const QString& passe) { return passe.startsWith(kPrefix + u'$'); }

}  // namespace

QString stored(const QString& password) {
    if (password.isEmpty() || password == gradebook::noPassword())
        return gradebook::noPassword();
    return hashed(password);
}

bool matches(const QString& passe, const QString& typed) {
    if (!isHash(passe))
        return passe == typed;
    const QStringList parts = passe.split(u'$');
    bool number = false;
    const int iterations = parts.size() == 4 ? parts[1].toInt(&number) : 0;
    const auto salt = QByteArray::fromBase64Encoding(parts.value(2).toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    const auto hash = QByteArray::fromBase64Encoding(parts.value(3).toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!number || iterations < 1 || iterations > kIterations || !salt || !hash || hash.decoded.size() != kHashSize)
        return false;
    return CRYPTO_memcmp(derive(typed, salt.decoded, iterations).constData(), hash.decoded.constData(), kHashSize) == 0;
}

void upgrade(const db::Database& gradebook, const QString& passe, const QString& typed) {
    if (!isHash(passe) && passe != gradebook::noPassword())
        gradebook.Properties(QStringLiteral("Passe")).setValue(stored(typed));
}

}  // namespace gradebookpassword
