#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

#include <vector>

namespace brindle::editing {

// The pieces of SQL text that name completion tells apart. Comments (-- and
// /* */) and strings ('...') hold no names; a quoted name ("...", `...`,
// [...]) is one name whatever it holds.
enum class SqlTokenKind : unsigned char {
    Word,       // a bare name or keyword
    QuotedName, // "...", `...` or [...]
    String,     // '...'
    Number,     // starts with a digit: 12, 1.5, 0x1F
    Comment,    // -- to the line end, or /* */
    Punct,      // any other character but a blank, one per token
};

struct SqlToken {
    qsizetype start = 0;
    qsizetype end = 0; // one past its last character
    SqlTokenKind kind = SqlTokenKind::Punct;
    // A caret at `end` still stands inside it: a line comment (its end is
    // the line end), or a string, quoted name or comment the text ends in.
    bool openEnd = false;
};

// A character of a bare name: letters of any script, digits, _ and $, and @
// and # for SQL Server's variables and temporary tables. A surrogate counts,
// so letters beyond the BMP do too.
bool IsNameChar(QChar c);

// True for CR, LF and the Unicode line and paragraph separators.
bool IsLineEnd(QChar c);

// Reads the tokens of a text in order, blanks left out; linear in its
// length. A quote or comment left open runs to the end of the text. Doubled
// closing quotes ('', "", ``, ]]) stay inside. The text must outlive it.
class SqlTokenReader {
public:
    explicit SqlTokenReader(QStringView text) : m_text(text) {}
    // The next token into `token`; false at the end of the text.
    bool Next(SqlToken& token);

private:
    QStringView m_text;
    qsizetype m_at = 0;
};

// All the tokens of a short text, as SqlTokenReader reads them.
std::vector<SqlToken> SqlTokens(QStringView text);

// A Word or QuotedName token's name: a quoted one without its quotes and
// with its doubled closing quotes made single.
QString NameOf(QStringView text, const SqlToken& token);

} // namespace brindle::editing
