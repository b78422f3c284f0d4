#include "editor/completion_context.h"

#include "editor/completion_scan.h"
#include "editor/sql_tokens.h"

#include <algorithm>

namespace brindle::completion {

using editing::SqlToken;
using editing::SqlTokenKind;

namespace {

bool HasLineEnd(QStringView text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) { return editing::IsLineEnd(c); });
}

// Where a table name goes: after FROM, JOIN, INTO, UPDATE or a comma of a
// FROM list.
bool OpensTableName(const scan::CodeTokens& code, qsizetype k) {
    return code.KeywordAt(k) != scan::TableKeyword::None;
}

bool SameName(const QString& a, bool aQuoted, const QString& b, bool bQuoted) {
    return a.compare(b, aQuoted && bQuoted ? Qt::CaseSensitive : Qt::CaseInsensitive) == 0;
}

// Whether the last `count` parts of the two names are the same.
bool SameTail(const QStringList& a, const QList<bool>& aQuoted, const QStringList& b,
              const QList<bool>& bQuoted, qsizetype count) {
    for (qsizetype i = 1; i <= count; ++i) {
        const qsizetype ai = a.size() - i;
        const qsizetype bi = b.size() - i;
        if (!SameName(a[ai], aQuoted.value(ai), b[bi], bQuoted.value(bi)))
            return false;
    }
    return true;
}

} // namespace

Context AnalyseAt(QStringView text, qsizetype caret) {
    caret = std::clamp<qsizetype>(caret, 0, text.size());
    Context context;
    context.wordStart = caret;
    const std::vector<SqlToken> all = editing::SqlTokens(text);

    // The token the caret stands in or right after: the first that ends at
    // or after it, when it starts before it.
    const auto at = std::lower_bound(all.begin(), all.end(), caret,
                                     [](const SqlToken& t, qsizetype c) { return t.end < c; });
    if (at != all.end() && at->start < caret) {
        const bool inside = caret < at->end || at->openEnd;
        switch (at->kind) {
        case SqlTokenKind::Comment:
        case SqlTokenKind::String:
            if (inside)
                return context;
            break;
        case SqlTokenKind::Number:
            return context;
        case SqlTokenKind::QuotedName:
            // A quote opened on an earlier line is more likely a slip than a
            // name being typed.
            if (inside && HasLineEnd(text.sliced(at->start, caret - at->start)))
                return context;
            context.wordStart = at->start;
            break;
        case SqlTokenKind::Word:
            context.wordStart = at->start;
            break;
        case SqlTokenKind::Punct:
            break;
        }
    }
    context.word = text.sliced(context.wordStart, caret - context.wordStart).toString();

    const scan::CodeTokens code = scan::ReadCode(text, all);
    const auto firstAfter =
        std::lower_bound(code.tokens.begin(), code.tokens.end(), context.wordStart,
                         [](const SqlToken& t, qsizetype c) { return t.start < c; });
    const qsizetype before = (firstAfter - code.tokens.begin()) - 1;

    context.want = Want::Anything;
    if (before >= 0 && code.IsPunct(before, u'.') && code.at(before).end == context.wordStart) {
        // Walk back over name "." name "." ... written without blanks.
        qsizetype k = before;
        while (k >= 1 && code.IsPunct(k, u'.') && code.IsName(k - 1) &&
               code.at(k - 1).end == code.at(k).start) {
            context.qualifier.append(editing::NameOf(text, code.at(k - 1)));
            context.qualifierQuoted.append(code.at(k - 1).kind == SqlTokenKind::QuotedName);
            k -= 2;
        }
        std::reverse(context.qualifier.begin(), context.qualifier.end());
        std::reverse(context.qualifierQuoted.begin(), context.qualifierQuoted.end());
        if (!context.qualifier.isEmpty()) {
            context.want = Want::ColumnOf;
            context.qualifierIsSchema = k >= 0 && OpensTableName(code, k);
        }
    } else if (before >= 0 && OpensTableName(code, before)) {
        context.want = Want::Table;
    }
    context.tables = scan::TablesNamed(code, caret);
    return context;
}

std::optional<TableRef> Resolve(const Context& context) {
    const QStringList& qualifier = context.qualifier;
    if (qualifier.isEmpty())
        return std::nullopt;
    if (qualifier.size() == 1) {
        for (const TableRef& t : context.tables) {
            if (!t.alias.isEmpty() &&
                SameName(t.alias, t.aliasQuoted, qualifier[0], context.qualifierQuoted.value(0)))
                return t;
        }
    }
    for (const bool aliased : {false, true}) {
        for (const TableRef& t : context.tables) {
            if (t.alias.isEmpty() == aliased || t.name.isEmpty())
                continue;
            const qsizetype count = std::min(t.name.size(), qualifier.size());
            if (!SameTail(t.name, t.nameQuoted, qualifier, context.qualifierQuoted, count))
                continue;
            TableRef found = t;
            if (qualifier.size() > t.name.size()) {
                found.name = qualifier;
                found.nameQuoted = context.qualifierQuoted;
            }
            return found;
        }
    }
    return std::nullopt;
}

} // namespace brindle::completion
