#include "editor/completion_scan.h"

#include <algorithm>
#include <initializer_list>

namespace brindle::completion::scan {

using editing::NameOf;
using editing::SqlToken;
using editing::SqlTokenKind;

namespace {

bool IsOneOf(QStringView word, std::initializer_list<QStringView> upper) {
    for (QStringView candidate : upper) {
        if (word.size() == candidate.size() && word.compare(candidate, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QStringView TextOf(const CodeTokens& code, qsizetype k) {
    const SqlToken& t = code.at(k);
    return code.text.sliced(t.start, t.end - t.start);
}

// Words that end a table list at their depth: a comma after them is none of
// its commas.
bool IsClauseWord(const CodeTokens& code, qsizetype k) {
    return code.at(k).kind == SqlTokenKind::Word &&
           IsOneOf(TextOf(code, k), {u"SELECT", u"WHERE", u"GROUP", u"ORDER", u"BY", u"HAVING",
                                     u"SET", u"VALUES", u"UNION", u"EXCEPT", u"INTERSECT", u"LIMIT",
                                     u"OFFSET", u"RETURNING", u"WITH", u"WINDOW", u"FETCH"});
}

bool Touches(const SqlToken& t, qsizetype caret) {
    return t.start < caret && caret <= t.end;
}

// Reads the table name at `j` with its alias into `tables`.
void ReadTable(const CodeTokens& code, qsizetype j, bool mayBeFunction, qsizetype caret,
               std::vector<TableRef>& tables) {
    const qsizetype n = code.size();
    TableRef ref;
    const qsizetype nameStart = code.at(j).start;
    qsizetype nameEnd = nameStart;
    for (;;) {
        ref.name << NameOf(code.text, code.at(j));
        ref.nameQuoted << (code.at(j).kind == SqlTokenKind::QuotedName);
        nameEnd = code.at(j).end;
        ++j;
        if (j >= n || !code.IsPunct(j, u'.'))
            break;
        nameEnd = code.at(j).end;
        ++j;
        if (j >= n || !code.IsName(j))
            break;
    }
    if (mayBeFunction && j < n && code.IsPunct(j, u'('))
        return; // a table function

    qsizetype aliasAt = -1;
    if (j < n && code.IsWord(j, u"AS")) {
        ++j;
        if (j < n && code.IsName(j))
            aliasAt = j++;
    } else if (j < n && code.IsName(j) && !code.IsReservedWord(j)) {
        aliasAt = j++;
    }
    if (aliasAt >= 0 && !Touches(code.at(aliasAt), caret)) {
        ref.alias = NameOf(code.text, code.at(aliasAt));
        ref.aliasQuoted = code.at(aliasAt).kind == SqlTokenKind::QuotedName;
    }
    // The name being typed is no table yet.
    if (!(nameStart < caret && caret <= nameEnd))
        tables.push_back(std::move(ref));
}

} // namespace

bool CodeTokens::IsWord(qsizetype k, QStringView word) const {
    return at(k).kind == SqlTokenKind::Word && IsOneOf(TextOf(*this, k), {word});
}

bool CodeTokens::IsPunct(qsizetype k, char16_t c) const {
    return at(k).kind == SqlTokenKind::Punct && text[at(k).start] == c;
}

bool CodeTokens::IsName(qsizetype k) const {
    return at(k).kind == SqlTokenKind::Word || at(k).kind == SqlTokenKind::QuotedName;
}

bool CodeTokens::IsReservedWord(qsizetype k) const {
    return at(k).kind == SqlTokenKind::Word &&
           IsOneOf(TextOf(*this, k),
                   {u"AFTER",   u"ALL",       u"ALTER",    u"AND",     u"APPLY",     u"AS",
                    u"ASC",     u"BEFORE",    u"BEGIN",    u"BETWEEN", u"BY",        u"CASCADE",
                    u"CASE",    u"CREATE",    u"CROSS",    u"DECLARE", u"DEFAULT",   u"DELETE",
                    u"DESC",    u"DISTINCT",  u"DROP",     u"ELSE",    u"END",       u"EXCEPT",
                    u"EXEC",    u"EXECUTE",   u"EXISTS",   u"FETCH",   u"FOR",       u"FORCE",
                    u"FROM",    u"FULL",      u"GO",       u"GROUP",   u"HAVING",    u"IF",
                    u"IGNORE",  u"IN",        u"INNER",    u"INSERT",  u"INTERSECT", u"INTO",
                    u"IS",      u"JOIN",      u"KEY",      u"LATERAL", u"LEFT",      u"LIMIT",
                    u"MATCHED", u"MERGE",     u"MINUS",    u"NATURAL", u"NOT",       u"NULL",
                    u"OF",      u"OFFSET",    u"ON",       u"ONLY",    u"OPTION",    u"OR",
                    u"ORDER",   u"OUTER",     u"OUTPUT",   u"PIVOT",   u"QUALIFY",   u"RESTRICT",
                    u"RETURN",  u"RETURNING", u"RIGHT",    u"SELECT",  u"SET",       u"TABLESAMPLE",
                    u"THEN",    u"TOP",       u"TRUNCATE", u"UNION",   u"UNPIVOT",   u"UPDATE",
                    u"USE",     u"USING",     u"VALUES",   u"WHEN",    u"WHERE",     u"WHILE",
                    u"WINDOW",  u"WITH"});
}

CodeTokens ReadCode(QStringView text, const std::vector<SqlToken>& all) {
    CodeTokens code;
    code.text = text;
    code.tokens.reserve(all.size());
    for (const SqlToken& t : all) {
        if (t.kind != SqlTokenKind::Comment)
            code.tokens.push_back(t);
    }
    const qsizetype n = code.size();
    code.keyword.assign(static_cast<std::size_t>(n), TableKeyword::None);

    // Per open bracket, outermost first: whether it holds a query (FROM in
    // any other, as in EXTRACT(YEAR FROM d), names no table), and whether a
    // table list runs at its depth now, so that a comma there names a table.
    struct Depth {
        bool query = true;
        bool list = false;
    };
    std::vector<Depth> depths(1);
    for (qsizetype k = 0; k < n; ++k) {
        const auto after = [&](QStringView word) {
            return k > 0 && code.IsWord(k - 1, word);
        };
        TableKeyword& keyword = code.keyword[static_cast<std::size_t>(k)];
        if (code.IsPunct(k, u'(')) {
            depths.push_back(
                {k + 1 < n && (code.IsWord(k + 1, u"SELECT") || code.IsWord(k + 1, u"WITH")),
                 false});
        } else if (code.IsPunct(k, u')')) {
            if (depths.size() > 1)
                depths.pop_back();
        } else if (code.IsPunct(k, u',')) {
            if (depths.back().list)
                keyword = TableKeyword::ListComma;
        } else if (code.IsPunct(k, u';')) {
            depths.back().list = false;
        } else if (code.IsWord(k, u"FROM")) {
            if (depths.back().query && !after(u"DISTINCT"))
                keyword = TableKeyword::From;
        } else if (code.IsWord(k, u"JOIN")) {
            keyword = TableKeyword::Join;
        } else if (code.IsWord(k, u"INTO")) {
            keyword = TableKeyword::Into;
        } else if (code.IsWord(k, u"UPDATE")) {
            // Not ON UPDATE, FOR UPDATE, ON DUPLICATE KEY UPDATE, a trigger's
            // BEFORE UPDATE or a GRANT's list.
            const bool clause = after(u"ON") || after(u"FOR") || after(u"KEY") || after(u"OR") ||
                                after(u"BEFORE") || after(u"AFTER") ||
                                (k > 0 && code.IsPunct(k - 1, u','));
            if (!clause)
                keyword = TableKeyword::Update;
        } else if (IsClauseWord(code, k) &&
                   !(code.IsWord(k, u"WITH") && k + 1 < n && code.IsPunct(k + 1, u'('))) {
            // (Not SQL Server's table hints: FROM t WITH (NOLOCK), u.)
            depths.back().list = false;
        }
        if (keyword == TableKeyword::From || keyword == TableKeyword::Join ||
            keyword == TableKeyword::Update)
            depths.back().list = true;
        else if (keyword == TableKeyword::Into)
            depths.back().list = false;
    }
    return code;
}

std::vector<TableRef> TablesNamed(const CodeTokens& code, qsizetype caret) {
    std::vector<TableRef> tables;
    const qsizetype n = code.size();
    for (qsizetype k = 0; k < n; ++k) {
        const TableKeyword keyword = code.KeywordAt(k);
        if (keyword == TableKeyword::None)
            continue;
        qsizetype j = k + 1;
        while (j < n && (code.IsWord(j, u"ONLY") || code.IsWord(j, u"LATERAL")))
            ++j;
        // A subquery names its tables with its own FROM.
        if (j < n && code.IsName(j) && !code.IsReservedWord(j))
            ReadTable(code, j, keyword != TableKeyword::Into, caret, tables);
    }
    return tables;
}

} // namespace brindle::completion::scan
