#include "editor/rtf_document.h"

namespace brindle::rtf {

// Both copy the text between line ends in one piece: scripts run to
// millions of characters, and a character at a time costs several times more.

QString ParagraphsFromPlain(QStringView plain) {
    QString out;
    out.reserve(plain.size());
    qsizetype from = 0;
    for (qsizetype cr = plain.indexOf(u'\r'); cr >= 0; cr = plain.indexOf(u'\r', from)) {
        out.append(plain.sliced(from, cr - from));
        out.append(u'\n');
        from = cr + 1;
        if (from < plain.size() && plain[from] == u'\n')
            ++from;
    }
    out.append(plain.sliced(from));
    return out;
}

QString PlainFromParagraphs(QStringView paragraphs) {
    QString out;
    out.reserve(paragraphs.size() + paragraphs.count(u'\n'));
    qsizetype from = 0;
    for (qsizetype lf = paragraphs.indexOf(u'\n'); lf >= 0; lf = paragraphs.indexOf(u'\n', from)) {
        out.append(paragraphs.sliced(from, lf - from));
        out.append(u"\r\n");
        from = lf + 1;
    }
    out.append(paragraphs.sliced(from));
    return out;
}

} // namespace brindle::rtf
