#pragma once

#include "colour/keyword_table.h"

#include <QString>
#include <QStringView>

// The text transformations of the colouriser. Each takes and returns the whole
// RTF as a string; none parses RTF. Positions are UTF-16 units.
namespace brindle::colour {

// Put in front of the document: entry 0 is the default colour, then blue,
// grey, magenta and green (comments).
inline constexpr QStringView kColourTable =
    u"{\\colortbl ;\\red0\\green0\\blue255;\\red100\\green100\\blue100;"
    u"\\red255\\green0\\blue255;\\red0\\green150\\blue0;}";
inline constexpr QStringView kDefaultSwitch = u"\\cf0 ";
inline constexpr QStringView kCommentSwitch = u"\\cf4 ";

// "\cf1 " to "\cf3 " for the classes 1 to 3, "\cf0 " for any other class.
QStringView ColourSwitch(qint16 colorNo);

// The class's switch, the word, then "\cf0 ".
QString WrapColor(qint16 colorNo, QStringView word);

// What may stand on either side of a keyword occurrence: a blank, the
// ideographic space or a backslash (and the start or end of the text, which
// the callers check themselves).
constexpr bool IsDelimiter(char16_t c) {
    return c == u' ' || c == u'\u3000' || c == u'\\';
}

// Drops every CR and LF and turns each "\tab" into tabSpaceNum - 1 blanks, so
// that with its delimiting blank a tab becomes tabSpaceNum blanks.
QString FlattenRtf(QStringView rtf, qint16 tabSpaceNum);

// Removes "\cf0 ", then "\cf1 ", "\cf2 ", "\cf3 " and "\cf4 ", each in one
// left-to-right pass, so colouring starts again from plain text.
QString RemoveColors(QString text);

// Wraps "--" to "\par " and "/*" to "*/" in "\cf4 " ... "\cf0 " and takes the
// keyword colours out of them. A comment left open runs to the end.
QString ColorComments(QString text);

enum class KeywordMethod {
    Planned,      // one search over the text for a whole run of ordinary entries
    EntryByEntry, // one pass over the whole text per entry
};

// Writes "{" and the colour table in place of the text's opening brace,
// colours every delimited occurrence of each entry in table order (each entry
// sees the switches that the earlier ones inserted), then colours the
// comments. Both methods give the same text. Throws Error 9 for an empty
// table.
QString ColorKeywords(QString text, const KeywordTable& table,
                      KeywordMethod method = KeywordMethod::Planned);

} // namespace brindle::colour
