#pragma once

class QWidget;
class QTableView;

namespace brindle {

class FontDialogService;
class RichTextEditor;

// Shows the font dialog started from the editor's font; a confirmed choice
// goes to the editor and, when given, the grid. True when a choice was
// applied. Failures are shown in the error box; what was applied stays.
bool ShowFontDialog(FontDialogService& dialog, QWidget* parent, RichTextEditor& editor,
                    QTableView* grid);

// Writes the editor's font to the FONT settings, the size with its fraction.
void SaveEditorFont(const RichTextEditor& editor);

} // namespace brindle
