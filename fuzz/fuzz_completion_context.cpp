// Name completion's reading of a batch at a caret: never a crash, a hang or
// a read out of range, whatever the text and the caret, and an answer that
// holds together: the word is the text from its start to the caret, nothing
// is offered in a comment or string, a qualifier comes with ColumnOf only,
// every table has a name. On a text of one line, a keystroke that opens the
// popup by itself opens it where the full reading offers something.
//
// Input: two bytes of caret (little-endian; with the top bit set it counts
// back from one past the end, 0xFFFF is -1), one mode byte, then the text
// (UTF-8). An odd mode byte m repeats the text until it is at least
// 256 * (m >> 1) UTF-16 units long (up to 32 K): time that grows faster than
// the text shows up as a libFuzzer time-out, and short texts still get most
// of the runs.
#include "editor/completion_context.h"
#include "editor/sql_tokens.h"

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace brindle::completion;

namespace {

[[noreturn]] void Fail(const char* what, const QString& text, qsizetype caret) {
    std::fprintf(stderr, "%s\n  caret %lld, text (%lld units): %s\n", what,
                 static_cast<long long>(caret), static_cast<long long>(text.size()),
                 text.left(200).toUtf8().toPercentEncoding(" ").constData());
    std::abort();
}

void Check(const QString& text, qsizetype caret) {
    const Context c = AnalyseAt(text, caret);
    const qsizetype at = std::clamp<qsizetype>(caret, 0, text.size());
    if (c.wordStart < 0 || c.wordStart > at)
        Fail("the word starts outside [0, caret]", text, caret);
    if (c.word != QStringView(text).sliced(c.wordStart, at - c.wordStart))
        Fail("the word is not the text from its start to the caret", text, caret);
    if (c.want == Want::Nothing && (!c.word.isEmpty() || !c.tables.empty()))
        Fail("a word or tables where nothing is offered", text, caret);
    if ((c.want == Want::ColumnOf) != !c.qualifier.isEmpty() ||
        c.qualifier.size() != c.qualifierQuoted.size() ||
        (c.qualifierIsSchema && c.want != Want::ColumnOf))
        Fail("a qualifier without ColumnOf, or ColumnOf without one", text, caret);
    const QChar first = c.word.isEmpty() ? QChar() : c.word.front();
    if (first != u'"' && first != u'`' && first != u'[' &&
        !std::all_of(c.word.begin(), c.word.end(), brindle::editing::IsNameChar))
        Fail("a bare word holding more than name characters", text, caret);
    for (const TableRef& t : c.tables) {
        if (t.name.isEmpty() || t.name.size() != t.nameQuoted.size())
            Fail("a table without a name", text, caret);
    }
    const std::optional<TableRef> resolved = Resolve(c);
    if (resolved && (c.qualifier.isEmpty() || resolved->name.isEmpty()))
        Fail("a table resolved without a qualifier", text, caret);

    if (!OpensByItself(text, caret))
        return;
    const QChar typed = text[at - 1];
    const bool oneLine = std::none_of(text.begin(), text.end(), brindle::editing::IsLineEnd);
    if (!oneLine)
        return;
    if (typed == u'.' ? c.want != Want::ColumnOf : c.want == Want::Nothing)
        Fail("the popup opens by itself where the reading offers nothing of the kind", text, caret);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3)
        return 0;
    const unsigned raw = data[0] | (unsigned(data[1]) << 8);
    const qsizetype longText = (data[2] & 1) != 0 ? qsizetype(data[2] >> 1) * 256 : 0;
    QString text = QString::fromUtf8(reinterpret_cast<const char*>(data + 3),
                                     static_cast<qsizetype>(size - 3));
    if (longText > 0 && !text.isEmpty())
        text = text.repeated((longText + text.size() - 1) / text.size());
    qsizetype caret = raw;
    if (raw == 0xFFFF)
        caret = -1;
    else if ((raw & 0x8000) != 0)
        caret = text.size() + 1 - qsizetype(raw & 0x7FFF);
    Check(text, caret);
    return 0;
}
