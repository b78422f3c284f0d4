#pragma once

#include "editor/completion_context.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

#include <QListView>

namespace brindle {

class RichTextEditor;

namespace completion {

// One name the popup offers.
struct Choice {
    enum class Kind { Table, Column, Keyword };
    QString label;  // as listed
    QString insert; // as it goes into the text (quoted where needed)
    Kind kind = Kind::Keyword;
};

// Where the names come from: the connection's catalog and the keyword file.
class ChoiceSource {
public:
    virtual ~ChoiceSource() = default;
    // The tables; in `group` only when it is not empty (names then go in
    // without their group, which is typed already).
    virtual std::vector<Choice> Tables(const QString& group) = 0;
    // Whether a qualifier names a group (schema) rather than a table.
    virtual bool IsGroup(const QString& name) = 0;
    // The columns of a table named so; nothing while they are still being
    // read (they are asked for, and ChoicesChanged follows).
    virtual std::optional<std::vector<Choice>> Columns(const TableRef& table) = 0;
    virtual std::vector<Choice> Keywords() = 0;
};

class ChoiceModel;

// The completion of one editor: opened by Ctrl+Space, or by itself after
// "." and after FROM, JOIN, INTO and UPDATE. Keys the popup has no use for
// go on to the text; typing narrows the list.
class CompletionPopup : public QObject {
    Q_OBJECT
public:
    CompletionPopup(RichTextEditor& editor, ChoiceSource& source);
    ~CompletionPopup() override;

    // Opens on the word at the caret (Ctrl+Space): with one choice only it
    // is taken at once.
    void OpenAsked();
    void Close();
    bool IsOpen() const;
    // Names arrived (columns read): an open list is filled again.
    void ChoicesChanged();

    QListView* list() const { return m_list; }
    // What the list shows now, in order.
    QStringList Shown() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Open(bool asked);
    void Narrow();
    void Accept();
    void AfterTextChange(int position, int removed, int added);
    void Place();
    std::vector<Choice> ChoicesFor(const Context& context);

    RichTextEditor& m_editor;
    ChoiceSource& m_source;
    QPointer<QListView> m_list; // owned by the window, which may go first
    std::unique_ptr<ChoiceModel> m_model;
    Context m_context;
    qsizetype m_wordStart = 0; // document position where the word starts
    bool m_asked = false;      // opened by the user, not by a typed key
    bool m_chosen = false;     // the user moved in the list
    bool m_pending = false;    // some columns asked for are still being read
    bool m_waiting = false;    // opens when they arrive
};

} // namespace completion
} // namespace brindle
