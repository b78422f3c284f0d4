#include "colour/colour_passes.h"

#include "colour/lower_text.h"
#include "colour/switch_plan.h"
#include "core/error.h"

#include <limits>

namespace brindle::colour {

namespace {

// The plan stores positions in 32 bits.
constexpr qsizetype kMaxPlannedLength = std::numeric_limits<qint32>::max() - 1;

// Appends the wrapped occurrence to the text being built and to its lowered
// form; the switches are the same in both.
void ColorWord(QString& text, QString& lowered, QStringView word, QStringView loweredWord,
               qint16 colorNo) {
    const QStringView opener = ColourSwitch(colorNo);
    text.append(opener);
    text.append(word);
    text.append(kDefaultSwitch);
    lowered.append(opener);
    lowered.append(loweredWord);
    lowered.append(kDefaultSwitch);
}

// One entry over the whole written text, building the result in one buffer.
// Serves every keyword, also those that match inside switches.
void ColorEntry(QString& text, QString& lowered, QStringView loweredKeyword, qint16 colorNo) {
    const QStringView source(text);
    const QStringView sourceLowered(lowered);
    const qsizetype n = source.size();
    const qsizetype length = loweredKeyword.size();
    QString out;
    QString outLowered;
    qsizetype copied = 0; // source[0, copied) is in `out`, coloured
    qsizetype from = 0;
    // The search starts only while its start lies before the last character;
    // the switches inserted so far lengthen the text and the start alike.
    while (from + 1 < n) {
        const qsizetype start = sourceLowered.indexOf(loweredKeyword, from);
        if (start < 0) {
            break;
        }
        const qsizetype end = start + length;
        // The character in front may be the blank that ends a switch this
        // pass has just written.
        const bool before = start == copied ? (copied == 0 || IsDelimiter(out.back().unicode()))
                                            : IsDelimiter(source[start - 1].unicode());
        const bool after = end >= n || IsDelimiter(source[end].unicode());
        if (before && after) {
            if (out.isEmpty()) {
                out.reserve(n + n / 4 + 16);
                outLowered.reserve(n + n / 4 + 16);
            }
            out.append(source.sliced(copied, start - copied));
            outLowered.append(sourceLowered.sliced(copied, start - copied));
            ColorWord(out, outLowered, source.sliced(start, length),
                      sourceLowered.sliced(start, length), colorNo);
            copied = end;
            from = end;
        } else {
            from = end + 1; // the character after the occurrence is skipped
        }
    }
    if (copied == 0) {
        return; // nothing coloured
    }
    out.append(source.sliced(copied));
    outLowered.append(sourceLowered.sliced(copied));
    text = std::move(out);
    lowered = std::move(outLowered);
}

} // namespace

QString ColorKeywords(QString text, const KeywordTable& table, KeywordMethod method) {
    if (table.empty()) {
        throw SubscriptError();
    }
    // The colour table goes in front of the document's own header, inside
    // the document's opening brace. A text that does not start with a brace
    // keeps its first character.
    QString result = std::move(text);
    result.replace(0, result.startsWith(u'{') ? 1 : 0, u'{' + kColourTable);

    std::vector<QString> keywords;
    keywords.reserve(table.size());
    for (const KeywordColor& entry : table) {
        keywords.push_back(LowerPerChar(entry.Keyword));
    }
    // An empty keyword would match everywhere; a plan passes over it.
    const auto planned = [&](std::size_t i) {
        return keywords[i].isEmpty() ||
               (method == KeywordMethod::Planned && !CanMatchInsideSwitches(keywords[i]) &&
                result.size() <= kMaxPlannedLength);
    };

    QString lowered; // for the entries applied one by one, made when needed
    bool loweredValid = false;
    std::size_t i = 0;
    while (i < table.size()) {
        if (!planned(i)) {
            if (!loweredValid) {
                lowered = LowerPerChar(result);
                loweredValid = true;
            }
            ColorEntry(result, lowered, keywords[i], table[i].ColorNo);
            ++i;
            continue;
        }
        std::size_t runEnd = i;
        while (runEnd < table.size() && planned(runEnd)) {
            ++runEnd;
        }
        const std::vector<QString> run(keywords.begin() + qsizetype(i),
                                       keywords.begin() + qsizetype(runEnd));
        SwitchPlan plan(result, run);
        for (; i < runEnd; ++i) {
            plan.Apply(keywords[i], table[i].ColorNo);
        }
        result = plan.Write();
        loweredValid = false;
    }
    return ColorComments(std::move(result));
}

} // namespace brindle::colour
