#pragma once

#include <span>
#include <string_view>

namespace brindle::cli {

// brindle-cli export --dsn NAME [--uid U] [--pwd P] [--timeout S] --out FILE:
// the query on stdin runs as batches, as the export command runs them, and
// the last batch's result is written as the program writes its workbook, to
// FILE (replaced only once the new workbook is complete). Prints the number
// of records written.
int RunExport(std::span<const std::string_view> args);

} // namespace brindle::cli
