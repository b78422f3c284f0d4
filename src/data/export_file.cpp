#include "data/export_file.h"

#include "core/error.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace brindle {

QString DefaultExportDirectory() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
           QStringLiteral("/Brindle/exports");
}

WorkbookTarget ReserveExportFile(const QString& directory, const QDateTime& now) {
    if (!QDir().mkpath(directory)) {
        throw Error(WorkbookCreateError,
                    QStringLiteral("ブックを作成できません。フォルダー \"%1\" を作成できません。")
                        .arg(QDir::toNativeSeparators(directory)));
    }
    const QString stem =
        QDir(directory).filePath(QStringLiteral("Book_") + now.toString(u"yyyyMMdd_HHmmss"));
    QString reason;
    // A bound keeps a directory that refuses every name from looping forever.
    for (int counter = 1; counter <= 1000; ++counter) {
        const QString suffix = counter == 1 ? QString() : u'_' + QString::number(counter);
        const QString path = stem + suffix + QStringLiteral(".xlsx");
        QFile file(path);
        // NewOnly: another export in the same second never gets the same file.
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return {path, true};
        if (!file.exists()) {
            reason = file.errorString();
            break;
        }
    }
    throw Error(
        WorkbookCreateError,
        QStringLiteral("ブックを作成できません。フォルダー \"%1\" にファイルを作成できません。%2")
            .arg(QDir::toNativeSeparators(directory), reason));
}

} // namespace brindle
