#pragma once

#include <QString>
#include <QStringView>

#include <vector>

namespace brindle::rtf {

// One entry of an RTF colour table. An empty entry (";" alone) is the
// control's default text colour.
struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool isDefault = true;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// A span of text shown in one colour of the colour table.
struct ColourRun {
    int start = 0;  // offset into RtfContent::text
    int length = 0; // > 0
    int colour = 0; // index into RtfContent::colours; never 0 (0 is the default colour)
    friend bool operator==(const ColourRun&, const ColourRun&) = default;
};

// What the editor control shows for an RTF document: its text, paragraphs
// separated by a single '\n', and the coloured spans of that text.
struct RtfContent {
    QString text;
    std::vector<Rgb> colours;    // the \colortbl, entry 0 first; may be empty
    std::vector<ColourRun> runs; // sorted by start, non-overlapping, only non-default colours
};

// Writes the control's RTF form of `text` (paragraphs separated by '\n'):
//   {\rtf1\ansi\deff0{\fonttbl{\f0 NAME;}}\f0\fsN <text>}
// N is twice the point size, rounded. In the text '\' '{' '}' are escaped,
// a tab is "\tab " and every paragraph, the last one included, ends "\par ".
// Every other character, Japanese included, is written as itself.
QString WriteRtf(QStringView text, const QString& fontName, double pointSize);

// Reads any RTF into text and colour runs. Never fails, never hangs: malformed
// input gives best-effort text. The "\par" directly before the document's
// closing brace is the final paragraph mark and adds no line break.
RtfContent ReadRtf(QStringView rtf);

// Plain text helpers for the command line and the editor's Text property.
// Splits at CR LF, lone CR and lone LF; joins with '\n'.
QString ParagraphsFromPlain(QStringView plain);
// Joins paragraphs with CR LF.
QString PlainFromParagraphs(QStringView paragraphs);

} // namespace brindle::rtf
