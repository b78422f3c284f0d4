#include "naive_arranger.h"

#include "core/error.h"

namespace brindle::test {

namespace {

const QString kCr = QStringLiteral("\r");

QString Lower(const QString& text) {
    QString lowered = text;
    for (QChar& c : lowered) {
        c = c.toLower();
    }
    return lowered;
}

QString Trim(const QString& text) {
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && text[from] == u' ') {
        ++from;
    }
    while (to > from && text[to - 1] == u' ') {
        --to;
    }
    return text.mid(from, to - from);
}

// 1-based, as Mid of the platform's run-time.
QString Mid(const QString& text, qsizetype start, qsizetype length = -1) {
    return text.mid(start - 1, length);
}

// 1-based position of `key` in `text` at or after `start`; 0 when absent.
qsizetype InStr(qsizetype start, const QString& text, const QString& key) {
    if (start > text.size()) {
        return 0;
    }
    return text.indexOf(key, start - 1) + 1;
}

QString IndentText(int level, const QString& text) {
    const int width = 4 * level;
    if (width < -32768 || width > 32767) {
        throw OverflowError();
    }
    return QString(width > 0 ? width : 0, u' ') + text;
}

QString TrimLeadingBreaks(QString text) {
    while (text.startsWith(kCr)) {
        text.remove(0, 1);
    }
    return text;
}

bool IsDelimiter(const QString& oneChar) {
    return oneChar.isEmpty() || oneChar == u" " || oneChar == u"\t" || oneChar == kCr;
}

bool Skipped(const QString& keyword) {
    QString rest = keyword;
    rest.remove(u' ');
    rest.remove(u'\r');
    return rest.isEmpty();
}

QString BreakAtKeyword(const QString& t, const KeywordArrange& entry, qsizetype p, qsizetype e) {
    const QString& k = entry.Keyword;
    QString before = Trim(t.left(p - 1));
    if (!before.isEmpty() && entry.Kind == 1 && !before.endsWith(kCr)) {
        before += kCr;
    }
    const QString word = IndentText(entry.Level - 1, Trim(Mid(t, p, k.size()))) + kCr;
    QString after;
    if (t.size() >= e) {
        after = IndentText(entry.Level, Trim(TrimLeadingBreaks(Trim(Mid(t, e)))));
    }
    return before + word + after;
}

} // namespace

std::optional<QString> NaiveArrange(const QString& query, const ArrangeTable& table,
                                    bool stopRunaway) {
    if (table.empty()) {
        throw SubscriptError();
    }
    QString r = query;
    r.replace(QStringLiteral("\r\n"), kCr);
    r.replace(QStringLiteral("\t"), IndentText(1, QString()));
    for (const KeywordArrange& entry : table) {
        const QString& k = entry.Keyword;
        if (Skipped(k)) {
            continue;
        }
        const qsizetype maxBreaks = 4 * r.size() + 64;
        qsizetype breaks = 0;
        qsizetype p = 1;
        while (p < r.size()) {
            p = InStr(p, Lower(r), Lower(k));
            if (p == 0) {
                break;
            }
            const qsizetype e = p + k.size();
            if (entry.Kind == 1) {
                const QString b = p == 1 ? QString() : Mid(r, p - 1, 1);
                const QString a = Mid(r, e, 1);
                if (!(IsDelimiter(a) && IsDelimiter(b))) {
                    p = e + 1;
                    continue;
                }
            }
            r = BreakAtKeyword(r, entry, p, e);
            if (stopRunaway && ++breaks > maxBreaks) {
                return std::nullopt;
            }
            p = e + 1;
        }
    }
    r.replace(kCr, QStringLiteral("\r\n"));
    return r;
}

} // namespace brindle::test
