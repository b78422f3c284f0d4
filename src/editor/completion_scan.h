#pragma once

#include "editor/completion_context.h"
#include "editor/sql_tokens.h"

#include <QStringView>

#include <vector>

// The statement shape name completion reads from a batch's tokens: which
// words and commas a table name follows. Used by AnalyseAt only.
namespace brindle::completion::scan {

// What a token is to the table names that follow it: the keyword before
// one, or a comma of a FROM list (or of a multi-table UPDATE) before the next.
enum class TableKeyword : unsigned char { None, From, Join, Into, Update, ListComma };

// The tokens of a batch outside comments, with what each one is to the
// table names. Indexes below are into `tokens`.
struct CodeTokens {
    QStringView text;
    std::vector<editing::SqlToken> tokens;
    std::vector<TableKeyword> keyword;

    qsizetype size() const { return static_cast<qsizetype>(tokens.size()); }
    const editing::SqlToken& at(qsizetype k) const { return tokens[static_cast<std::size_t>(k)]; }
    TableKeyword KeywordAt(qsizetype k) const { return keyword[static_cast<std::size_t>(k)]; }
    // A bare word equal to `word` ignoring case (`word` in upper case).
    bool IsWord(qsizetype k, QStringView word) const;
    bool IsPunct(qsizetype k, char16_t c) const;
    bool IsName(qsizetype k) const; // a bare word or a quoted name
    // A bare word that cannot be a table's or an alias's name.
    bool IsReservedWord(qsizetype k) const;
};

// `all` as SqlTokens gives it for `text`.
CodeTokens ReadCode(QStringView text, const std::vector<editing::SqlToken>& all);

// Every table named after FROM, JOIN, INTO, UPDATE and the commas of their
// lists, in order. A name the caret stands in (it is being typed) is left out.
std::vector<TableRef> TablesNamed(const CodeTokens& code, qsizetype caret);

} // namespace brindle::completion::scan
