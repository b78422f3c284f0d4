#include "data/identifier_quoting.h"

#include <QSet>

#include <sql.h>
#include <sqlext.h>

namespace brindle::catalog {

namespace {

const QSet<QString>& OdbcReservedWords() {
    static const QSet<QString> words = [] {
        QSet<QString> set;
        for (const QString& word : QStringLiteral(SQL_ODBC_KEYWORDS).split(u','))
            set.insert(word);
        return set;
    }();
    return words;
}

bool IsPlainIdentifier(const QString& name) {
    if (name.isEmpty() || name.front().isDigit())
        return false;
    for (const QChar c : name) {
        if (!(c.isLetterOrNumber() || c == u'_'))
            return false;
    }
    return true;
}

// An unquoted name is folded: one with letters of the other case only
// reaches the object when quoted.
bool FoldedAway(const QString& name, int identifierCase) {
    if (identifierCase == SQL_IC_LOWER)
        return name != name.toLower();
    if (identifierCase == SQL_IC_UPPER)
        return name != name.toUpper();
    return false;
}

} // namespace

bool NeedsQuoting(const QString& name, const NameRules& rules) {
    if (!IsPlainIdentifier(name) || FoldedAway(name, rules.identifierCase))
        return true;
    const QString upper = name.toUpper();
    return OdbcReservedWords().contains(upper) || rules.driverKeywords.contains(upper);
}

QString QuotedName(const QString& name, const NameRules& rules) {
    if (rules.quote.isEmpty() || !NeedsQuoting(name, rules))
        return name;
    QString inner = name;
    inner.replace(rules.quote, rules.quote + rules.quote);
    return rules.quote + inner + rules.quote;
}

QString QualifiedName(const Table& table, const NameRules& rules, bool withGroup) {
    const QString quoted = QuotedName(table.name, rules);
    if (!withGroup || table.group().isEmpty())
        return quoted;
    return QuotedName(table.group(), rules) + u'.' + quoted;
}

} // namespace brindle::catalog
