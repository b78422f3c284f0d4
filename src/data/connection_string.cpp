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

} // namespace brindle
