#pragma once

#include "editor/replace_service.h"

#include <QTextCursor>

#include <utility>

namespace brindle {

class RichTextEditor;

// The replace dialog's buttons on one editor. "Within the selection" means
// the selection the editor had when this was made; it follows the edits.
// Finding wraps round to the start (of the selection) once the end is passed.
class EditorReplace final : public ReplaceActions {
public:
    explicit EditorReplace(RichTextEditor& editor);

    // Whether there was a selection to replace within.
    bool HasScope() const { return m_scope.hasSelection(); }

    QString FindNext(const ReplaceRequest& request) override;
    QString Replace(const ReplaceRequest& request) override;
    // One undo step and one change of the text however many it replaces.
    QString ReplaceAll(const ReplaceRequest& request) override;

private:
    // The text as the document holds it: its paragraphs joined by '\n', so
    // that an offset is a document position.
    QString Paragraphs() const;
    // Where the request searches, as document positions.
    std::pair<int, int> Scope(const ReplaceRequest& request) const;
    QString FindFrom(const editing::TextFinder& finder, const QString& text, int from,
                     const ReplaceRequest& request);
    void Select(int start, int end);

    RichTextEditor& m_editor;
    QTextCursor m_scope;
};

} // namespace brindle
