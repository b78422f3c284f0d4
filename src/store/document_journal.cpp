#include "store/document_journal.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QWidget>

namespace brindle {

namespace {

// The text's length without the separator every document ends with.
int TextLength(const QTextDocument& document) {
    return document.characterCount() - 1;
}

} // namespace

DocumentJournal::DocumentJournal(store::QueryJournal& journal, store::QueryJournal::Key key,
                                 QTextDocument& document, QWidget& window)
    : QObject(&window), m_journal(journal), m_key(key), m_document(document),
      m_length(TextLength(document)) {
    connect(&document, &QTextDocument::contentsChange, this, &DocumentJournal::OnContentsChange);
    connect(&window, &QWidget::windowTitleChanged, this, [this](const QString& caption) {
        if (!m_closed)
            m_journal.Rename(m_key, caption);
    });
}

void DocumentJournal::Close() {
    if (m_closed)
        return;
    m_closed = true;
    m_journal.Close(m_key);
}

QString DocumentJournal::TextOf(const QTextDocument& document, int position, int length) {
    if (length <= 0)
        return {};
    QString text;
    if (length > 65536) {
        // A selection finds where each piece of the text stands again, which
        // for a whole long script costs several times one copy of it.
        text = document.toRawText();
        if (position > 0 || length < text.size())
            text = text.mid(position, length);
    } else {
        QTextCursor cursor(const_cast<QTextDocument*>(&document));
        cursor.setPosition(position);
        cursor.setPosition(position + length, QTextCursor::KeepAnchor);
        text = cursor.selectedText();
    }
    for (QChar& c : text) {
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            c = u'\n';
    }
    return text;
}

void DocumentJournal::OnContentsChange(int position, int removed, int added) {
    if (m_closed)
        return;
    const int length = TextLength(m_document);
    // A change that reaches the end counts the final separator too; what was
    // really removed and added follows from the lengths before and after.
    const int reallyRemoved = std::min(removed, m_length - position);
    const int reallyAdded = length - (m_length - reallyRemoved);
    if (position < 0 || reallyRemoved < 0 || reallyAdded < 0 || position + reallyAdded > length ||
        reallyAdded > added) {
        // Never expected; the whole text keeps the journal right whatever happened.
        m_length = length;
        m_journal.Replace(m_key, TextOf(m_document, 0, length));
        return;
    }
    m_length = length;
    if (reallyRemoved == 0 && reallyAdded == 0)
        return; // only formats changed
    m_journal.Edit(m_key, position, reallyRemoved, TextOf(m_document, position, reallyAdded));
}

} // namespace brindle
