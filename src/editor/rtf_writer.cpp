#include "editor/rtf_document.h"

#include <cmath>

namespace brindle::rtf {

namespace {

// \fsN takes half points. Sizes no font can have are pulled into the range a
// reader accepts rather than written as nonsense.
int HalfPoints(double pointSize) {
    const double half = pointSize * 2.0;
    if (!(half >= 1.0)) { // also catches NaN
        return 1;
    }
    if (half > 32767.0) {
        return 32767;
    }
    return static_cast<int>(std::lround(half));
}

// Appends `text` with the characters RTF gives meaning to escaped, copying the
// stretches between them in one piece.
void AppendEscaped(QString& out, QStringView text) {
    qsizetype plainFrom = 0;
    const auto flushPlain = [&](qsizetype upTo) {
        if (upTo > plainFrom) {
            out.append(text.mid(plainFrom, upTo - plainFrom));
        }
        plainFrom = upTo + 1;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        switch (text[i].unicode()) {
        case u'\\':
            flushPlain(i);
            out.append(u"\\\\");
            break;
        case u'{':
            flushPlain(i);
            out.append(u"\\{");
            break;
        case u'}':
            flushPlain(i);
            out.append(u"\\}");
            break;
        case u'\t':
            flushPlain(i);
            out.append(u"\\tab ");
            break;
        case u'\n':
            flushPlain(i);
            out.append(u"\\par ");
            break;
        case u'\r':
            // A raw CR is dropped by every RTF reader; as a code page byte it
            // survives the trip back.
            flushPlain(i);
            out.append(u"\\'0d");
            break;
        default:
            break;
        }
    }
    flushPlain(text.size());
}

} // namespace

QString WriteRtf(QStringView text, const QString& fontName, double pointSize) {
    static constexpr QStringView head1 = u"{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 ";
    static constexpr QStringView head2 = u";}}\\f0\\fs";
    static constexpr QStringView tail = u"\\par }";

    // Escapes grow the text a little; a quarter on top covers ordinary scripts
    // in one allocation and QString's growth keeps the rest amortised.
    QString out;
    out.reserve(head1.size() + fontName.size() * 2 + head2.size() + 8 + text.size() +
                text.size() / 4 + tail.size() + 16);

    out.append(head1);
    AppendEscaped(out, fontName);
    out.append(head2);
    out.append(QString::number(HalfPoints(pointSize)));
    out.append(u' ');
    AppendEscaped(out, text);
    out.append(tail);
    return out;
}

} // namespace brindle::rtf
