#pragma once

#include "editor/completion_context.h"
#include "editor/sql_tokens.h"

#include <QStringView>

#include <vector>

// The statement shape name completion reads from a batch, one token at a
// time so that a long batch costs no memory beyond its tables: which words
// and commas a table name follows, the tables named, and the qualifier
// before the latest dot. Used by AnalyseAt only.
namespace brindle::completion::scan {

// What a token is to the table names that follow it: the keyword before
// one, or a comma of a FROM list (or of a multi-table UPDATE) before the next.
enum class TableKeyword : unsigned char { None, From, Join, Into, Update, ListComma };

class BatchReader {
public:
    // A table name holding `caret` is being typed, so it is no table yet.
    BatchReader(QStringView text, qsizetype caret) : m_text(text), m_caret(caret) {}

    // The batch's tokens but comments, in order.
    void Feed(const editing::SqlToken& token);
    // The batch has ended: a table still being read is complete.
    std::vector<TableRef> TakeTables();

    // The latest token fed, and what it is to table names.
    bool HasLast() const { return m_hasLast; }
    const editing::SqlToken& Last() const { return m_last; }
    TableKeyword LastKeyword() const { return m_lastKeyword; }
    // When the latest token is a "." right after a name: the names of
    // name.name. ... up to it, and whether a table keyword stands before them.
    const std::vector<editing::SqlToken>& Qualifier() const { return m_chain; }
    bool QualifierOpen() const { return m_chainOpen; }
    bool QualifierAfterTableKeyword() const { return m_chainAfterKeyword; }

private:
    TableKeyword Classify(const editing::SqlToken& t);
    void ReadTable(const editing::SqlToken& t);
    void EndOfName(const editing::SqlToken& t);
    void AddPart(const editing::SqlToken& t);
    void SetAlias(const editing::SqlToken& t);
    void EndTable();
    void FollowQualifier(const editing::SqlToken& t);

    // Per open bracket, outermost first: whether it holds a query (FROM in
    // any other, as in EXTRACT(YEAR FROM d), names no table), and whether a
    // table list runs at its depth now, so that a comma there names a table.
    struct Depth {
        bool query = true;
        bool list = false;
    };
    // Where the table being read stands.
    enum class Reading { Nothing, Keyword, Part, Dot, As };

    QStringView m_text;
    qsizetype m_caret = 0;

    bool m_hasLast = false;
    editing::SqlToken m_last;
    TableKeyword m_lastKeyword = TableKeyword::None;

    std::vector<Depth> m_depths{Depth{}};
    bool m_bracketJustOpened = false; // its first token tells whether it holds a query
    bool m_withPending = false;       // WITH ends a table list unless "(" follows

    Reading m_reading = Reading::Nothing;
    bool m_mayBeFunction = false;
    TableRef m_table;
    qsizetype m_nameStart = 0;
    qsizetype m_nameEnd = 0;
    std::vector<TableRef> m_tables;

    std::vector<editing::SqlToken> m_chain;
    bool m_chainOpen = false;
    bool m_chainAfterKeyword = false;
};

} // namespace brindle::completion::scan
