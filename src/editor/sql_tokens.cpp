#include "editor/sql_tokens.h"

namespace brindle::editing {

bool IsNameChar(QChar c) {
    const char16_t u = c.unicode();
    if (u < 0x80) // most SQL: no call into the Unicode tables
        return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') ||
               u == u'_' || u == u'$' || u == u'@' || u == u'#';
    return c.isLetterOrNumber() || c.isMark() || c.isSurrogate();
}

bool IsLineEnd(QChar c) {
    return c == u'\r' || c == u'\n' || c == u'\u2028' || c == u'\u2029';
}

namespace {

bool IsAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

char16_t ClosingQuote(QChar open) {
    return open == u'[' ? u']' : open.unicode();
}

// The end of the quoted run opened at `i`, and whether the text ends first.
qsizetype QuotedEnd(QStringView text, qsizetype i, bool& open) {
    const char16_t close = ClosingQuote(text[i]);
    const qsizetype n = text.size();
    for (++i; i < n; ++i) {
        if (text[i] != close)
            continue;
        if (i + 1 < n && text[i + 1] == close) {
            ++i;
            continue;
        }
        open = false;
        return i + 1;
    }
    open = true;
    return n;
}

} // namespace

bool SqlTokenReader::Next(SqlToken& t) {
    const QStringView text = m_text;
    const qsizetype n = text.size();
    qsizetype i = m_at;
    while (i < n && text[i].isSpace())
        ++i;
    if (i >= n) {
        m_at = n;
        return false;
    }
    const QChar c = text[i];
    const QChar next = i + 1 < n ? text[i + 1] : QChar();
    t = SqlToken{i, i + 1, SqlTokenKind::Punct, false};
    if (c == u'\'' || c == u'"' || c == u'`' || c == u'[') {
        t.kind = c == u'\'' ? SqlTokenKind::String : SqlTokenKind::QuotedName;
        t.end = QuotedEnd(text, i, t.openEnd);
    } else if (c == u'-' && next == u'-') {
        t.kind = SqlTokenKind::Comment;
        t.end = i + 2;
        while (t.end < n && !IsLineEnd(text[t.end]))
            ++t.end;
        t.openEnd = true;
    } else if (c == u'/' && next == u'*') {
        t.kind = SqlTokenKind::Comment;
        const qsizetype close = text.indexOf(u"*/", i + 2);
        t.openEnd = close < 0;
        t.end = close < 0 ? n : close + 2;
    } else if (IsAsciiDigit(c)) {
        // 1.5, 1e10, 0x1F and even 1.2.3 are one token: nothing to complete.
        t.kind = SqlTokenKind::Number;
        while (t.end < n && (IsNameChar(text[t.end]) || text[t.end] == u'.'))
            ++t.end;
    } else if (IsNameChar(c)) {
        t.kind = SqlTokenKind::Word;
        while (t.end < n && IsNameChar(text[t.end]))
            ++t.end;
    }
    m_at = t.end;
    return true;
}

std::vector<SqlToken> SqlTokens(QStringView text) {
    std::vector<SqlToken> tokens;
    SqlTokenReader reader(text);
    SqlToken t;
    while (reader.Next(t))
        tokens.push_back(t);
    return tokens;
}

QString NameOf(QStringView text, const SqlToken& token) {
    QStringView name = text.sliced(token.start, token.end - token.start);
    if (token.kind != SqlTokenKind::QuotedName || name.isEmpty())
        return name.toString();
    const char16_t close = ClosingQuote(name.front());
    name = name.sliced(1);
    if (!token.openEnd && !name.isEmpty())
        name.chop(1);
    QString out;
    out.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        out += name[i];
        if (name[i] == close && i + 1 < name.size() && name[i + 1] == close)
            ++i;
    }
    return out;
}

} // namespace brindle::editing
