#include "colour/colour_passes.h"

namespace brindle::colour {

namespace {

constexpr QStringView kSwitches[] = {u"\\cf0 ", u"\\cf1 ", u"\\cf2 ", u"\\cf3 ", u"\\cf4 "};

// Removes every occurrence of `pattern` from text[from, end) in one
// left-to-right pass, in place; text that the removal joins together is not
// looked at again. Returns the new end.
qsizetype RemoveAll(QString& text, qsizetype from, qsizetype end, QStringView pattern) {
    qsizetype found = QStringView(text).sliced(0, end).indexOf(pattern, from);
    if (found < 0) {
        return end;
    }
    QChar* data = text.data();
    qsizetype to = found;
    qsizetype read = found;
    while (found >= 0) {
        to = std::copy(data + read, data + found, data + to) - data;
        read = found + pattern.size();
        found = QStringView(text).sliced(0, end).indexOf(pattern, read);
    }
    to = std::copy(data + read, data + end, data + to) - data;
    std::copy(data + end, data + text.size(), data + to);
    text.truncate(text.size() - (end - to));
    return to;
}

// RemoveColors on text[from, end) of a longer string, in place.
qsizetype RemoveColorsIn(QString& text, qsizetype from, qsizetype end) {
    if (!QStringView(text).sliced(from, end - from).contains(u"\\cf")) {
        return end;
    }
    for (const QStringView colourSwitch : kSwitches) {
        end = RemoveAll(text, from, end, colourSwitch);
    }
    return end;
}

// Replaces every "\tab" in one left-to-right pass.
void ReplaceTabs(QString& text, QStringView blanks) {
    static constexpr QStringView kTab = u"\\tab";
    qsizetype found = text.indexOf(kTab);
    if (found < 0) {
        return;
    }
    if (blanks.size() > kTab.size()) {
        QString out;
        out.reserve(text.size() + text.size() / 8);
        const QStringView source(text);
        qsizetype from = 0;
        while (found >= 0) {
            out.append(source.sliced(from, found - from));
            out.append(blanks);
            from = found + kTab.size();
            found = source.indexOf(kTab, from);
        }
        out.append(source.sliced(from));
        text = std::move(out);
        return;
    }
    // Not longer than "\tab": in place, never writing past what is read.
    QChar* data = text.data();
    qsizetype to = found;
    qsizetype read = found;
    while (found >= 0) {
        to = std::copy(data + read, data + found, data + to) - data;
        to = std::copy(blanks.begin(), blanks.end(), data + to) - data;
        read = found + kTab.size();
        found = text.indexOf(kTab, read);
    }
    to = std::copy(data + read, data + text.size(), data + to) - data;
    text.truncate(to);
}

// Appends one comment: green switch, the text without keyword colours, then
// the default switch. A comment that runs to the end of the document keeps
// the document's closing brace outside the colour.
void AppendComment(QString& out, QStringView comment, bool runsToEnd) {
    out.append(kCommentSwitch);
    const qsizetype from = out.size();
    out.append(comment);
    RemoveColorsIn(out, from, out.size());
    if (runsToEnd && out.endsWith(u'}')) {
        out.chop(1);
        out.append(kDefaultSwitch);
        out.append(u'}');
    } else {
        // Also for a text that does not end with a brace: nothing of it is
        // dropped or replaced.
        out.append(kDefaultSwitch);
    }
}

} // namespace

QString FlattenRtf(QStringView rtf, qint16 tabSpaceNum) {
    QString flat;
    // Room for the colour table, which goes in front of the text later.
    flat.reserve(rtf.size() + kColourTable.size() + 1);
    qsizetype from = 0;
    for (qsizetype i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == u'\r' || rtf[i] == u'\n') {
            flat.append(rtf.sliced(from, i - from));
            from = i + 1;
        }
    }
    flat.append(rtf.sliced(from));
    const QString blanks(tabSpaceNum > 1 ? tabSpaceNum - 1 : 0, u' ');
    ReplaceTabs(flat, blanks);
    return flat;
}

QString RemoveColors(QString text) {
    RemoveColorsIn(text, 0, text.size());
    return text;
}

QString ColorComments(QString text) {
    static constexpr QStringView kLineStart = u"--";
    static constexpr QStringView kBlockStart = u"/*";
    static constexpr QStringView kLineEnd = u"\\par ";
    static constexpr QStringView kBlockEnd = u"*/";

    const QStringView source(text);
    // The marker not taken stays valid until the scan passes it, so each is
    // searched for only once per stretch of text.
    qsizetype line = source.indexOf(kLineStart);
    qsizetype block = source.indexOf(kBlockStart);
    if (line < 0 && block < 0) {
        return text;
    }
    QString out;
    out.reserve(source.size() + source.size() / 8 + 16);
    qsizetype from = 0; // the text before `from` has been written to `out`
    while (line >= 0 || block >= 0) {
        const bool isLine = block < 0 || (line >= 0 && line < block);
        const qsizetype start = isLine ? line : block;
        const qsizetype end = source.indexOf(isLine ? kLineEnd : kBlockEnd, start);
        out.append(source.sliced(from, start - from));
        if (end < 0) {
            AppendComment(out, source.sliced(start), true);
            from = source.size();
            break;
        }
        // A line comment stops before "\par "; a block comment takes its "*/".
        from = isLine ? end : end + kBlockEnd.size();
        AppendComment(out, source.sliced(start, from - start), false);
        if (line >= 0 && line < from) {
            line = source.indexOf(kLineStart, from);
        }
        if (block >= 0 && block < from) {
            block = source.indexOf(kBlockStart, from);
        }
    }
    out.append(source.sliced(from));
    return out;
}

} // namespace brindle::colour
