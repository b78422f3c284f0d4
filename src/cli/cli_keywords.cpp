#include "cli/cli_keywords.h"

#include "arrange/cls_arrange_query.h"
#include "cli/cli_io.h"
#include "colour/bas_csv.h"
#include "colour/cls_edit_color.h"
#include "core/error.h"
#include "shell/error_box_sink.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <cstdio>

namespace brindle::cli {

namespace {

// The keyword tables' error box, on stderr.
class StderrSink final : public ErrorBoxSink {
public:
    void ShowErrMsg(const Error& error) override {
        failed = true;
        std::fprintf(stderr, "%s\n", error.numbered().toUtf8().constData());
    }
    bool failed = false;
};

struct KeywordOptions {
    QString keywords;
    qint16 tab = 4;
};

// Parses --keywords FILE and (when allowed) --tab N; returns false after a
// usage message.
bool ParseOptions(std::span<const std::string_view> args, bool allowTab, KeywordOptions& out,
                  int& status) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--keywords" && hasValue) {
            out.keywords = QString::fromLocal8Bit(args[++i]);
        } else if (allowTab && arg == "--tab" && hasValue) {
            bool ok = false;
            const int n = QString::fromLocal8Bit(args[++i]).toInt(&ok);
            if (!ok || n < -32768 || n > 32767) {
                status = UsageError(QStringLiteral("--tab needs a whole number"));
                return false;
            }
            out.tab = static_cast<qint16>(n);
        } else {
            status = UsageError(u"unexpected argument: " + QString::fromLocal8Bit(arg));
            return false;
        }
    }
    return true;
}

} // namespace

int RunCsv(std::span<const std::string_view> args) {
    if (!args.empty())
        return UsageError(u"unexpected argument: " + QString::fromLocal8Bit(args[0]));
    const std::optional<QString> input = ReadStdinUtf8();
    if (!input)
        return kExitFailure;
    QStringList lines = input->split(u'\n');
    if (!input->isEmpty() && input->endsWith(u'\n'))
        lines.removeLast();
    else if (input->isEmpty())
        lines.clear();
    QString out;
    try {
        for (QString& line : lines) {
            if (line.endsWith(u'\r'))
                line.chop(1);
            const QJsonArray fields = QJsonArray::fromStringList(SplitCsvLine(line));
            out += QString::fromUtf8(QJsonDocument(fields).toJson(QJsonDocument::Compact)) + u'\n';
        }
    } catch (const Error& e) {
        ReportError(e.numbered());
        return kExitFailure;
    }
    return WriteStdoutUtf8(out) ? kExitOk : kExitFailure;
}

int RunColour(std::span<const std::string_view> args) {
    KeywordOptions options;
    int status = kExitOk;
    if (!ParseOptions(args, true, options, status))
        return status;
    const std::optional<QString> input = ReadStdinUtf8();
    if (!input)
        return kExitFailure;
    StderrSink errors;
    // No --keywords: the program's own choice, the user's copy or the installed one.
    clsEditColor colouring(errors, options.keywords);
    colouring.setTabSpaceNum(options.tab);
    const QString coloured = colouring.CColor(*input);
    if (errors.failed)
        return kExitFailure;
    return WriteStdoutUtf8(coloured) ? kExitOk : kExitFailure;
}

int RunArrange(std::span<const std::string_view> args) {
    KeywordOptions options;
    int status = kExitOk;
    if (!ParseOptions(args, false, options, status))
        return status;
    const std::optional<QString> input = ReadStdinUtf8();
    if (!input)
        return kExitFailure;
    StderrSink errors;
    clsArrangeQuery arrangement(errors, options.keywords);
    const QString arranged = arrangement.CArrange(*input);
    if (errors.failed)
        return kExitFailure;
    return WriteStdoutUtf8(arranged) ? kExitOk : kExitFailure;
}

} // namespace brindle::cli
