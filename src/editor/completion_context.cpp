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

// In a comment, a string or a number.
Context NothingAt(qsizetype caret) {
    Context context;
    context.wordStart = caret;
    return context;
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
    scan::BatchReader batch(text, caret);

    // What is wanted, from the tokens before the word at the caret.
    const auto wanted = [&] {
        context.want = Want::Anything;
        context.word = text.sliced(context.wordStart, caret - context.wordStart).toString();
        if (!batch.HasLast())
            return;
        const SqlToken& before = batch.Last();
        if (batch.QualifierOpen() && before.end == context.wordStart) {
            for (const SqlToken& part : batch.Qualifier()) {
                context.qualifier << editing::NameOf(text, part);
                context.qualifierQuoted << (part.kind == SqlTokenKind::QuotedName);
            }
            context.want = Want::ColumnOf;
            context.qualifierIsSchema = batch.QualifierAfterTableKeyword();
        } else if (batch.LastKeyword() != scan::TableKeyword::None) {
            context.want = Want::Table;
        }
    };

    editing::SqlTokenReader reader(text);
    SqlToken t;
    bool placed = false; // the caret's place is known
    while (reader.Next(t)) {
        if (!placed && t.start >= caret) {
            wanted();
            placed = true;
        } else if (!placed && caret <= t.end) {
            // The token the caret stands in or right after.
            const bool inside = caret < t.end || t.openEnd;
            switch (t.kind) {
            case SqlTokenKind::Comment:
            case SqlTokenKind::String:
                if (inside)
                    return NothingAt(caret);
                break;
            case SqlTokenKind::Number:
                return NothingAt(caret);
            case SqlTokenKind::QuotedName:
                // A quote opened on an earlier line is more likely a slip
                // than a name being typed.
                if (inside && HasLineEnd(text.sliced(t.start, caret - t.start)))
                    return NothingAt(caret);
                [[fallthrough]];
            case SqlTokenKind::Word:
                context.wordStart = t.start;
                wanted();
                placed = true;
                break;
            case SqlTokenKind::Punct:
                break;
            }
            if (!placed) {
                if (t.kind != SqlTokenKind::Comment)
                    batch.Feed(t);
                wanted();
                placed = true;
                continue;
            }
        }
        if (t.kind != SqlTokenKind::Comment)
            batch.Feed(t);
    }
    if (!placed)
        wanted();
    context.tables = batch.TakeTables();
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
