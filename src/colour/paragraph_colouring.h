#pragma once

#include "colour/keyword_table.h"
#include "colour/paragraph_keywords.h"
#include "editor/rtf_document.h"

#include <QString>
#include <QStringView>

#include <vector>

// Colouring one paragraph at a time with the same outcome as CColor over the
// whole document written by rtf::WriteRtf and read back by rtf::ReadRtf.
//
// Why that can work: the document is written as header, then each paragraph
// followed by "\par ", then "}". When no keyword holds a delimiter (blank,
// U+3000, backslash), a coloured occurrence is exactly a word between two
// delimiters of the written text, and the colour of one word does not depend
// on any other. "\par " holds a blank and a backslash, so no word and no
// comment marker ("--", "/*", "*/") reaches over it; a paragraph's written
// text always has a blank in front (the one ending "\fsN " or "\par ") and a
// backslash behind. The only thing that crosses a paragraph end is whether a
// block comment is open.
namespace brindle::colour {

// Whether colouring paragraph by paragraph gives exactly what the full pass
// gives for this table and the document header written with this font. False
// (the caller colours the whole document instead) for:
// - an empty table (the full pass fails on it with a box);
// - a table with an entry holding a blank, U+3000, a backslash, a brace, CR,
//   LF, "-", "/" or "*", in the file's case or lowered;
// - a table with an entry equal, ignoring case, to par or cf0 to cf4 (the
//   paragraph marks and the colour switches the pass inserts);
// - a table with an entry that the full pass would colour in the colour table
//   or the header (rtf1, ansi, f0, fs20, colortbl, red0, ";" ...), and a
//   header that holds a comment marker or anything else the full pass
//   changes, found by colouring the empty document and comparing.
bool LocalColouringExact(const KeywordTable& table, const QString& fontName, double pointSize,
                         qint16 tabSpaceNum = 4);

// What one paragraph shows after the full pass.
struct ParagraphColours {
    // Offsets into the paragraph's text with its tabs turned into blanks;
    // sorted, merged where touching, colours 1 to 4 as rtf::ReadRtf numbers
    // them. The line break after the paragraph carries colour 4 exactly when
    // the paragraph ends inside a block comment.
    std::vector<rtf::ColourRun> runs;
    bool endsInBlockComment = false;
    // The paragraph holds text that the full pass alters in its written form
    // (a backslash followed by "tab", "cf0 " to "cf4 " or "par ", or a CR);
    // what the editor shows then also depends on the neighbouring
    // paragraphs, and only the full pass over the whole document is exact.
    // The other fields stay right as far as the comment state goes.
    bool needsFullPass = false;
};

// Colours `paragraph` (no line break in it) into `out`, reusing its storage.
// `keywords` must come from a table for which LocalColouringExact holds.
void ColourParagraph(QStringView paragraph, bool startsInBlockComment,
                     const ParagraphKeywords& keywords, qint16 tabSpaceNum, ParagraphColours& out);

// The paragraph's text as the editor shows it after the full pass: each tab
// turned into TabSpaceNum blanks (one when TabSpaceNum is below 2).
QString ExpandTabs(QStringView paragraph, qint16 tabSpaceNum);

// How many characters one tab becomes.
constexpr int TabWidth(qint16 tabSpaceNum) {
    return tabSpaceNum > 1 ? tabSpaceNum : 1;
}

} // namespace brindle::colour
