#include "data/connection_string.h"

namespace brindle {

namespace {

bool NeedsBraces(const QString& value) {
    if (value.startsWith(u' ') || value.startsWith(u'\t'))
        return true;
    for (const QChar c : value) {
        if (c == u';' || c == u'{' || c == u'}')
            return true;
    }
    return false;
}

} // namespace

QString ConnectionStringValue(const QString& value) {
    if (!NeedsBraces(value))
        return value;
    QString quoted = value;
    quoted.replace(u'}', QStringLiteral("}}"));
    return u'{' + quoted + u'}';
}

QString BuildConnectionString(const QString& dsn, const QString& uid, const QString& pwd) {
    return u"DSN=" + ConnectionStringValue(dsn) + u";UID=" + ConnectionStringValue(uid) + u";PWD=" +
           ConnectionStringValue(pwd) + u';';
}

std::optional<ConnectionStringPairs> ParseConnectionString(const QString& text) {
    ConnectionStringPairs pairs;
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype eq = text.indexOf(u'=', i);
        if (eq < 0)
            return std::nullopt;
        const QString key = text.mid(i, eq - i);
        QString value;
        i = eq + 1;
        if (i < text.size() && text[i] == u'{') {
            for (++i;; ++i) {
                if (i >= text.size())
                    return std::nullopt;
                if (text[i] == u'}') {
                    if (i + 1 < text.size() && text[i + 1] == u'}') {
                        value += u'}';
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                value += text[i];
            }
            if (i < text.size() && text[i] != u';')
                return std::nullopt;
        } else {
            const qsizetype end = text.indexOf(u';', i);
            value = text.mid(i, end < 0 ? -1 : end - i);
            i = end < 0 ? text.size() : end;
        }
        pairs.emplace_back(key, value);
        ++i; // the ";"
    }
    return pairs;
}


QString ConnectionStringKey(const QString& text, const QString& key) {
    if (const auto pairs = ParseConnectionString(text)) {
        for (const auto& [name, value] : *pairs) {
            if (name.compare(key, Qt::CaseInsensitive) == 0)
                return value;
        }
    }
    return {};
}

} // namespace brindle
