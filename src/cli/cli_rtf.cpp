#include "cli/cli_rtf.h"

#include "cli/cli_io.h"
#include "editor/rtf_document.h"

namespace brindle::cli {

namespace {

// The query editor's font and size.
constexpr double kEditorPointSize = 10;

QString EditorFontName() {
    return QStringLiteral(u"\uFF2D\uFF33 \u30B4\u30B7\u30C3\u30AF");
}

// Both commands are filters: they take no arguments.
bool RejectArguments(std::string_view command, std::span<const std::string_view> args) {
    if (args.empty()) {
        return false;
    }
    UsageError(u"unexpected argument for '" + QString::fromUtf8(command) + u"': " +
               QString::fromLocal8Bit(args.front()));
    return true;
}

} // namespace

int RunRtf(std::span<const std::string_view> args) {
    if (RejectArguments("rtf", args)) {
        return kExitUsage;
    }
    const std::optional<QString> plain = ReadStdinUtf8();
    if (!plain) {
        return kExitFailure;
    }
    const QString rtf =
        rtf::WriteRtf(rtf::ParagraphsFromPlain(*plain), EditorFontName(), kEditorPointSize);
    return WriteStdoutUtf8(rtf) ? kExitOk : kExitFailure;
}

int RunText(std::span<const std::string_view> args) {
    if (RejectArguments("text", args)) {
        return kExitUsage;
    }
    const std::optional<QString> rtf = ReadStdinUtf8();
    if (!rtf) {
        return kExitFailure;
    }
    return WriteStdoutUtf8(rtf::PlainFromParagraphs(rtf::ReadRtf(*rtf).text)) ? kExitOk
                                                                              : kExitFailure;
}

} // namespace brindle::cli
