#include "colour/keyword_file_location.h"

#include "core/settings_store.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <sys/stat.h>

namespace brindle {

namespace {

enum class Entry { Absent, Present, Unknown };

// lstat, not stat: a link whose target is gone is still the user's entry.
Entry EntryAt(const QString& path) {
    struct stat info;
    if (::lstat(QFile::encodeName(path).constData(), &info) == 0)
        return Entry::Present;
    return errno == ENOENT || errno == ENOTDIR ? Entry::Absent : Entry::Unknown;
}

} // namespace

QString ChooseKeywordFile(const QString& userDirectory, const QString& programDirectory,
                          QStringView name) {
    const QString own = userDirectory + u'/' + name;
    if (!userDirectory.isEmpty() && EntryAt(own) != Entry::Absent)
        return own;
    return programDirectory + u'/' + name;
}

QString ProgramDirectory() {
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    // brindle-cli runs without an application object; the kernel's link names
    // the executable itself, not a link that started it.
    return QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).absolutePath();
}

QString KeywordFilePath(QStringView name) {
    return ChooseKeywordFile(UserConfigDirectory(), ProgramDirectory(), name);
}

} // namespace brindle
