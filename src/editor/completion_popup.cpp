#include "editor/completion_popup.h"

#include "data/split_batches.h"
#include "editor/batch_at_caret.h"
#include "editor/rich_text_editor.h"

#include <QAbstractListModel>
#include <QBrush>
#include <QKeyEvent>
#include <QListView>
#include <QScrollBar>
#include <QSet>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

namespace brindle::completion {

namespace {

constexpr int kRowsShown = 10;

bool IsWordChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c == u'$';
}

bool IsQuoteOpen(QChar c) {
    return c == u'"' || c == u'`' || c == u'[';
}

// The lines a batch at the caret can take, read block by block from the
// caret's outwards, so that opening the list costs the batch's lines and not
// the whole script's: from after the GO line before the caret's line to the
// next GO line (the caret's own, when it is on one). Offsets are those of the
// document, whose plain text has one character for each of the block's.
struct Region {
    qsizetype start = 0;
    QString text;
};

Region RegionAround(const QTextDocument& document, qsizetype caret) {
    const QTextBlock caretBlock = document.findBlock(static_cast<int>(caret));
    QTextBlock first = caretBlock;
    while (first.previous().isValid() && !IsGoLine(first.previous().text()))
        first = first.previous();
    Region region{first.position(), {}};
    for (QTextBlock block = first; block.isValid(); block = block.next()) {
        if (block != first)
            region.text += u'\n';
        region.text += block.text();
        if (block.position() >= caretBlock.position() && IsGoLine(block.text()))
            break;
    }
    // As the document's plain text has them.
    for (QChar& c : region.text) {
        if (c == QChar::Nbsp)
            c = u' ';
        else if (c == QChar::LineSeparator)
            c = u'\n';
    }
    return region;
}

} // namespace

// The choices that hold the word typed so far: those it begins first.
class ChoiceModel : public QAbstractListModel {
public:
    void SetChoices(std::vector<Choice> choices) { m_all = std::move(choices); }
    void Narrow(QStringView word) {
        beginResetModel();
        m_shown.clear();
        std::vector<int> inside;
        for (int i = 0; i < int(m_all.size()); ++i) {
            const QString& label = m_all[std::size_t(i)].label;
            if (label.startsWith(word, Qt::CaseInsensitive))
                m_shown.push_back(i);
            else if (!word.isEmpty() && label.contains(word, Qt::CaseInsensitive))
                inside.push_back(i);
        }
        m_shown.insert(m_shown.end(), inside.begin(), inside.end());
        endResetModel();
    }
    const Choice& At(int row) const { return m_all[std::size_t(m_shown[std::size_t(row)])]; }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : int(m_shown.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid())
            return {};
        const Choice& choice = At(index.row());
        if (role == Qt::DisplayRole)
            return choice.label;
        if (role == Qt::ForegroundRole) {
            switch (choice.kind) {
            case Choice::Kind::Keyword:
                return QBrush(Qt::darkBlue);
            case Choice::Kind::Column:
                return QBrush(Qt::darkGreen);
            case Choice::Kind::Table:
                return {};
            }
        }
        return {};
    }

private:
    std::vector<Choice> m_all;
    std::vector<int> m_shown;
};

CompletionPopup::CompletionPopup(RichTextEditor& editor, ChoiceSource& source)
    : QObject(&editor), m_editor(editor), m_source(source), m_list(new QListView(editor.window())),
      m_model(std::make_unique<ChoiceModel>()) {
    // A child of the window, not a window of its own: the editor keeps the
    // keyboard, and no window manager is asked to place it.
    m_list->setObjectName(QStringLiteral("lstCompletion"));
    m_list->setModel(m_model.get());
    m_list->setFocusPolicy(Qt::NoFocus);
    m_list->setUniformItemSizes(true);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setFrameShape(QFrame::Box);
    m_list->hide();
    connect(m_list, &QListView::clicked, this, [this](const QModelIndex& index) {
        m_list->setCurrentIndex(index);
        Accept();
    });
    editor.installEventFilter(this);
    connect(editor.document(), &QTextDocument::contentsChange, this,
            &CompletionPopup::AfterTextChange);
    connect(&editor, &QPlainTextEdit::cursorPositionChanged, this, [this] {
        if (IsOpen())
            Narrow();
    });
}

