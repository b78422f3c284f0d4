#include "cli/cli_recovery.h"

#include "cli/cli_io.h"
#include "cli/cli_result_format.h"
#include "core/error.h"
#include "store/journal_reader.h"

#include <QFileInfo>

#include <optional>

namespace brindle::cli {

namespace {

int List(store::JournalReader& reader) {
    QString out;
    for (const store::KeptDocument& doc : reader.All()) {
        out += QString::number(doc.id) + u'\t' + (doc.open ? u"open" : u"closed") + u'\t' +
               doc.changed.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + u'\t';
        AppendTsvField(out, doc.caption);
        out += u'\t';
        AppendTsvField(out, doc.firstLine);
        out += u'\n';
    }
    return WriteStdoutUtf8(out) ? kExitOk : kExitFailure;
}

int Show(store::JournalReader& reader, std::string_view idText) {
    bool ok = false;
    const qint64 id = QString::fromLocal8Bit(idText).toLongLong(&ok);
    if (!ok || id <= 0)
        return UsageError(u"recovery show needs a document id, not: " +
                          QString::fromLocal8Bit(idText));
    const std::optional<QString> text = reader.Text(id);
    if (!text) {
        ReportError(QStringLiteral("ID %1 のクエリは保存されていません。").arg(id));
        return kExitFailure;
    }
    return WriteStdoutUtf8(*text) ? kExitOk : kExitFailure;
}

} // namespace

int RunRecovery(std::span<const std::string_view> args) {
    const bool list = args.size() == 1 && args[0] == "list";
    const bool show = args.size() == 2 && args[0] == "show";
    if (!list && !show)
        return UsageError(QStringLiteral("recovery takes 'list' or 'show ID'"));
    const store::StorePaths paths = store::DefaultStorePaths();
    if (!QFileInfo::exists(paths.Database())) {
        ReportError(u"保存されたクエリはありません (ローカル ストア " + paths.Database() +
                    u" がありません)。");
        return kExitFailure;
    }
    try {
        store::JournalReader reader(paths);
        return list ? List(reader) : Show(reader, args[1]);
    } catch (const Error& e) {
        ReportError(e.description());
        return kExitFailure;
    }
}

} // namespace brindle::cli
