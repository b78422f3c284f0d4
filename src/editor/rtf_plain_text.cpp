#include "editor/rtf_document.h"

namespace brindle::rtf {

QString ParagraphsFromPlain(QStringView plain) {
    QString out;
    out.reserve(plain.size());
    for (qsizetype i = 0; i < plain.size(); ++i) {
        const QChar c = plain[i];
        if (c == u'\r') {
            if (i + 1 < plain.size() && plain[i + 1] == u'\n') {
                ++i;
            }
            out.append(u'\n');
        } else {
            out.append(c);
        }
    }
    return out;
}

QString PlainFromParagraphs(QStringView paragraphs) {
    QString out;
    out.reserve(paragraphs.size() + paragraphs.count(u'\n'));
    for (const QChar c : paragraphs) {
        if (c == u'\n') {
            out.append(u"\r\n");
        } else {
            out.append(c);
        }
    }
    return out;
}

} // namespace brindle::rtf