CompletionPopup::~CompletionPopup() {
    delete m_list.data();
}

bool CompletionPopup::IsOpen() const {
    return m_list && m_list->isVisible();
}

QStringList CompletionPopup::Shown() const {
    QStringList shown;
    if (!IsOpen())
        return shown;
    for (int row = 0; row < m_model->rowCount(); ++row)
        shown.append(m_model->At(row).label);
    return shown;
}

void CompletionPopup::OpenAsked() {
    Open(true);
}

void CompletionPopup::Close() {
    m_waiting = false;
    if (m_list)
        m_list->hide();
}

void CompletionPopup::Open(bool asked) {
    const qsizetype caret = m_editor.textCursor().position();
    const Region region = RegionAround(*m_editor.document(), caret);
    const qsizetype at = caret - region.start;
    editing::TextSpan batch{at, 0};
    if (const std::optional<editing::TextSpan> found = editing::BatchAt(region.text, at);
        found && found->start <= at && at <= found->end())
        batch = *found;
    m_context =
        AnalyseAt(QStringView(region.text).sliced(batch.start, batch.length), at - batch.start);
    if (m_context.want == Want::Nothing)
        return Close();
    m_wordStart = region.start + batch.start + m_context.wordStart;
    m_asked = asked;
    m_chosen = false;
    m_pending = false;
    m_model->SetChoices(ChoicesFor(m_context));
    Narrow();
    // Columns still being read: the list opens when they arrive, if the
    // caret is still on the word.
    m_waiting = !IsOpen() && m_pending;
    if (asked && IsOpen() && m_model->rowCount() == 1)
        Accept();
}

void CompletionPopup::ChoicesChanged() {
    if (!IsOpen() && !m_waiting)
        return;
    m_pending = false;
    m_model->SetChoices(ChoicesFor(m_context));
    Narrow();
    m_waiting = !IsOpen() && m_pending;
}

std::vector<Choice> CompletionPopup::ChoicesFor(const Context& context) {
    std::vector<Choice> choices;
    const auto add = [&choices](std::vector<Choice> more) {
        choices.insert(choices.end(), std::make_move_iterator(more.begin()),
                       std::make_move_iterator(more.end()));
    };
    const auto columns = [this](const TableRef& table) {
        std::optional<std::vector<Choice>> found = m_source.Columns(table);
        m_pending = m_pending || !found;
        return found.value_or(std::vector<Choice>{});
    };
    switch (context.want) {
    case Want::Nothing:
        break;
    case Want::Table:
        add(m_source.Tables({}));
        break;
    case Want::ColumnOf:
        if (context.qualifierIsSchema) {
            add(m_source.Tables(context.qualifier.back()));
        } else if (const std::optional<TableRef> table = Resolve(context)) {
            add(columns(*table));
        } else if (context.qualifier.size() == 1 && m_source.IsGroup(context.qualifier.front())) {
            add(m_source.Tables(context.qualifier.front()));
        } else {
            TableRef named;
            named.name = context.qualifier;
            named.nameQuoted = context.qualifierQuoted;
            add(columns(named));
        }
        break;
    case Want::Anything:
        for (const TableRef& table : context.tables)
            add(columns(table));
        add(m_source.Tables({}));
        add(m_source.Keywords());
        break;
    }
    // A column two tables share is offered once.
    std::vector<Choice> unique;
    unique.reserve(choices.size());
    QSet<QString> seen;
    for (Choice& choice : choices) {
        if (!seen.contains(choice.insert)) {
            seen.insert(choice.insert);
            unique.push_back(std::move(choice));
        }
    }
    return unique;
}

