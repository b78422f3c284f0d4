#include "editor/find_replace.h"

#include <algorithm>
#include <utility>

namespace brindle::editing {

namespace {

enum class CharKind { Word, Blank, Other };

CharKind KindOf(QChar c) {
    if (c.isLetterOrNumber() || c == u'_' || c.isMark())
        return CharKind::Word;
    if (c.isSpace())
        return CharKind::Blank;
    return CharKind::Other;
}

// The next place a search may start after an empty match at `at`: one
// character on, a surrogate pair taken whole.
qsizetype NextStart(QStringView text, qsizetype at) {
    if (at < text.size() && text[at].isHighSurrogate() && at + 1 < text.size() &&
        text[at + 1].isLowSurrogate())
        return at + 2;
    return at + 1;
}

// PCRE2 checks the whole subject's UTF-16 on every call unless told not to,
// which makes going on from match to match quadratic. The text is checked
// here once instead; one with a lone surrogate half is searched in a copy
// where each such half is U+FFFD, so that offsets stay the same.
QStringView Searchable(QStringView text, QString& copy) {
    const auto lone = [&text](qsizetype i) {
        const QChar c = text[i];
        if (c.isHighSurrogate())
            return i + 1 >= text.size() || !text[i + 1].isLowSurrogate();
        return c.isLowSurrogate() && (i == 0 || !text[i - 1].isHighSurrogate());
    };
    qsizetype i = 0;
    while (i < text.size() && !lone(i))
        ++i;
    if (i == text.size())
        return text;
    copy = text.toString();
    for (; i < text.size(); ++i) {
        if (lone(i))
            copy[i] = QChar::ReplacementCharacter;
    }
    return copy;
}

// PCRE2 words its errors in English; the ones a user meets most are said
// in the program's words, any other as PCRE2 has it.
QString ErrorInWords(const QString& error) {
    static const std::pair<const char*, const char16_t*> words[] = {
        {"missing closing parenthesis", u"閉じる括弧 ) がありません"},
        {"missing terminating ] for character class", u"文字クラスを閉じる ] がありません"},
        {"quantifier does not follow a repeatable item",
         u"繰り返しの記号の前に繰り返せるものがありません"},
        {"unmatched closing parenthesis", u"対応する ( のない ) があります"},
        {"\\ at end of pattern", u"最後が \\ で終わっています"},
        {"numbers out of order in {} quantifier", u"{} の中の数の大小が逆です"},
        {"range out of order in character class", u"文字クラスの範囲の大小が逆です"},
        {"reference to non-existent subpattern", u"ないグループを参照しています"},
    };
    for (const auto& [english, japanese] : words) {
        if (error == QLatin1StringView(english))
            return QString::fromUtf16(japanese);
    }
    return error;
}

} // namespace

TextFinder::TextFinder(const QString& findWhat, FindOptions options) : m_options(options) {
    if (findWhat.isEmpty()) {
        m_problem = QStringLiteral("検索する文字列を入力してください。");
        return;
    }
    QRegularExpression::PatternOptions flags =
        QRegularExpression::MultilineOption | QRegularExpression::UseUnicodePropertiesOption;
    if (!options.matchCase)
        flags |= QRegularExpression::CaseInsensitiveOption;
    const QString pattern =
        options.regularExpression ? findWhat : QRegularExpression::escape(findWhat);
    m_expression = QRegularExpression(pattern, flags);
    if (!m_expression.isValid()) {
        m_problem = QStringLiteral("正規表現に誤りがあります (%1 文字目): %2")
                        .arg(m_expression.patternErrorOffset() + 1)
                        .arg(ErrorInWords(m_expression.errorString()));
        return;
    }
    m_expression.optimize();
}

bool TextFinder::IsWholeWord(QStringView text, qsizetype start, qsizetype end) const {
    const auto boundary = [&text](qsizetype at) {
        return at <= 0 || at >= text.size() || KindOf(text[at - 1]) != KindOf(text[at]);
    };
    return boundary(start) && boundary(end);
}

QRegularExpressionMatch TextFinder::MatchFrom(QStringView text, qsizetype from,
                                              qsizetype to) const {
    // The text ends at `to` for the search: nothing past the scope is matched.
    const QStringView subject = text.first(std::clamp<qsizetype>(to, 0, text.size()));
    qsizetype at = from;
    while (at <= subject.size()) {
        QRegularExpressionMatch match =
            m_expression.match(subject, at, QRegularExpression::NormalMatch,
                               QRegularExpression::DontCheckSubjectStringMatchOption);
        if (!match.hasMatch())
            return match;
        if (!m_options.wholeWord || IsWholeWord(text, match.capturedStart(), match.capturedEnd()))
            return match;
        at = NextStart(subject, match.capturedStart());
    }
    return {};
}

std::optional<TextSpan> TextFinder::Find(QStringView text, qsizetype from, qsizetype to) const {
    if (!m_problem.isEmpty() || from < 0 || from > to)
        return std::nullopt;
    QString copy;
    const QRegularExpressionMatch match = MatchFrom(Searchable(text, copy), from, to);
    if (!match.hasMatch())
        return std::nullopt;
    return TextSpan{match.capturedStart(), match.capturedLength()};
}

std::optional<TextSpan> TextFinder::FindWrapping(QStringView text, qsizetype from,
                                                 qsizetype scopeStart, qsizetype scopeEnd) const {
    from = std::clamp(from, scopeStart, scopeEnd);
    if (const auto found = Find(text, from, scopeEnd))
        return found;
    return Find(text, scopeStart, scopeEnd);
}

std::optional<QString> TextFinder::ReplacementAt(QStringView text, TextSpan span,
                                                 const QString& replaceWith) const {
    if (!m_problem.isEmpty() || span.start < 0 || span.end() > text.size())
        return std::nullopt;
    QString copy;
    const QRegularExpressionMatch match = MatchFrom(Searchable(text, copy), span.start, span.end());
    if (!match.hasMatch() || match.capturedStart() != span.start ||
        match.capturedLength() != span.length)
        return std::nullopt;
    QString out;
    AppendReplacement(out, match, replaceWith);
    return out;
}

void TextFinder::AppendReplacement(QString& out, const QRegularExpressionMatch& match,
                                   const QString& replaceWith) const {
    if (!m_options.regularExpression) {
        out.append(replaceWith);
        return;
    }
    const int groups = m_expression.captureCount();
    for (qsizetype i = 0; i < replaceWith.size(); ++i) {
        const QChar c = replaceWith[i];
        if (c != u'\\' || i + 1 == replaceWith.size()) {
            out.append(c);
            continue;
        }
        const QChar next = replaceWith[i + 1];
        if (next.isDigit() && next.unicode() < 128) {
            int group = next.digitValue();
            ++i;
            // A second digit belongs to the number when that group exists.
            if (i + 1 < replaceWith.size() && replaceWith[i + 1].isDigit() &&
                replaceWith[i + 1].unicode() < 128 &&
                group * 10 + replaceWith[i + 1].digitValue() <= groups) {
                group = group * 10 + replaceWith[i + 1].digitValue();
                ++i;
            }
            if (group <= groups)
                out.append(match.capturedView(group));
            continue;
        }
        ++i;
        if (next == u'n')
            out.append(u'\n');
        else if (next == u't')
            out.append(u'\t');
        else if (next == u'\\')
            out.append(u'\\');
        else
            out.append(c).append(next);
    }
}

TextFinder::Replaced TextFinder::ReplaceAll(QStringView text, qsizetype from, qsizetype to,
                                            const QString& replaceWith) const {
    Replaced result;
    from = std::clamp<qsizetype>(from, 0, text.size());
    to = std::clamp<qsizetype>(to, from, text.size());
    if (!m_problem.isEmpty()) {
        result.text = text.toString();
        return result;
    }
    result.text.reserve(text.size());
    QString copy;
    const QStringView subject = Searchable(text, copy);
    qsizetype copied = 0; // text before this is in the result
    qsizetype at = from;
    while (at <= to) {
        const QRegularExpressionMatch match = MatchFrom(subject, at, to);
        if (!match.hasMatch())
            break;
        const qsizetype start = match.capturedStart();
        const qsizetype end = match.capturedEnd();
        result.text.append(text.sliced(copied, start - copied));
        AppendReplacement(result.text, match, replaceWith);
        copied = end;
        ++result.count;
        at = end > start ? end : NextStart(text, end);
    }
    result.text.append(text.sliced(copied));
    return result;
}

} // namespace brindle::editing
