#pragma once

#include "store/sqlite_handles.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <string>

namespace brindle::store {

// A search of the history's texts finds every text that holds it anywhere,
// in any case: both are case-folded as Qt folds them (QString::toCaseFolded)
// and the folded text must contain the folded search, character for
// character. Nothing in the search is syntax.
//
// The trigram index only narrows the candidates, and every candidate is then
// checked as above, so that each way of narrowing finds the same texts. A
// search holding runs of three or more characters that the index folds as Qt
// does asks it for those runs; a shorter one, for the trigrams that start
// with its longest such run (the index is given every text with two line
// ends after it, so that each character starts a trigram).

// True when the trigram index folds `c` to the character Qt folds it to, and
// folds every character that Qt folds as `c` likewise: its tables are of an
// older Unicode than Qt's, and it must not miss a text that Qt would match.
bool IndexFoldsAsQt(char32_t c);

// The full-text query (FTS5 syntax) for the runs of at least three
// characters of `search` that the index folds as Qt does, each a quoted
// phrase, all of them required; empty when there is none.
QString HistoryIndexQuery(const QString& search);

// The longest run of one or two such characters of `search`, case-folded;
// empty when there is none.
QString HistoryIndexPrefix(const QString& search);

// The full-text query for a text holding any of `terms` (trigrams of the
// index); empty when there is none or one cannot be written in a query (a
// NUL would end it).
QString HistoryTermsQuery(const QStringList& terms);

// A search folded once, to check texts given as UTF-8 (as SQLite holds them,
// NUL characters included).
class FoldedSearch {
public:
    explicit FoldedSearch(const QString& search);
    bool IsEmpty() const { return m_folded.isEmpty(); }
    bool FoundIn(QByteArrayView utf8) const;

private:
    QString m_folded;
    bool m_ascii = false;           // every character folded is ASCII
    bool m_foldsFromBeyond = false; // ASCII, and some of it is the fold of a non-ASCII character
    std::string m_asciiBytes;       // the folded search, when ASCII
    QByteArray m_anchor;            // UTF-8 of a character only that character matches, or empty
    mutable std::string m_scratch;  // a text folded as ASCII, block by block
};

// Registers history_match(text, search) on `db`: 1 when `text` holds
// `search` as FoldedSearch finds it, else 0. The search is given as
// HistoryMatchArgument gives it. For the readers' connections: the store's
// schema needs no function of ours.
void RegisterHistoryMatch(const SqliteConnection& db);

// `search` for history_match, to be bound as a blob: its UTF-16 units as
// they are, so that a lone surrogate (a search may end in half a pair) is
// not lost as it would be in UTF-8.
QByteArray HistoryMatchArgument(const QString& search);

} // namespace brindle::store