void CompletionPopup::Narrow() {
    const QTextCursor caret = m_editor.textCursor();
    const qsizetype position = caret.position();
    const QTextBlock block = caret.block();
    // The word ends where the caret leaves it: before its start, into
    // another line, or past a character no name holds.
    if (position < m_wordStart || m_wordStart < block.position() || caret.hasSelection())
        return Close();
    const QString line = block.text();
    const QStringView word =
        QStringView(line).sliced(m_wordStart - block.position(), position - m_wordStart);
    QStringView bare = word;
    if (!bare.isEmpty() && IsQuoteOpen(bare.front()))
        bare = bare.sliced(1);
    if (!std::all_of(bare.begin(), bare.end(), IsWordChar) && word.front() != u'"' &&
        word.front() != u'`' && word.front() != u'[')
        return Close();
    m_model->Narrow(bare);
    if (m_model->rowCount() == 0) {
        m_list->hide();
        return;
    }
    // Opened by a typed key, nothing is chosen until the user types a name
    // or moves in the list: Enter and Tab still belong to the text.
    if (m_asked || !bare.isEmpty() || m_chosen)
        m_list->setCurrentIndex(m_model->index(0));
    else
        m_list->setCurrentIndex({});
    Place();
}

void CompletionPopup::Place() {
    QWidget* window = m_editor.window();
    const QRect caret = m_editor.cursorRect();
    const int rowHeight = qMax(m_list->sizeHintForRow(0), m_editor.fontMetrics().height());
    const int rows = qMin(kRowsShown, m_model->rowCount());
    const int frame = 2 * m_list->frameWidth();
    const QSize size(qMax(220, m_list->sizeHintForColumn(0) + frame +
                                   m_list->verticalScrollBar()->sizeHint().width()),
                     rows * rowHeight + frame);
    QPoint at = m_editor.viewport()->mapTo(window, caret.bottomLeft());
    if (at.y() + size.height() > window->height())
        at.setY(m_editor.viewport()->mapTo(window, caret.topLeft()).y() - size.height());
    at.setX(qBound(0, at.x(), qMax(0, window->width() - size.width())));
    at.setY(qMax(0, at.y()));
    m_list->setGeometry(QRect(at, size));
    m_list->raise();
    m_list->show();
}

void CompletionPopup::Accept() {
    const QModelIndex current = m_list->currentIndex();
    if (!current.isValid())
        return Close();
    const QString insert = m_model->At(current.row()).insert;
    Close();
    QTextCursor cursor = m_editor.textCursor();
    const int end = cursor.position();
    cursor.setPosition(int(m_wordStart));
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    m_editor.setTextCursor(cursor);
    m_editor.InsertPlainText(insert);
}

void CompletionPopup::AfterTextChange(int position, int removed, int added) {
    // One character typed (a colouring changes formats only: as many
    // characters removed as added).
    if (IsOpen() || removed != 0 || added != 1)
        return;
    const QTextBlock block = m_editor.document()->findBlock(position);
    if (!block.isValid())
        return;
    const QString line = block.text();
    const qsizetype inLine = position + 1 - block.position();
    if (inLine < 1 || inLine > line.size() || !OpensByItself(line, inLine))
        return;
    // After the editor has put the caret behind the character.
    QMetaObject::invokeMethod(
        this,
        [this, at = position + 1] {
            if (m_editor.textCursor().position() == at && !m_editor.textCursor().hasSelection())
                Open(false);
        },
        Qt::QueuedConnection);
}

bool CompletionPopup::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &m_editor)
        return false;
    if (event->type() == QEvent::FocusOut) {
        Close();
        return false;
    }
    if (event->type() != QEvent::KeyPress || !IsOpen())
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier))
        return false;
    const int rows = m_model->rowCount();
    const int row = m_list->currentIndex().isValid() ? m_list->currentIndex().row() : -1;
    const auto moveTo = [this, rows](int target) {
        m_chosen = true;
        m_list->setCurrentIndex(m_model->index(qBound(0, target, rows - 1)));
        return true;
    };
    switch (key->key()) {
    case Qt::Key_Down:
        return moveTo(row + 1);
    case Qt::Key_Up:
        return moveTo(row < 0 ? 0 : row - 1);
    case Qt::Key_PageDown:
        return moveTo(row + kRowsShown - 1);
    case Qt::Key_PageUp:
        return moveTo(row - (kRowsShown - 1));
    case Qt::Key_Escape:
        Close();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
        if (row < 0) {
            Close(); // nothing chosen: the key is the text's
            return false;
        }
        Accept();
        return true;
    default:
        return false;
    }
}

} // namespace brindle::completion
