#include "cli/cli_batches.h"
#include "cli/cli_exec.h"
#include "cli/cli_export.h"
#include "cli/cli_history.h"
#include "cli/cli_io.h"
#include "cli/cli_keywords.h"
#include "cli/cli_recovery.h"
#include "cli/cli_rtf.h"
#include "cli/cli_schema.h"
#include "store/sqlite_handles.h"

#include <QString>

#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace {

using brindle::cli::kExitOk;
using brindle::cli::kExitUsage;

struct Subcommand {
    std::string_view name;
    std::string_view summary;
    int (*run)(std::span<const std::string_view> args);
};

// One entry per subcommand; --help and dispatch both read this table.
constexpr Subcommand kSubcommands[] = {
    {"rtf", "plain text (UTF-8) on stdin -> the query editor's RTF on stdout",
     brindle::cli::RunRtf},
    {"text", "RTF on stdin -> the text the query editor shows (CR LF line ends)",
     brindle::cli::RunText},
    {"csv", "keyword-table lines on stdin -> one JSON array of fields per line",
     brindle::cli::RunCsv},
    {"colour", "[--keywords FILE] [--tab N]: editor RTF on stdin -> coloured RTF",
     brindle::cli::RunColour},
    {"arrange", "[--keywords FILE]: query on stdin -> the arranged query",
     brindle::cli::RunArrange},
    {"batches", "query on stdin -> its batches (split at GO lines) as one JSON array",
     brindle::cli::RunBatches},
    {"dsns", "the ODBC data-source names, one per line", brindle::cli::RunDsns},
    {"exec",
     "--dsn NAME [--uid U] [--pwd P] [--timeout S] [--format tsv|json|csv|count]\n"
     "            [--results last|all] [--no-history]: query on stdin runs as batches\n"
     "            -> the last batch's result; with --results all one JSON object a\n"
     "            line for every result, row count, message and error of every batch\n"
     "            (keys batch, line, ms and columns+rows, updated, done, message or\n"
     "            error); each batch that ran is kept in the query history;\n"
     "            csv is RFC 4180: UTF-8 without a byte-order mark, CR LF line ends",
     brindle::cli::RunExec},
    {"export",
     "--dsn NAME [--uid U] [--pwd P] [--timeout S] --out FILE.xlsx [--no-history]:\n"
     "            query on stdin runs as batches -> the last result as a workbook;\n"
     "            prints the number of records written",
     brindle::cli::RunExport},
    {"schema",
     "--dsn NAME [--uid U] [--pwd P] [--table PATTERN] [--format tsv|json]:\n"
     "            the tables and views of the data source, one row per column\n"
     "            (schema, table, kind, column, type, size, nullable, key);\n"
     "            PATTERN as the catalog takes it: % any text, _ any character",
     brindle::cli::RunSchema},
    {"recovery",
     "list | show ID: the query documents the program keeps, or one's text;\n"
     "            list gives id, open/closed, last change, caption and first line",
     brindle::cli::RunRecovery},
    {"history",
     "[--search TEXT] [--dsn NAME] [--failed] [--limit N] [--format tsv|json]:\n"
     "            the batches run, newest first (100 unless --limit says);\n"
     "            tsv gives id, start, data source, ms, rows, outcome, first line",
     brindle::cli::RunHistory},
};

void PrintHelp() {
    std::string help = "Usage: brindle-cli <subcommand> [arguments]\n"
                       "       brindle-cli --help\n"
                       "\n"
                       "Subcommands:\n";
    for (const Subcommand& command : kSubcommands) {
        help += "  ";
        help += command.name;
        help.append(command.name.size() < 10 ? 10 - command.name.size() : 1, ' ');
        help += command.summary;
        help += '\n';
    }
    help += "\nExit status: 0 on success, 1 when input, output or the database fails,\n"
            "2 on a usage error.\n";
    std::fputs(help.c_str(), stdout);
}

} // namespace

int main(int argc, char** argv) {
    brindle::store::SetUpSqliteForThreads();
    const std::vector<std::string_view> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    if (args.empty()) {
        return brindle::cli::UsageError(QStringLiteral("no subcommand given"));
    }
    const std::string_view first = args.front();
    if (first == "--help" || first == "-h") {
        if (args.size() > 1) {
            return brindle::cli::UsageError(u"unexpected argument: " +
                                            QString::fromLocal8Bit(args[1]));
        }
        PrintHelp();
        return std::fflush(stdout) == 0 ? kExitOk : brindle::cli::kExitFailure;
    }
    for (const Subcommand& command : kSubcommands) {
        if (command.name == first) {
            return command.run(std::span(args).subspan(1));
        }
    }
    return brindle::cli::UsageError(u"unknown subcommand: " + QString::fromLocal8Bit(first));
}
