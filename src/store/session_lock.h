#pragma once

#include <QString>

#include <optional>

namespace brindle::store {

// A session's lock file, held with flock(LOCK_EX) while this object lives;
// the system releases it when the process dies, however it dies.
class SessionLock {
public:
    SessionLock() = default;
    ~SessionLock();
    SessionLock(SessionLock&& other) noexcept;
    SessionLock& operator=(SessionLock&& other) noexcept;
    SessionLock(const SessionLock&) = delete;
    SessionLock& operator=(const SessionLock&) = delete;

    // A new file of a name of its own in `directory` (made 0700 when
    // missing), locked. Throws Error when it cannot be made or locked.
    static SessionLock CreateNew(const QString& directory);
    // The lock of the file `name` in `directory`, taken without waiting; a
    // missing file is made. Nothing when another process (or another claim
    // of this one) holds it, or when it cannot be had.
    static std::optional<SessionLock> TryTake(const QString& directory, const QString& name);

    explicit operator bool() const noexcept { return m_fd >= 0; }
    const QString& Name() const noexcept { return m_name; }
    // True when TryTake made the file.
    bool Created() const noexcept { return m_created; }
    // Deletes the file while the lock is still held, so that nobody can lock
    // it in between, then releases it.
    void RemoveFile() noexcept;
    void Release() noexcept;

private:
    SessionLock(int fd, QString directory, QString name, bool created);
    QString Path() const;

    int m_fd = -1;
    QString m_directory;
    QString m_name;
    bool m_created = false;
};

// A name TryTake accepts: a plain file name, no path.
bool IsLockName(const QString& name);

} // namespace brindle::store
