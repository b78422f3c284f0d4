#pragma once

#include "files/text_file.h"

#include <QString>

#include <optional>

class QWidget;

namespace brindle {

class FileDialogService;

// Shows the open or save dialog starting at `initialPath`. True and the
// chosen full path when the user confirmed a file; false and an empty path
// when cancelled.
bool ShowOpenDialog(FileDialogService& dialog, QWidget* parent, QString& vstrPath,
                    const QString& initialPath);
bool ShowSaveDialog(FileDialogService& dialog, QWidget* parent, QString& vstrPath,
                    const QString& initialPath);

// The text of a query file. An empty path, or no file at the path, reads as
// an empty text without a message. A file that exists but cannot be read is
// shown in the error box and gives nothing, so the caller keeps what it has.
std::optional<TextFileContent> ReadTextFile(const QString& path);

// Writes the text the way `format` says (updated to the format used). An
// empty text gives an empty file. A failure is shown in the error box and
// returns false; the old file is then unchanged.
bool WriteTextFile(const QString& path, const QString& text, TextFileFormat& format);

} // namespace brindle
