#pragma once

#include "editor/text_lines.h"

#include <QStringView>

#include <optional>

namespace brindle::editing {

// The batch that holds `offset` in `text` (offsets as the editor's SelStart
// counts them), cut at GO lines as a run cuts them, without the blank lines
// around it: from the start of its first line that is not blank to the end
// of its last one. On a GO line it is the batch that line ends. Nothing when
// that batch holds only blank lines.
std::optional<TextSpan> BatchAt(QStringView text, qsizetype offset);

} // namespace brindle::editing
