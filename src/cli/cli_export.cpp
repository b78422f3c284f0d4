#include "cli/cli_export.h"

#include "cli/cli_io.h"
#include "cli/cli_query_run.h"
#include "data/command.h"
#include "data/connection.h"
#include "data/paste_to_excel.h"
#include "data/recordset.h"
#include "data/xlsx_spreadsheet.h"

#include <QFileInfo>

namespace brindle::cli {

int RunExport(std::span<const std::string_view> args) {
    int status = kExitOk;
    QString out;
    constexpr std::string_view extraNames[] = {"--out"};
    const std::optional<QueryOptions> options = ParseQueryOptions(
        args, extraNames,
        [&out](std::string_view, std::string_view value, int&) {
            out = QString::fromLocal8Bit(value);
            return true;
        },
        status);
    if (!options)
        return status;
    if (out.isEmpty())
        return UsageError(QStringLiteral("export needs --out FILE.xlsx"));
    Connection connection;
    Command command;
    Recordset rs;
    if (!RunStdinQuery(*options, connection, command, rs))
        return kExitFailure;
    bool failed = false;
    const QString target = QFileInfo(out).absoluteFilePath();
    const qsizetype written = PasteToExcel(
        rs,
        [&target] {
            return std::make_unique<XlsxSpreadsheet>([&target] {
                return WorkbookTarget{target, false};
            });
        },
        [&failed](const QString& description) {
            ReportError(description);
            failed = true;
        });
    if (failed)
        return kExitFailure;
    return WriteStdoutUtf8(QString::number(written) + u'\n') ? kExitOk : kExitFailure;
}

} // namespace brindle::cli
