#include "store/local_store.h"

#include "store/store_schema.h"

#include <QDateTime>
#include <QFile>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace brindle::store {

namespace {

constexpr int kBusyTimeoutMs = 5000;
constexpr mode_t kDirectoryMode = 0700;
constexpr mode_t kFileMode = 0600;

QByteArray Native(const QString& path) {
    return QFile::encodeName(path);
}

Error FileSystemError(int code, const QString& path, int error) {
    return {code, QString::fromUtf16(kCannotOpen) + path + u": " +
                      QString::fromLocal8Bit(std::strerror(error))};
}

// Takes away what `mode` does not allow, and adds nothing: a directory the
// user made read-only stays so. Someone else's file stays as it is.
void Narrow(const QString& path, mode_t mode) {
    struct stat st {};
    const QByteArray native = Native(path);
    if (::stat(native.constData(), &st) == 0 && (st.st_mode & 07777 & ~mode) != 0)
        ::chmod(native.constData(), st.st_mode & mode);
}

// mkdir -p, new directories 0700 as the XDG directories are made.
void MakeDirectories(const QString& path) {
    const QByteArray native = Native(path);
    if (::mkdir(native.constData(), kDirectoryMode) == 0 || errno == EEXIST)
        return;
    const qsizetype slash = path.lastIndexOf(u'/');
    if (errno == ENOENT && slash > 0) {
        MakeDirectories(path.left(slash));
        if (::mkdir(native.constData(), kDirectoryMode) == 0 || errno == EEXIST)
            return;
    }
    throw FileSystemError(SQLITE_CANTOPEN, path, errno);
}

// An empty file of mode 0600, so that SQLite's -wal and -shm, which take the
// database's permissions, are private too.
void CreateEmptyFile(const QString& path) {
    const int fd =
        ::open(Native(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kFileMode);
    if (fd < 0) {
        if (errno == EEXIST)
            return;
        throw FileSystemError(SQLITE_CANTOPEN, path, errno);
    }
    ::close(fd);
}

void Configure(const SqliteConnection& db) {
    sqlite3_busy_timeout(db.get(), kBusyTimeoutMs);
    SqliteStatement wal(db, "PRAGMA journal_mode = WAL", kCannotOpen);
    wal.Run();
    db.Exec("PRAGMA synchronous = FULL", kCannotOpen);
    db.Exec("PRAGMA foreign_keys = ON", kCannotOpen);
    // A 20 MB snapshot passes through the WAL; do not keep it that large.
    db.Exec("PRAGMA journal_size_limit = 67108864", kCannotOpen);
}

void QuickCheck(const SqliteConnection& db) {
    SqliteStatement check(db, "PRAGMA quick_check(1)", kCannotOpen);
    const QString verdict = check.Step() ? check.Text(0) : QString();
    if (verdict != u"ok")
        throw Error(SQLITE_CORRUPT, QString::fromUtf16(kCannotOpen) + verdict);
}

// The file is there and could be a database: a directory or anything else
// in its place is damage.
bool IsFileOrMissing(const QString& path) {
    struct stat st {};
    if (::stat(Native(path).constData(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR;
    return S_ISREG(st.st_mode);
}

OpenedStore OpenOnce(const StorePaths& paths, bool checkEveryPage) {
    const QString path = paths.Database();
    if (!IsFileOrMissing(path))
        throw Error(SQLITE_NOTADB, QString::fromUtf16(kCannotOpen) + path +
                                       QStringLiteral(": 通常のファイルではありません。"));
    CreateEmptyFile(path);
    OpenedStore store;
    store.db = SqliteConnection(path, SQLITE_OPEN_READWRITE, kCannotOpen);
    Configure(store.db);
    if (checkEveryPage)
        QuickCheck(store.db);
    MigrateStore(store.db);
    for (const char* suffix : {"", "-wal", "-shm"})
        Narrow(path + QLatin1StringView(suffix), kFileMode);
    store.identity = IdentityOf(path);
    return store;
}

void RenameIfThere(const QString& from, const QString& to) {
    if (::rename(Native(from).constData(), Native(to).constData()) != 0 && errno != ENOENT)
        throw FileSystemError(SQLITE_IOERR, from, errno);
}

} // namespace

FileIdentity IdentityOf(const QString& path) {
    struct stat st {};
    if (::stat(Native(path).constData(), &st) != 0)
        return {};
    return {st.st_dev, st.st_ino};
}

void MakePrivateDirectory(const QString& path) {
    MakeDirectories(path);
    struct stat st {};
    if (::stat(Native(path).constData(), &st) != 0)
        throw FileSystemError(SQLITE_CANTOPEN, path, errno);
    if (!S_ISDIR(st.st_mode))
        throw FileSystemError(SQLITE_CANTOPEN, path, ENOTDIR);
    Narrow(path, kDirectoryMode);
}

QString MoveDamagedStoreAside(const QString& database) {
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = database + u".damaged-" + stamp;
    for (int n = 2; IdentityOf(aside) != FileIdentity{} || QFile::exists(aside); ++n)
        aside = database + u".damaged-" + stamp + u'-' + QString::number(n);
    // The database last: while it is still in place nobody takes a lone
    // -wal for the fresh store's.
    RenameIfThere(database + u"-wal", aside + u"-wal");
    RenameIfThere(database + u"-shm", aside + u"-shm");
    if (::rename(Native(database).constData(), Native(aside).constData()) != 0)
        throw FileSystemError(SQLITE_IOERR, database, errno);
    return aside;
}

OpenedStore OpenLocalStore(const StorePaths& paths, StoreOpening how) {
    MakePrivateDirectory(paths.directory);
    try {
        return OpenOnce(paths, how.checkEveryPage);
    } catch (const Error& e) {
        if (!how.repairDamage || !IsDamage(e.number()))
            throw;
    }
    const QString aside = MoveDamagedStoreAside(paths.Database());
    OpenedStore store = OpenOnce(paths, how.checkEveryPage);
    store.movedAside = aside;
    return store;
}

SqliteConnection OpenExistingStore(const StorePaths& paths, bool writable) {
    const QString path = paths.Database();
    struct stat st {};
    if (::stat(Native(path).constData(), &st) != 0)
        throw FileSystemError(SQLITE_CANTOPEN, path, errno);
    if (!S_ISREG(st.st_mode))
        throw FileSystemError(SQLITE_CANTOPEN, path, EISDIR);
    SqliteConnection db(path, writable ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY, kCannotOpen);
    sqlite3_busy_timeout(db.get(), kBusyTimeoutMs);
    if (writable)
        db.Exec("PRAGMA foreign_keys = ON", kCannotOpen);
    // A store that is not (yet) of our schema reads as an error, not as rows.
    SqliteStatement version(db, "PRAGMA user_version", kCannotOpen);
    if (!version.Step() || version.Int(0) != StoreSchemaVersion())
        throw Error(SQLITE_CANTOPEN,
                    QString::fromUtf16(kCannotOpen) + path + QStringLiteral(": 版が違います。"));
    return db;
}

} // namespace brindle::store
