#pragma once

#include "colour/live_colouring.h"

#include <QString>

namespace brindle {

class ErrorBoxSink;
class RichTextEditor;

// Colours the query editor after each change of its content, with the
// colours the full pass over the whole text gives: the paragraphs the change
// touched (and those a block comment reaches) when that is exact, the whole
// text otherwise (see colour::LiveColouring). Tabs become blanks in the text
// either way. Errors of the keyword file go to the sink, once per change.
class EditorColouring {
public:
    // `keywordFilePath` empty: KEYWORD_COLOR.CSV beside the executable.
    EditorColouring(RichTextEditor& editor, ErrorBoxSink& errors, QString keywordFilePath = {});

    // Colours what changed since the last call. The caller keeps the caret.
    void Colour();

private:
    // False when the whole text must be coloured at once instead.
    bool ColourChangedParagraphs();
    void ColourWholeText();

    RichTextEditor& m_editor;
    ErrorBoxSink& m_errors;
    QString m_keywordFilePath;
    colour::LiveColouring m_live;
    const std::vector<rtf::ColourRun> m_noRuns;
};

} // namespace brindle
