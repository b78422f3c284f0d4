#pragma once

#include "store/query_journal.h"

#include <QObject>

class QTextDocument;

namespace brindle {

// Hands every change of one document's editor to the journal as it happens:
// where, how much went, what came. Costs what the change costs, never what
// the document costs, so typing in a 20 MB script does not wait for it.
class DocumentJournal final : public QObject {
    Q_OBJECT
public:
    // Follows `document` from its text as it stands now, known to the journal
    // under `key`; `window`'s title is the caption.
    DocumentJournal(store::QueryJournal& journal, store::QueryJournal::Key key,
                    QTextDocument& document, QWidget& window);

    store::QueryJournal::Key Key() const { return m_key; }
    // The document has closed: it is kept as a closed one.
    void Close();

    // The document's text as the journal keeps it: lines separated by '\n'.
    static QString TextOf(const QTextDocument& document, int position, int length);

private:
    void OnContentsChange(int position, int removed, int added);

    store::QueryJournal& m_journal;
    store::QueryJournal::Key m_key;
    QTextDocument& m_document;
    int m_length; // of the text the journal has
    bool m_closed = false;
};

} // namespace brindle
