#pragma once

#include "colour/live_colouring.h"
#include "editor/rich_text_editor.h"

#include <QString>

#include <optional>

namespace brindle {

class ErrorBoxSink;

// Colours the query editor after each change of its content, with the
// colours the full pass over the whole text gives: the paragraphs the change
// touched (and those a block comment reaches) when that is exact, the whole
// text otherwise (see colour::LiveColouring). Tabs become blanks in the text
// either way. Errors of the keyword file go to the sink, once per change.
class EditorColouring final : private RichTextEditor::TextShaper {
public:
    // `keywordFilePath` empty: KEYWORD_COLOR.CSV as KeywordFilePath finds it.
    EditorColouring(RichTextEditor& editor, ErrorBoxSink& errors, QString keywordFilePath = {});
    ~EditorColouring() override;
    EditorColouring(const EditorColouring&) = delete;
    EditorColouring& operator=(const EditorColouring&) = delete;

    // Colours what changed since the last call. The caller keeps the caret.
    void Colour();

private:
    // A whole text set at once: the keyword file is read before it goes in,
    // and when the colouring is exact its tabs go in as blanks already;
    // the Change that follows colours with what was read then.
    void Shape(QString& paragraphs) override;
    void Finished() override;
    colour::IncrementalColouring* Prepare(bool& reset);

    // False when the whole text must be coloured at once instead.
    bool ColourChangedParagraphs();
    void ColourWholeText();
    void ShowTabsAsBlanks(const colour::IncrementalColouring& colouring, int first, int count);

    RichTextEditor& m_editor;
    ErrorBoxSink& m_errors;
    QString m_keywordFilePath;
    colour::LiveColouring m_live;
    const std::vector<rtf::ColourRun> m_noRuns;
    struct Prepared {
        colour::IncrementalColouring* colouring = nullptr;
        bool reset = false;
    };
    std::optional<Prepared> m_prepared;
    QString m_setText; // the text of that setText, '\n' between paragraphs
};

} // namespace brindle
