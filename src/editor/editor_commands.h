#pragma once

#include <QObject>

namespace brindle {

class RichTextEditor;

// The blanks an indent adds or takes off: as many as the colouring makes of
// a tab (its TabSpaceNum).
inline constexpr int EditorIndentWidth = 4;

// Line commands on the lines the selection touches (the caret's line when
// nothing is selected; not the line a selection ends at when it ends at its
// very start). Each is one undo step and one change of the text. A
// selection is kept over the whole lines it touched.
void ToggleLineComments(RichTextEditor& editor);
void IndentLines(RichTextEditor& editor, int width = EditorIndentWidth);
void OutdentLines(RichTextEditor& editor, int width = EditorIndentWidth);

// True when the selection goes over a line end.
bool SelectionSpansLines(const RichTextEditor& editor);

// Puts the caret at the start of line `number` (from 1; clamped to the
// text) and scrolls the line into view.
void GoToLine(RichTextEditor& editor, int number);
// The line of the caret, from 1.
int CaretLine(const RichTextEditor& editor);

// Selects the batch the caret stands in (cut at GO lines as a run cuts
// them, the blank lines around it left out). False, with nothing changed,
// when that batch is blank.
bool SelectBatchAtCaret(RichTextEditor& editor);

// Tab and Shift+Tab over a selection of several lines indent and outdent it;
// every other key goes on to the editor as before.
class IndentKeys : public QObject {
    Q_OBJECT
public:
    explicit IndentKeys(RichTextEditor& editor);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    RichTextEditor& m_editor;
};

} // namespace brindle
