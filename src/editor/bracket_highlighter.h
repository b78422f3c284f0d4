#pragma once

#include <QObject>

#include <optional>
#include <utility>

namespace brindle {

class RichTextEditor;

// Highlights both brackets of the pair next to the caret. The highlight is an
// extra selection of the view, so the text, its colours and its undo history
// are untouched. Only the lines around the caret are searched for the
// partner, so a long script costs a keystroke no more than a short one.
class BracketHighlighter : public QObject {
    Q_OBJECT
public:
    explicit BracketHighlighter(RichTextEditor& editor);

    // The document positions of the pair shown, if any.
    std::optional<std::pair<int, int>> Shown() const { return m_shown; }

private:
    void Refresh();
    std::optional<std::pair<int, int>> PairAtCaret() const;

    RichTextEditor& m_editor;
    std::optional<std::pair<int, int>> m_shown;
    bool m_stale = false;
};

} // namespace brindle
