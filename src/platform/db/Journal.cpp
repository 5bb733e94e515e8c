#include "Journal.h"

#include "Guard.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QtEndian>
#include <algorithm>
#include <limits>
#include <sys/stat.h>

namespace db::detail {

namespace {

// SQLite's rollback journal: segments, each a header of one sector (magic, number of
// records, checksum nonce, pages of the file before the transaction, and in the first one
// the sector and page sizes) and its records (page number, the page as it lay on disk,
// checksum), each segment starting at a sector boundary; last, perhaps, the record naming a
// super-journal (the number of the page past the lock byte, the name, its length, its
// checksum, magic).
constexpr char kMagic[] = "\xd9\xd5\x05\xf9\x20\xa1\x63\xd7";
constexpr qint64 kMagicSize = 8;
constexpr qint64 kHeaderSize = 28;
constexpr qint64 kRecordSize = 4 + kPageSize + 4;
constexpr quint32 kSuperJournalPage = 0x40000000u / kPageSize + 1;
constexpr int kMaxPathname = 512;  // the system's layer's: SQLite reads no longer name
// Far more than any transaction of the engine journals, which journals each page of the
// file once: a journal beyond it is not read at all.
constexpr qint64 kSlack = 4 << 20;

bool magicAt(const QByteArray& bytes, qint64 offset) {
    return offset >= 0 && offset + kMagicSize <= bytes.size() && bytes.mid(offset, kMagicSize) == QByteArray(kMagic, kMagicSize);
}

quint32 wordAt(const QByteArray& bytes, qint64 offset) {
    return qFromBigEndian<quint32>(reinterpret_cast<const uchar*>(bytes.constData()) + offset);
}

// As SQLite exists (SQLITE_ACCESS_EXISTS): a name that stat() finds, of some length.
bool existsForSqlite(const QByteArray& name, struct stat* info) {
    return ::stat(name.constData(), info) == 0 && info->st_size > 0;
}

// The super-journal that the journal's last record names, read as SQLite reads it; `at` is
// where the record starts. Empty when there is none; nullopt when it is not whole.
std::optional<QByteArray> superJournalOf(const QByteArray& bytes, qint64* at) {
    const qint64 size = bytes.size();
    *at = size;
    if (size < 16 || !magicAt(bytes, size - 8))
        return QByteArray();
    const quint32 length = wordAt(bytes, size - 16);
    if (length == 0 || length > quint32(kMaxPathname) || qint64(length) + 20 > size)
        return std::nullopt;
    *at = size - 20 - qint64(length);
    const QByteArray name = bytes.mid(size - 16 - length, length);
    // SQLite sums the name as chars, signed here.
    quint32 sum = wordAt(bytes, size - 12);
    for (const char c : name)
        sum -= quint32(qint32(c));
    if (sum != 0 || wordAt(bytes, *at) != kSuperJournalPage || name.contains('\0'))
        return std::nullopt;
    return name;
}

bool isPowerOfTwo(quint32 n) { return n != 0 && (n & (n - 1)) == 0; }

quint32 checksum(quint32 nonce, const unsigned char* page) {
    for (int i = kPageSize - 200; i > 0; i -= 200)
        nonce += page[i];
    return nonce;
}

// Whether SQLite's playback of the journal would write into the file only pages that its
// keys signed, numbered within its original length, and give it back that length whole.
bool playsSoundly(const QByteArray& bytes, qint64 fileSize, const FileKey& key, qint64 superRecord) {
    if (!magicAt(bytes, 0) || bytes.size() < kHeaderSize)
        return false;
    const quint32 original = wordAt(bytes, 16), sector = wordAt(bytes, 20);
    if (wordAt(bytes, 24) != quint32(kPageSize) || !isPowerOfTwo(sector) || sector < 512 || sector > 65536 || original == 0)
        return false;
    QSet<quint32> restored;
    qint64 offset = 0;
    // As SQLite reads it: header after header, until one is cut short or bears no magic.
    while (offset + sector <= superRecord && magicAt(bytes, offset)) {
        quint32 records = wordAt(bytes, offset + 8);
        const quint32 nonce = wordAt(bytes, offset + 12);
        if (wordAt(bytes, offset + 16) != original)
            return false;
        offset += sector;
        if (records == 0xffffffffu)
            records = quint32((superRecord - offset) / kRecordSize);
        for (quint32 r = 0; r < records; ++r, offset += kRecordSize) {
            if (offset + kRecordSize > superRecord)
                return false;
            const quint32 number = wordAt(bytes, offset);
            const auto page = reinterpret_cast<const unsigned char*>(bytes.constData()) + offset + 4;
            if (number == 0 || number > original || checksum(nonce, page) != wordAt(bytes, offset + 4 + kPageSize))
                return false;
            // A file kept without encryption (an empty password) has no keys to sign with.
            if (!key.password.isEmpty()
                && (!key.keys || !pageIsSigned(*key.keys, page, number)
                    || (number == 1 && QByteArray(reinterpret_cast<const char*>(page), kSaltSize) != key.keys->salt)))
                return false;
            restored.insert(number);
        }
        offset = (offset + sector - 1) / sector * sector;
    }
    // Pages past the end of the file come back only from the journal.
    for (qint64 number = fileSize / kPageSize + 1; number <= qint64(original); ++number)
        if (!restored.contains(quint32(number)))
            return false;
    return true;
}

}  // namespace

std::optional<Journal> readJournal(const QString& path, const QString& file, const FileKey& key) {
    const qint64 fileSize = QFileInfo(file).size(), size = QFileInfo(path).size();
    // Read whole into one buffer, whose length is an int.
    if (size <= 0 || size > 4 * fileSize + kSlack || size >= std::numeric_limits<int>::max())
        return std::nullopt;
    Journal journal{SystemFile(path, true).read(0, int(size) + 1), {}};
    if (journal.bytes.size() != size)
        return std::nullopt;
    qint64 superRecord = 0;
    const std::optional<QByteArray> super = superJournalOf(journal.bytes, &superRecord);
    if (!super || !playsSoundly(journal.bytes, fileSize, key, superRecord))
        return std::nullopt;
    journal.superJournal = *super;
    return journal;
}

SuperJournal findSuperJournal(const QByteArray& name) {
    struct stat info {}, link {};
    if (!existsForSqlite(name, &info))
        return SuperJournal::Missing;
    return S_ISREG(info.st_mode) && ::lstat(name.constData(), &link) == 0 && !S_ISLNK(link.st_mode)
             ? SuperJournal::Present
             : SuperJournal::Unusable;
}

QByteArray withoutSuperJournal(const Journal& journal) {
    QByteArray bytes = journal.bytes;
    if (!journal.superJournal.isEmpty())
        bytes.replace(bytes.size() - kMagicSize, kMagicSize, QByteArray(kMagicSize, '\0'));
    return bytes;
}

void removeStaleSuperJournals(const QString& path) {
    const QFileInfo file(path);
    const QString prefix = file.fileName() + QStringLiteral("-mj");
    const QString ownJournal = file.absoluteFilePath() + QStringLiteral("-journal");
    const QFileInfoList found = file.absoluteDir().entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo& candidate : found) {
        if (!candidate.fileName().startsWith(prefix) || candidate.isSymLink() || !candidate.isFile()
            || candidate.size() > 4 * kMaxPathname || !isSuperJournalName(QFile::encodeName(candidate.fileName())))
            continue;
        const QByteArray names = SystemFile(candidate.absoluteFilePath(), true).read(0, 4 * kMaxPathname);
        if (names.size() != candidate.size() || !names.endsWith('\0'))
            continue;
        bool ours = false, needed = false, shaped = true;
        for (const QByteArray& name : names.chopped(1).split('\0')) {
            const QString journal = QFile::decodeName(name);
            // SQLite names the journals of the files it commits together, by their full paths.
            shaped = shaped && QFileInfo(journal).isAbsolute() && journal.endsWith(QStringLiteral("-journal"))
                  && QFileInfo(journal.chopped(8)).isFile();
            if (!shaped)
                break;
            ours = ours || QDir::cleanPath(journal) == QDir::cleanPath(ownJournal);
            // As SQLite judges it: a journal there that names this super-journal still needs it.
            struct stat info {};
            if (!existsForSqlite(name, &info))
                continue;
            const qint64 tail = std::min<qint64>(info.st_size, kMaxPathname + 20);
            const QByteArray bytes = SystemFile(journal, true).read(info.st_size - tail, int(tail));
            qint64 at = 0;
            const std::optional<QByteArray> named = bytes.size() == tail ? superJournalOf(bytes, &at) : std::nullopt;
            needed = needed || !named
                  || QFileInfo(QFile::decodeName(*named)).canonicalFilePath() == candidate.canonicalFilePath();
        }
        if (shaped && ours && !needed)
            QFile::remove(candidate.absoluteFilePath());
    }
}

}  // namespace db::detail
