#include "editor/completion_scan.h"

#include <initializer_list>

namespace brindle::completion::scan {

using editing::NameOf;
using editing::SqlToken;
using editing::SqlTokenKind;

namespace {

// `upper`: ASCII capitals. The first letter is compared by hand, which
// settles most words without the full comparison.
bool IsOneOf(QStringView word, std::initializer_list<QStringView> upper) {
    if (word.isEmpty())
        return false;
    const char16_t first = word.front().unicode() & ~char16_t(0x20);
    for (QStringView candidate : upper) {
        if (word.size() == candidate.size() && first == candidate.front().unicode() &&
            word.compare(candidate, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QStringView TextOf(QStringView text, const SqlToken& t) {
    return text.sliced(t.start, t.end - t.start);
}

// A bare word equal to one of `upper` ignoring case.
bool IsWord(QStringView text, const SqlToken& t, std::initializer_list<QStringView> upper) {
    return t.kind == SqlTokenKind::Word && IsOneOf(TextOf(text, t), upper);
}

bool IsPunct(QStringView text, const SqlToken& t, char16_t c) {
    return t.kind == SqlTokenKind::Punct && text[t.start] == c;
}

bool IsName(const SqlToken& t) {
    return t.kind == SqlTokenKind::Word || t.kind == SqlTokenKind::QuotedName;
}

// Words that end a table list at their depth: a comma after them is none of
// its commas. (WITH is handled apart: SQL Server's FROM t WITH (NOLOCK), u.)
bool IsClauseWord(QStringView text, const SqlToken& t) {
    return IsWord(text, t,
                  {u"SELECT", u"WHERE", u"GROUP", u"ORDER", u"BY", u"HAVING", u"SET", u"VALUES",
                   u"UNION", u"EXCEPT", u"INTERSECT", u"LIMIT", u"OFFSET", u"RETURNING", u"WINDOW",
                   u"FETCH"});
}

// A bare word that cannot be a table's or an alias's name.
bool IsReservedWord(QStringView text, const SqlToken& t) {
    return IsWord(
        text, t,
        {u"AFTER",  u"ALL",         u"ALTER",    u"AND",     u"APPLY",     u"AS",        u"ASC",
         u"BEFORE", u"BEGIN",       u"BETWEEN",  u"BY",      u"CASCADE",   u"CASE",      u"CREATE",
         u"CROSS",  u"DECLARE",     u"DEFAULT",  u"DELETE",  u"DESC",      u"DISTINCT",  u"DROP",
         u"ELSE",   u"END",         u"EXCEPT",   u"EXEC",    u"EXECUTE",   u"EXISTS",    u"FETCH",
         u"FOR",    u"FORCE",       u"FROM",     u"FULL",    u"GO",        u"GROUP",     u"HAVING",
         u"IF",     u"IGNORE",      u"IN",       u"INNER",   u"INSERT",    u"INTERSECT", u"INTO",
         u"IS",     u"JOIN",        u"KEY",      u"LATERAL", u"LEFT",      u"LIMIT",     u"MATCHED",
         u"MERGE",  u"MINUS",       u"NATURAL",  u"NOT",     u"NULL",      u"OF",        u"OFFSET",
         u"ON",     u"ONLY",        u"OPTION",   u"OR",      u"ORDER",     u"OUTER",     u"OUTPUT",
         u"PIVOT",  u"QUALIFY",     u"RESTRICT", u"RETURN",  u"RETURNING", u"RIGHT",     u"SELECT",
         u"SET",    u"TABLESAMPLE", u"THEN",     u"TOP",     u"TRUNCATE",  u"UNION",     u"UNPIVOT",
         u"UPDATE", u"USE",         u"USING",    u"VALUES",  u"WHEN",      u"WHERE",     u"WHILE",
         u"WINDOW", u"WITH"});
}

} // namespace

void BatchReader::Feed(const SqlToken& t) {
    ReadTable(t);
    FollowQualifier(t);
    const TableKeyword keyword = Classify(t);
    if (keyword != TableKeyword::None) {
        m_reading = Reading::Keyword;
        m_mayBeFunction = keyword != TableKeyword::Into;
    }
    m_hasLast = true;
    m_last = t;
    m_lastKeyword = keyword;
}

TableKeyword BatchReader::Classify(const SqlToken& t) {
    const QStringView text = m_text;
    // x.from is a name; in "SELECT o. FROM t" the dot waits for one.
    const bool afterDot = m_hasLast && IsPunct(text, m_last, u'.') && m_last.end == t.start;
    const auto after = [&](std::initializer_list<QStringView> upper) {
        return m_hasLast && IsWord(text, m_last, upper);
    };
    if (m_bracketJustOpened) {
        m_depths.back().query = IsWord(text, t, {u"SELECT", u"WITH"});
        m_bracketJustOpened = false;
    }
    if (m_withPending) {
        if (!IsPunct(text, t, u'('))
            m_depths.back().list = false;
        m_withPending = false;
    }

    TableKeyword keyword = TableKeyword::None;
    if (t.kind == SqlTokenKind::Punct) {
        switch (text[t.start].unicode()) {
        case u'(':
            m_depths.push_back({true, false});
            m_bracketJustOpened = true;
            break;
        case u')':
            if (m_depths.size() > 1)
                m_depths.pop_back();
            break;
        case u',':
            if (m_depths.back().list)
                keyword = TableKeyword::ListComma;
            break;
        case u';':
            m_depths.back().list = false;
            break;
        default:
            break;
        }
    } else if (t.kind != SqlTokenKind::Word || afterDot) {
        // A name.
    } else if (IsWord(text, t, {u"FROM"})) {
        if (m_depths.back().query && !after({u"DISTINCT"}))
            keyword = TableKeyword::From;
    } else if (IsWord(text, t, {u"JOIN"})) {
        keyword = TableKeyword::Join;
    } else if (IsWord(text, t, {u"INTO"})) {
        keyword = TableKeyword::Into;
    } else if (IsWord(text, t, {u"UPDATE"})) {
        // Not ON UPDATE, FOR UPDATE, ON DUPLICATE KEY UPDATE, a trigger's
        // BEFORE UPDATE or a GRANT's list.
        if (!after({u"ON", u"FOR", u"KEY", u"OR", u"BEFORE", u"AFTER"}) &&
            !(m_hasLast && IsPunct(text, m_last, u',')))
            keyword = TableKeyword::Update;
    } else if (IsWord(text, t, {u"WITH"})) {
        m_withPending = true;
    } else if (IsClauseWord(text, t)) {
        m_depths.back().list = false;
    }
    if (keyword == TableKeyword::From || keyword == TableKeyword::Join ||
        keyword == TableKeyword::Update)
        m_depths.back().list = true;
    else if (keyword == TableKeyword::Into)
        m_depths.back().list = false;
    return keyword;
}

// One step of reading a table name after its keyword:
// [ONLY | LATERAL] name [. name ...] [[AS] alias]; a name followed by "(" is
// a function (but after INTO, a column list), and "(" first a subquery,
// whose own FROM names its tables.
void BatchReader::ReadTable(const SqlToken& t) {
    switch (m_reading) {
    case Reading::Nothing:
        break;
    case Reading::Keyword:
        if (IsWord(m_text, t, {u"ONLY", u"LATERAL"}))
            break;
        if (IsName(t) && !IsReservedWord(m_text, t)) {
            m_table = TableRef();
            m_nameStart = t.start;
            AddPart(t);
        } else {
            m_reading = Reading::Nothing;
        }
        break;
    case Reading::Part:
        if (IsPunct(m_text, t, u'.')) {
            m_nameEnd = t.end;
            m_reading = Reading::Dot;
        } else {
            EndOfName(t);
        }
        break;
    case Reading::Dot:
        // public.orders, but not the keyword after a dot still waiting for
        // its name: FROM public. WHERE
        if (IsName(t) && (t.start == m_nameEnd || !IsReservedWord(m_text, t)))
            AddPart(t);
        else
            EndOfName(t);
        break;
    case Reading::As:
        if (IsName(t))
            SetAlias(t);
        EndTable();
        break;
    }
}

void BatchReader::EndOfName(const SqlToken& t) {
    if (m_mayBeFunction && IsPunct(m_text, t, u'(')) {
        m_reading = Reading::Nothing;
    } else if (IsWord(m_text, t, {u"AS"})) {
        m_reading = Reading::As;
    } else {
        if (IsName(t) && !IsReservedWord(m_text, t))
            SetAlias(t);
        EndTable();
    }
}

void BatchReader::AddPart(const SqlToken& t) {
    m_table.name << NameOf(m_text, t);
    m_table.nameQuoted << (t.kind == SqlTokenKind::QuotedName);
    m_nameEnd = t.end;
    m_reading = Reading::Part;
}

void BatchReader::SetAlias(const SqlToken& t) {
    // An alias being typed is none yet.
    if (t.start < m_caret && m_caret <= t.end)
        return;
    m_table.alias = NameOf(m_text, t);
    m_table.aliasQuoted = t.kind == SqlTokenKind::QuotedName;
}

void BatchReader::EndTable() {
    if (!(m_nameStart < m_caret && m_caret <= m_nameEnd))
        m_tables.push_back(std::move(m_table));
    m_table = TableRef();
    m_reading = Reading::Nothing;
}

std::vector<TableRef> BatchReader::TakeTables() {
    if (m_reading == Reading::Part || m_reading == Reading::Dot || m_reading == Reading::As)
        EndTable();
    m_reading = Reading::Nothing;
    return std::move(m_tables);
}

// name.name. ... : a name after an open chain's dot joins it, any other
// starts one; a dot right after the chain's last name opens it.
void BatchReader::FollowQualifier(const SqlToken& t) {
    if (IsName(t)) {
        if (!m_chainOpen) {
            m_chain.clear();
            m_chainAfterKeyword = m_hasLast && m_lastKeyword != TableKeyword::None;
        }
        m_chain.push_back(t);
        m_chainOpen = false;
    } else if (IsPunct(m_text, t, u'.') && m_hasLast && IsName(m_last) && m_last.end == t.start) {
        m_chainOpen = true;
    } else {
        m_chain.clear();
        m_chainOpen = false;
    }
}

} // namespace brindle::completion::scan
