#include "cli/cli_batches.h"

#include "cli/cli_io.h"
#include "cli/cli_json.h"
#include "core/error.h"
#include "data/split_batches.h"

namespace brindle::cli {

int RunBatches(std::span<const std::string_view> args) {
    if (!args.empty())
        return UsageError(u"unexpected argument: " + QString::fromLocal8Bit(args[0]));
    const std::optional<QString> input = ReadStdinUtf8();
    if (!input)
        return kExitFailure;
    QStringList batches;
    try {
        batches = SplitBatches(*input);
    } catch (const Error& e) {
        ReportError(e.description());
        return kExitFailure;
    }
    QString out = QStringLiteral("[");
    for (qsizetype i = 0; i < batches.size(); ++i) {
        if (i > 0)
            out += u',';
        AppendJsonString(out, batches[i]);
    }
    out += u"]\n";
    return WriteStdoutUtf8(out) ? kExitOk : kExitFailure;
}

} // namespace brindle::cli
