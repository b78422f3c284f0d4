// Input: one byte choosing the keyword table, then edits, each as one byte
// of kind, two of position, one of length, one of text length and that many
// bytes of UTF-8 text. Every edit replaces a range of the document, is handed
// to the incremental colouring as the paragraphs it touches, and the result
// is checked against the full pass over the whole text.
#include "colour/colour_passes.h"
#include "colour/incremental_colouring.h"
#include "colour/keyword_table.h"
#include "colour/paragraph_colouring.h"
#include "editor/rtf_document.h"

#include <QStringList>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

using namespace brindle;
using namespace Qt::StringLiterals;

const QString kFont = u"ＭＳ ゴシック"_s;
constexpr double kPoints = 10.0;

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "check failed: %s\n", what);
        std::abort();
    }
}

const std::array<KeywordTable, 4>& Tables() {
    static const std::array<KeywordTable, 4> tables = {
        KeywordTable{{u"select"_s, 1}, {u"from"_s, 1}, {u"where"_s, 1}, {u"null"_s, 3}},
        // Listed twice with two classes; the second ends in the default colour.
        KeywordTable{{u"select"_s, 1}, {u"SELECT"_s, 2}, {u"all"_s, 3}, {u"All"_s, 0}},
        // Short words and pieces of the colour switches.
        KeywordTable{{u"a"_s, 1}, {u"1"_s, 2}, {u"cf"_s, 3}, {u"f1"_s, 1}, {u"k"_s, 2}},
        KeywordTable{{u"日本"_s, 1}, {u"ß"_s, 2}, {u"İ"_s, 3}, {u"(x)"_s, 1}},
    };
    return tables;
}

bool SameAsFullPass(const colour::IncrementalColouring& inc, const QString& text,
                    const KeywordTable& table) {
    const QString written = rtf::WriteRtf(text, kFont, kPoints);
    const rtf::RtfContent expected = rtf::ReadRtf(
        colour::ColorKeywords(colour::RemoveColors(colour::FlattenRtf(written, 4)), table));
    const rtf::RtfContent actual = inc.Content();
    return actual.text == expected.text && actual.runs == expected.runs;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const KeywordTable& table = Tables()[data[0] % Tables().size()];
    Check(colour::LocalColouringExact(table, kFont, kPoints), "the fuzzed tables are exact");
    colour::IncrementalColouring inc(table);
    QString text;
    inc.Reset(text.split(u'\n'));

    std::size_t at = 1;
    while (at + 5 <= size) {
        const std::uint8_t kind = data[at];
        const qsizetype where = (data[at + 1] << 8 | data[at + 2]) % (text.size() + 1);
        qsizetype length = data[at + 3] % 64;
        const std::size_t textBytes = std::min<std::size_t>(data[at + 4], size - at - 5);
        const QString with =
            QString::fromUtf8(reinterpret_cast<const char*>(data + at + 5), qsizetype(textBytes));
        at += 5 + textBytes;
        if (kind % 4 == 0) {
            length = 0; // typing
        }
        const qsizetype from = where;
        const qsizetype to = std::min(text.size(), from + length);
        if (text.size() - (to - from) + with.size() > 4000) {
            continue; // keeps each full pass cheap
        }

        // The paragraphs the edit touches, as an editor hands them over.
        const qsizetype firstPara = text.first(from).count(u'\n');
        const qsizetype lastPara = text.first(to).count(u'\n');
        const qsizetype paraStart = from == 0 ? 0 : text.lastIndexOf(u'\n', from - 1) + 1;
        qsizetype paraEnd = text.indexOf(u'\n', to);
        if (paraEnd < 0) {
            paraEnd = text.size();
        }
        text.replace(from, to - from, with);
        if (kind % 16 == 15) {
            // The whole text set at once, its paragraphs pointing into it.
            inc.Reset(text, u'\n');
            Check(inc.ParagraphCount() == text.count(u'\n') + 1, "one state per paragraph");
            continue;
        }
        paraEnd += with.size() - (to - from);
        const auto changed = inc.Update(firstPara, lastPara - firstPara + 1,
                                        text.sliced(paraStart, paraEnd - paraStart).split(u'\n'));
        Check(changed.first == firstPara, "the change starts at the edit");
        Check(changed.first + changed.count <= inc.ParagraphCount(), "the change is in range");
        Check(inc.ParagraphCount() == text.count(u'\n') + 1, "one state per paragraph");
        if (!inc.NeedsFullPass()) {
            Check(SameAsFullPass(inc, text, table), "incremental colours equal the full pass");
        }
    }
    return 0;
}
