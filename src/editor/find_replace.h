#pragma once

#include "editor/text_lines.h"

#include <QRegularExpression>
#include <QString>
#include <QStringView>

#include <optional>

namespace brindle::editing {

struct FindOptions {
    bool matchCase = false;
    // A match must not continue a word on either side: where it starts and
    // where it ends, the kind of character (letter or digit, blank, other)
    // changes, or the text ends.
    bool wholeWord = false;
    // Qt's regular expressions (PCRE2); "^" and "$" match at every line.
    // In the replacement \0 to \99 stand for the groups, "\n" for a line
    // break, "\t" for a tab and "\\" for a backslash.
    bool regularExpression = false;
    friend bool operator==(const FindOptions&, const FindOptions&) = default;
};

// What to look for and how, ready to use. The text searched has its lines
// joined by '\n' (the editor's paragraphs).
class TextFinder {
public:
    TextFinder(const QString& findWhat, FindOptions options);

    // Empty when the search can run; otherwise what is wrong, in words for
    // the user (an empty search text, a regular expression in error).
    QString Problem() const { return m_problem; }

    // The first match that starts at or after `from` and ends by `to`.
    std::optional<TextSpan> Find(QStringView text, qsizetype from, qsizetype to) const;
    // The first match from `from` to the end, else from `scopeStart` on
    // (wrapping round); both within [scopeStart, scopeEnd).
    std::optional<TextSpan> FindWrapping(QStringView text, qsizetype from, qsizetype scopeStart,
                                         qsizetype scopeEnd) const;
    // The replacement for `span` when a match is exactly that span (as a
    // search from its start finds it), else nothing.
    std::optional<QString> ReplacementAt(QStringView text, TextSpan span,
                                         const QString& replaceWith) const;

    struct Replaced {
        QString text; // the whole text, replacements made
        int count = 0;
    };
    // Every match within [from, to) replaced in one pass over the text: a
    // replacement is never searched again, so one that holds the search text
    // cannot make it go on for ever.
    Replaced ReplaceAll(QStringView text, qsizetype from, qsizetype to,
                        const QString& replaceWith) const;

private:
    QRegularExpressionMatch MatchFrom(QStringView text, qsizetype from, qsizetype to) const;
    bool IsWholeWord(QStringView text, qsizetype start, qsizetype end) const;
    void AppendReplacement(QString& out, const QRegularExpressionMatch& match,
                           const QString& replaceWith) const;

    FindOptions m_options;
    QRegularExpression m_expression;
    QString m_problem;
};

} // namespace brindle::editing
