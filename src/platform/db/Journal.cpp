#include "Journal.h"

#include "FileChecks.h"
#include "Guard.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QtEndian>
#include <algorithm>
#include <cstring>
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
    return kindAt(name, info) != PathKind::Nothing && info->st_size > 0;
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

// The journals that the super-journal at `path` names, as SQLite writes them: each name ended
// by a NUL. Nullopt when it cannot be read whole or ends otherwise; the engine commits two
// files together at the most.
std::optional<QList<QByteArray>> journalsNamedBy(const QString& path) {
    constexpr int kMost = 4 * kMaxPathname;
    const QByteArray names = SystemFile(path, true).read(0, kMost + 1);
    if (names.size() > kMost || !names.endsWith('\0'))
        return std::nullopt;
    return names.chopped(1).split('\0');
}

bool isPowerOfTwo(quint32 n) { return n != 0 && (n & (n - 1)) == 0; }

quint32 checksum(quint32 nonce, const unsigned char* page) {
    for (int i = kPageSize - 200; i > 0; i -= 200)
        nonce += page[i];
    return nonce;
}

const unsigned char* pageAt(const QByteArray& bytes, qint64 record) {
    return reinterpret_cast<const unsigned char*>(bytes.constData()) + record + 4;
}

// Whether the page is one that the file's keys wrote under its number. A file kept without
// encryption (an empty password) has no keys to sign with.
bool signedFor(const FileKey& key, const unsigned char* page, quint32 number) {
    return key.password.isEmpty() || (key.keys && pageIsSigned(*key.keys, page, number));
}

// Whether the two pages of the file hold the same: encrypted, each under an IV of its own.
bool samePage(const FileKey& key, const unsigned char* page, const QByteArray& other, quint32 number) {
    const auto otherPage = reinterpret_cast<const unsigned char*>(other.constData());
    if (!key.keys)
        return key.password.isEmpty() && std::memcmp(page, otherPage, kPageSize) == 0;
    const QByteArray plain = decryptPage(*key.keys, page, number);
    return !plain.isEmpty() && plain == decryptPage(*key.keys, otherPage, number);
}

// What SQLite's playback of the journal does to the file: the length it gives it (0 when it
// reads no first header, and leaves the file as it is) and the pages it writes.
struct Playback {
    quint32 original = 0;
    QSet<quint32> restored;
};

// The journal played as SQLite plays it, up to `end`; nullopt where that would harm the file
// whatever else the journal holds.
std::optional<Playback> playback(const QByteArray& bytes, qint64 end, const FileKey& key) {
    Playback played;
    if (bytes.size() < kHeaderSize || !magicAt(bytes, 0))
        return played;
    const quint32 sector = wordAt(bytes, 20), original = wordAt(bytes, 16);
    // Sizes that SQLite takes for a header cut short by a crash: it reads nothing further.
    if (!isPowerOfTwo(sector) || sector < 32 || sector > 65536)
        return played;
    // Another page size would become the one SQLite reads the file's pages with, past
    // SQLCipher's buffers; a length of none would leave nothing of the file.
    if (wordAt(bytes, 24) != quint32(kPageSize) || original == 0)
        return std::nullopt;
    played.original = original;
    qint64 offset = 0;
    do {
        quint32 records = wordAt(bytes, offset + 8);
        const quint32 nonce = wordAt(bytes, offset + 12);
        offset += sector;
        if (records == 0xffffffffu)
            records = quint32((bytes.size() - sector) / kRecordSize);
        for (quint32 r = 0; r < records; ++r, offset += kRecordSize) {
            // SQLite counts what it synced: a header of its own counts only whole records.
            if (offset + kRecordSize > end)
                return std::nullopt;
            const quint32 number = wordAt(bytes, offset);
            const unsigned char* page = pageAt(bytes, offset);
            if (number == 0 || number == kSuperJournalPage)
                return played;
            // SQLite journals only pages that the file held.
            if (number > original)
                return std::nullopt;
            if (checksum(nonce, page) != wordAt(bytes, offset + 4 + kPageSize))
                return played;
            // Page 1 begins with the salt that the file's keys come from, which no signature
            // covers: another would leave the file unreadable.
            if (number == 1 && key.keys && QByteArray(reinterpret_cast<const char*>(page), kSaltSize) != key.keys->salt)
                return std::nullopt;
            played.restored.insert(number);
        }
        offset = (offset + sector - 1) / sector * sector;
    } while (offset + sector <= end && magicAt(bytes, offset));
    return played;
}

}  // namespace

