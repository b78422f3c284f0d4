#include "cli/cli_io.h"

#include <QByteArray>
#include <QStringDecoder>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace brindle::cli {

namespace {

QString SystemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

void ReportError(const QString& message) {
    const QByteArray line = "brindle-cli: " + message.toLocal8Bit() + '\n';
    std::fputs(line.constData(), stderr);
}

int UsageError(const QString& message) {
    ReportError(message + u"\nTry 'brindle-cli --help'.");
    return kExitUsage;
}

std::optional<QString> ReadStdinUtf8() {
    QByteArray bytes;
    char buffer[65536];
    for (;;) {
        const std::size_t got = std::fread(buffer, 1, sizeof buffer, stdin);
        bytes.append(buffer, static_cast<qsizetype>(got));
        if (got < sizeof buffer) {
            break;
        }
    }
    if (std::ferror(stdin)) {
        ReportError(u"cannot read standard input: " + SystemError());
        return std::nullopt;
    }
    // Keep a leading BOM: it is part of what the user gave us.
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    QString text = decoder.decode(bytes);
    if (decoder.hasError()) {
        ReportError(QStringLiteral("standard input is not valid UTF-8"));
        return std::nullopt;
    }
    return text;
}

bool WriteStdoutUtf8(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    const bool written = std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()),
                                     stdout) == static_cast<std::size_t>(bytes.size());
    if (!written || std::fflush(stdout) != 0) {
        ReportError(u"cannot write standard output: " + SystemError());
        return false;
    }
    return true;
}

} // namespace brindle::cli
