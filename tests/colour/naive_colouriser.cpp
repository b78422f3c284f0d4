#include "naive_colouriser.h"

#include <QChar>

namespace brindle::naive {

namespace {

// The string helpers the algorithm is written in; positions count from 1.
qsizetype Len(const QString& s) {
    return s.size();
}

QString Mid(const QString& s, qsizetype start) {
    return start > Len(s) ? QString() : s.mid(start - 1);
}

QString Mid(const QString& s, qsizetype start, qsizetype length) {
    return start > Len(s) ? QString() : s.mid(start - 1, length);
}

QString Left(const QString& s, qsizetype length) {
    return s.left(length);
}

// 0 when not found, as the algorithm expects.
qsizetype InStr(qsizetype start, const QString& s, const QString& find) {
    if (start > Len(s)) {
        return 0;
    }
    const qsizetype found = s.indexOf(find, start - 1);
    return found < 0 ? 0 : found + 1;
}

QString LCase(const QString& s) {
    QString lowered = s;
    for (QChar& c : lowered) {
        c = c.toLower();
    }
    return lowered;
}

// Left to right, not looking again at what a replacement produced.
QString Replace(const QString& s, const QString& find, const QString& with) {
    QString out;
    qsizetype p = 1;
    while (true) {
        const qsizetype f = InStr(p, s, find);
        if (f == 0) {
            break;
        }
        out += Mid(s, p, f - p) + with;
        p = f + Len(find);
    }
    return out + Mid(s, p);
}

QString ColourTable() {
    return QStringLiteral("{\\colortbl ;\\red0\\green0\\blue255;\\red100\\green100\\blue100;"
                          "\\red255\\green0\\blue255;\\red0\\green150\\blue0;}");
}

bool IsDelimiter(const QString& c) {
    return c.isEmpty() || c == QStringLiteral(" ") || c == QString(QChar(0x3000)) ||
           c == QStringLiteral("\\");
}

QString WrapColor(qint16 colorNo, const QString& word) {
    QString open = QStringLiteral("\\cf0 ");
    if (colorNo == 1) {
        open = QStringLiteral("\\cf1 ");
    } else if (colorNo == 2) {
        open = QStringLiteral("\\cf2 ");
    } else if (colorNo == 3) {
        open = QStringLiteral("\\cf3 ");
    }
    return open + word + QStringLiteral("\\cf0 ");
}

} // namespace

QString FlattenRtf(const QString& rtf, qint16 tabSpaceNum) {
    QString text = Replace(rtf, QStringLiteral("\r\n"), QString());
    text = Replace(text, QStringLiteral("\r"), QString());
    text = Replace(text, QStringLiteral("\n"), QString());
    const QString blanks = tabSpaceNum > 1 ? QString(tabSpaceNum - 1, u' ') : QString();
    return Replace(text, QStringLiteral("\\tab"), blanks);
}

QString RemoveColors(const QString& text) {
    QString result = text;
    for (const char* colourSwitch : {"\\cf0 ", "\\cf1 ", "\\cf2 ", "\\cf3 ", "\\cf4 "}) {
        result = Replace(result, QString::fromLatin1(colourSwitch), QString());
    }
    return result;
}

QString ColorComments(QString text) {
    qsizetype p = 1;
    while (true) {
        qsizetype d = InStr(p, text, QStringLiteral("--"));
        qsizetype s = InStr(p, text, QStringLiteral("/*"));
        if (d == 0) {
            d = Len(text);
        }
        if (s == 0) {
            s = Len(text);
        }
        if (d == s) {
            return text;
        }
        const bool isLine = d < s;
        const qsizetype start = isLine ? d : s;
        const qsizetype end = isLine ? InStr(start, text, QStringLiteral("\\par "))
                                     : InStr(start, text, QStringLiteral("*/"));
        const QString before = Left(text, start - 1);
        QString comment;
        QString after;
        if (end > 0) {
            const QString body =
                isLine ? Mid(text, start, end - start) : Mid(text, start, end + 2 - start);
            comment = QStringLiteral("\\cf4 ") + RemoveColors(body) + QStringLiteral("\\cf0 ");
            after = isLine ? Mid(text, end) : Mid(text, end + 2);
        } else {
            const QString body = RemoveColors(Mid(text, start));
            if (body.endsWith(u'}')) {
                comment = QStringLiteral("\\cf4 ") + Left(body, Len(body) - 1) +
                          QStringLiteral("\\cf0 ") + QStringLiteral("}");
            } else {
                // Without a closing brace nothing is dropped.
                comment = QStringLiteral("\\cf4 ") + body + QStringLiteral("\\cf0 ");
            }
        }
        text = before + comment + after;
        p = Len(before) + Len(comment) + 1;
    }
}

std::optional<QString> ColorKeywords(const QString& text, const KeywordTable& table) {
    if (table.empty()) {
        return std::nullopt;
    }
    // Only a brace is given up for the one in front of the colour table.
    QString result =
        QStringLiteral("{") + ColourTable() + (Left(text, 1) == u"{" ? Mid(text, 2) : text);
    for (const KeywordColor& entry : table) {
        const QString keyword = entry.Keyword;
        if (keyword.isEmpty()) {
            continue; // would match everywhere
        }
        qsizetype p = 1;
        while (p < Len(result)) {
            const qsizetype f = InStr(p, LCase(result), LCase(keyword));
            if (f == 0) {
                break;
            }
            qsizetype e = f + Len(keyword);
            const QString before = f == 1 ? QString() : Mid(result, f - 1, 1);
            const QString after = Mid(result, e, 1);
            if (IsDelimiter(before) && IsDelimiter(after)) {
                const QString wrapped = WrapColor(entry.ColorNo, Mid(result, f, Len(keyword)));
                result = Left(result, f - 1) + wrapped + Mid(result, e);
                e = f + Len(wrapped) - 1;
            }
            p = e + 1;
        }
    }
    return ColorComments(result);
}

std::optional<QString> CColor(const QString& rtf, const KeywordTable& table, qint16 tabSpaceNum) {
    const QString text = RemoveColors(FlattenRtf(rtf, tabSpaceNum));
    return ColorKeywords(text, table);
}

} // namespace brindle::naive