std::optional<Journal> readJournal(const QString& path, const QString& file, const FileKey& key) {
    const qint64 fileSize = QFileInfo(file).size(), size = QFileInfo(path).size();
    // Read whole into one buffer, whose length is an int.
    if (size <= 0 || size > 4 * fileSize + kSlack || size >= std::numeric_limits<int>::max())
        return std::nullopt;
    Journal journal{SystemFile(path, true).read(0, int(size) + 1), {}, {}};
    if (journal.bytes.size() != size)
        return std::nullopt;
    qint64 superRecord = 0;
    const std::optional<QByteArray> super = superJournalOf(journal.bytes, &superRecord);
    const std::optional<Playback> played = super ? playback(journal.bytes, superRecord, key) : std::nullopt;
    if (!played)
        return std::nullopt;
    journal.superJournal = *super;
    const qint64 filePages = fileSize / kPageSize;
    // Pages past the end of the file come back only from the journal.
    for (qint64 number = filePages + 1; number <= qint64(played->original); ++number)
        if (!played->restored.contains(quint32(number)))
            return std::nullopt;
    // A record lies wherever a header, read or not, put it: looked for at every byte, as a
    // page that the file's keys signed under the number before it.
    const qint64 pages = played->original != 0 ? qint64(played->original) : filePages;
    for (qint64 at = 0; at + 4 + kPageSize <= superRecord; ++at) {
        const quint32 number = wordAt(journal.bytes, at);
        if (number != 0 && number <= pages && signedFor(key, pageAt(journal.bytes, at), number))
            journal.records.append({at, number});
    }
    return journal;
}

bool agreesWith(const Journal& journal, const QString& rolledBack, const FileKey& key) {
    const SystemFile result(rolledBack);
    return std::all_of(journal.records.cbegin(), journal.records.cend(), [&](const std::pair<qint64, quint32>& record) {
        const QByteArray held = result.read(qint64(record.second - 1) * kPageSize, kPageSize);
        return held.size() == kPageSize && samePage(key, pageAt(journal.bytes, record.first), held, record.second);
    });
}

SuperJournal findSuperJournal(const QByteArray& name, const QString& journal) {
    // SQLite names its own after its main file by its full path.
    if (!name.startsWith('/') || !isSuperJournalName(name))
        return SuperJournal::Unusable;
    // Looked at, not opened: a FIFO would keep the opening waiting.
    struct stat info {};
    switch (kindAt(name, &info, false)) {
    case PathKind::Nothing: return SuperJournal::Missing;
    case PathKind::Other: return SuperJournal::Unusable;
    case PathKind::File:
        if (info.st_size == 0)
            return SuperJournal::Missing;
        break;
    }
    const QString own = QFileInfo(journal).canonicalFilePath();
    const std::optional<QList<QByteArray>> journals = journalsNamedBy(QFile::decodeName(name));
    const bool names = journals && std::any_of(journals->cbegin(), journals->cend(), [&](const QByteArray& listed) {
        return listed.startsWith('/') && QFileInfo(QFile::decodeName(listed)).canonicalFilePath() == own;
    });
    return names ? SuperJournal::Present : SuperJournal::Unusable;
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
            || !isSuperJournalName(QFile::encodeName(candidate.fileName())))
            continue;
        const std::optional<QList<QByteArray>> names = journalsNamedBy(candidate.absoluteFilePath());
        if (!names)
            continue;
        bool ours = false, needed = false, shaped = true;
        for (const QByteArray& name : *names) {
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
