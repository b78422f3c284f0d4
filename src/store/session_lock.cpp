#include "store/session_lock.h"

#include "store/local_store.h"
#include "store/sqlite_handles.h"

#include <QFile>
#include <QUuid>

#include <cerrno>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace brindle::store {

namespace {

int OpenLockFile(const QByteArray& path, bool create) {
    const int flags = O_RDONLY | O_CLOEXEC | O_NOFOLLOW | (create ? O_CREAT | O_EXCL : 0);
    return ::open(path.constData(), flags, 0600);
}

// The file open at `fd` is still the one `path` names.
bool StillNamed(int fd, const QByteArray& path) {
    struct stat held {};
    struct stat named {};
    return ::fstat(fd, &held) == 0 && ::stat(path.constData(), &named) == 0 &&
           held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

} // namespace

bool IsLockName(const QString& name) {
    if (name.isEmpty() || name.size() > 200 || name.startsWith(u'.'))
        return false;
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        const bool plain = (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') ||
                           (u >= u'0' && u <= u'9') || u == u'-' || u == u'_' || u == u'.';
        if (!plain)
            return false;
    }
    return true;
}

SessionLock::SessionLock(int fd, QString directory, QString name, bool created)
    : m_fd(fd), m_directory(std::move(directory)), m_name(std::move(name)), m_created(created) {}

SessionLock::~SessionLock() {
    Release();
}

SessionLock::SessionLock(SessionLock&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_directory(std::move(other.m_directory)),
      m_name(std::move(other.m_name)), m_created(other.m_created) {}

SessionLock& SessionLock::operator=(SessionLock&& other) noexcept {
    if (this != &other) {
        Release();
        m_fd = std::exchange(other.m_fd, -1);
        m_directory = std::move(other.m_directory);
        m_name = std::move(other.m_name);
        m_created = other.m_created;
    }
    return *this;
}

QString SessionLock::Path() const {
    return m_directory + u'/' + m_name;
}

void SessionLock::Release() noexcept {
    if (m_fd >= 0)
        ::close(std::exchange(m_fd, -1));
}

void SessionLock::RemoveFile() noexcept {
    if (m_fd < 0)
        return;
    try {
        ::unlink(QFile::encodeName(Path()).constData());
    } catch (...) {
    }
    Release();
}

SessionLock SessionLock::CreateNew(const QString& directory) {
    MakePrivateDirectory(directory);
    for (;;) {
        const QString name = QUuid::createUuid().toString(QUuid::WithoutBraces) + u".lock";
        const QByteArray path = QFile::encodeName(directory + u'/' + name);
        const int fd = OpenLockFile(path, true);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            throw Error(SQLITE_CANTOPEN, QString::fromUtf16(kCannotOpen) + QFile::decodeName(path) +
                                             u": " + QString::fromLocal8Bit(std::strerror(errno)));
        }
        SessionLock lock(fd, directory, name, true);
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            if (errno == EWOULDBLOCK)
                continue; // taken as stale between our open and our lock
            const int error = errno;
            lock.RemoveFile();
            throw Error(SQLITE_CANTOPEN, QString::fromUtf16(kCannotOpen) + QFile::decodeName(path) +
                                             u": " + QString::fromLocal8Bit(std::strerror(error)));
        }
        // Another instance tidying the directory may have deleted it between
        // our open and our lock; a lock nobody can find protects nothing.
        if (!StillNamed(fd, path))
            continue;
        return lock;
    }
}

std::optional<SessionLock> SessionLock::TryTake(const QString& directory, const QString& name) {
    if (!IsLockName(name))
        return std::nullopt;
    try {
        MakePrivateDirectory(directory);
    } catch (const Error&) {
        return std::nullopt;
    }
    const QByteArray path = QFile::encodeName(directory + u'/' + name);
    bool created = false;
    int fd = OpenLockFile(path, false);
    if (fd < 0 && errno == ENOENT) {
        fd = OpenLockFile(path, true);
        created = fd >= 0;
        if (fd < 0 && errno == EEXIST)
            fd = OpenLockFile(path, false);
    }
    if (fd < 0)
        return std::nullopt;
    SessionLock lock(fd, directory, name, created);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        return std::nullopt;
    // Its last holder may have deleted the file between our open and our
    // lock: then we hold a lock on a file nobody else can find.
    if (!StillNamed(fd, path))
        return std::nullopt;
    return lock;
}

} // namespace brindle::store
