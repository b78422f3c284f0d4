#pragma once

#include <QString>

#include <optional>

namespace brindle::cli {

// Exit codes shared by every subcommand.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1; // input or output failed
inline constexpr int kExitUsage = 2;   // bad subcommand or argument

// Reads all of standard input as UTF-8, a byte order mark included. On a read
// error or invalid UTF-8 it reports on stderr and returns nothing, so no
// command works on damaged text.
std::optional<QString> ReadStdinUtf8();

// Writes `text` to standard output as UTF-8, adding nothing. Reports on stderr
// and returns false when the write fails.
bool WriteStdoutUtf8(const QString& text);

// "brindle-cli: <message>" on stderr.
void ReportError(const QString& message);

// Reports a usage mistake with a pointer to --help; returns kExitUsage.
int UsageError(const QString& message);

} // namespace brindle::cli
