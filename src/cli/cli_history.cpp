#include "cli/cli_history.h"

#include "cli/cli_io.h"
#include "cli/cli_json.h"
#include "cli/cli_result_format.h"
#include "core/error.h"
#include "store/query_history.h"

#include <QFileInfo>

#include <limits>
#include <optional>

namespace brindle::cli {

namespace {

constexpr int kDefaultLimit = 100;

struct HistoryOptions {
    store::HistoryFilter filter;
    int limit = kDefaultLimit;
    bool json = false;
};

std::optional<HistoryOptions> ParseHistoryOptions(std::span<const std::string_view> args,
                                                  int& status) {
    HistoryOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--failed") {
            options.filter.failuresOnly = true;
            continue;
        }
        const bool known =
            arg == "--search" || arg == "--dsn" || arg == "--limit" || arg == "--format";
        if (!known || i + 1 >= args.size()) {
            status = UsageError(u"unexpected argument: " + QString::fromLocal8Bit(arg));
            return std::nullopt;
        }
        const QString value = QString::fromLocal8Bit(args[++i]);
        if (arg == "--search") {
            options.filter.search = value;
        } else if (arg == "--dsn") {
            options.filter.dsn = value;
        } else if (arg == "--limit") {
            bool ok = false;
            const qlonglong limit = value.toLongLong(&ok);
            if (!ok || limit < 0 || limit > std::numeric_limits<int>::max()) {
                status = UsageError(QStringLiteral("--limit needs a whole number"));
                return std::nullopt;
            }
            options.limit = static_cast<int>(limit);
        } else if (value == u"tsv" || value == u"json") {
            options.json = value == u"json";
        } else {
            status = UsageError(QStringLiteral("--format is tsv or json"));
            return std::nullopt;
        }
    }
    return options;
}

QString LocalTime(const QDateTime& time) {
    return time.toLocalTime().toString(Qt::ISODateWithMs);
}

QString Tsv(const std::vector<store::HistoryEntry>& entries) {
    QString out;
    for (const store::HistoryEntry& e : entries) {
        out += QString::number(e.id) + u'\t' + LocalTime(e.started) + u'\t';
        AppendTsvField(out, e.dsn);
        out += u'\t' + QString::number(e.durationMs) + u'\t' +
               (e.rows >= 0 ? QString::number(e.rows) : QString()) + u'\t' +
               store::OutcomeName(e.outcome) + u'\t';
        AppendTsvField(out, e.firstLine);
        out += u'\n';
    }
    return out;
}

QString Json(const std::vector<store::HistoryEntry>& entries) {
    QString out = QStringLiteral("[");
    for (const store::HistoryEntry& e : entries) {
        if (out.size() > 1)
            out += u',';
        out += u"{\"id\":" + QString::number(e.id) + u",\"started\":";
        AppendJsonString(out, LocalTime(e.started));
        out += u",\"durationMs\":" + QString::number(e.durationMs) + u",\"dsn\":";
        AppendJsonString(out, e.dsn);
        out += u",\"login\":";
        AppendJsonString(out, e.login);
        out += u",\"caption\":";
        AppendJsonString(out, e.caption);
        out += u",\"rows\":" + (e.rows >= 0 ? QString::number(e.rows) : QStringLiteral("null")) +
               u",\"rowsChanged\":" + (e.rowsChanged ? u"true" : u"false") + u",\"outcome\":";
        AppendJsonString(out, store::OutcomeName(e.outcome));
        out += u",\"error\":";
        AppendJsonString(out, e.error);
        out += u",\"firstLine\":";
        AppendJsonString(out, e.firstLine);
        out += u",\"text\":";
        AppendJsonString(out, e.text);
        out += u'}';
    }
    return out + u"]\n";
}

} // namespace

int RunHistory(std::span<const std::string_view> args) {
    int status = kExitOk;
    const std::optional<HistoryOptions> options = ParseHistoryOptions(args, status);
    if (!options)
        return status;
    const store::StorePaths paths = store::DefaultStorePaths();
    if (!QFileInfo::exists(paths.Database())) {
        ReportError(u"クエリ履歴はありません (ローカル ストア " + paths.Database() +
                    u" がありません)。");
        return kExitFailure;
    }
    try {
        store::HistoryReader reader(paths);
        const std::vector<store::HistoryEntry> entries =
            reader.List(options->filter, options->limit, 0, options->json);
        return WriteStdoutUtf8(options->json ? Json(entries) : Tsv(entries)) ? kExitOk
                                                                             : kExitFailure;
    } catch (const Error& e) {
        ReportError(e.description());
        return kExitFailure;
    }
}

} // namespace brindle::cli
