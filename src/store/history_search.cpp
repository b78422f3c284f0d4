#include "store/history_search.h"

#include <QChar>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <new>
#include <utility>
#include <vector>

namespace brindle::store {

namespace {

// Blocks where Unicode gave letters their case after the tables SQLite's
// trigram tokenizer folds with (Unicode 6.1): Qt folds, for example,
// U+1C80 to "в" and U+13F8 to U+13F0, the index does not. A search holding
// a character that any of these folds to is checked against every text.
constexpr std::pair<char32_t, char32_t> kCasedSinceTheIndex[] = {
    {0x037F, 0x037F}, // Greek capital yot
    {0x0500, 0x052F}, // Cyrillic supplement
    {0x13A0, 0x13FF}, // Cherokee
    {0x1C80, 0x1CBF}, // Cyrillic extended C, Georgian Mtavruli
    {0x2C00, 0x2C5F}, // Glagolitic
    {0xA640, 0xA69F}, // Cyrillic extended B
    {0xA720, 0xA7FF}, // Latin extended D
    {0xAB30, 0xABBF}, // Latin extended E, Cherokee supplement
};

// The only characters beyond ASCII that fold into it: long s and the Kelvin
// sign, as UTF-8.
constexpr std::array<std::pair<char, const char*>, 2> kFoldsIntoAscii = {{
    {'s', "\xC5\xBF"},
    {'k', "\xE2\x84\xAA"},
}};

// Characters nothing folds to but themselves (kana, ideographs, Hangul):
// a text without the character's own bytes cannot hold the search.
bool MatchedOnlyByItself(char32_t c) {
    return (c >= 0x3040 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7A3) ||
           (c >= 0xF900 && c <= 0xFAFF);
}

const std::vector<char32_t>& FoldsTheIndexMisses() {
    static const std::vector<char32_t> folds = [] {
        std::vector<char32_t> all;
        for (const auto& [first, last] : kCasedSinceTheIndex) {
            for (char32_t c = first; c <= last; ++c)
                all.push_back(QChar::toCaseFolded(c));
        }
        std::sort(all.begin(), all.end());
        all.erase(std::unique(all.begin(), all.end()), all.end());
        return all;
    }();
    return folds;
}

// Calls `take(c, at, units)` for each character `c` of `text`, at that
// index and of that many UTF-16 units; a lone surrogate is a character of
// its own.
template <typename Take> void ForEachCharacter(const QString& text, Take take) {
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t unit = text.at(i).unicode();
        if (QChar::isHighSurrogate(unit) && i + 1 < size &&
            QChar::isLowSurrogate(text.at(i + 1).unicode())) {
            take(QChar::surrogateToUcs4(unit, text.at(i + 1).unicode()), i, 2);
            ++i;
        } else {
            take(char32_t{unit}, i, 1);
        }
    }
}

bool IsAscii(QByteArrayView bytes) {
    unsigned char any = 0;
    for (const char b : bytes)
        any |= static_cast<unsigned char>(b);
    return any < 0x80;
}

// `needle` (ASCII, folded) in `text` with its ASCII letters folded, block by
// block through `scratch` so that a 10 MB text is not copied whole.
bool FindAsciiFolded(QByteArrayView text, std::string_view needle, std::string& scratch) {
    constexpr qsizetype kBlock = 64 * 1024;
    const auto length = static_cast<qsizetype>(needle.size());
    for (qsizetype start = 0; start + length <= text.size(); start += kBlock) {
        const qsizetype size = std::min(text.size() - start, kBlock + length - 1);
        scratch.resize(static_cast<std::size_t>(size));
        const char* from = text.data() + start;
        for (qsizetype i = 0; i < size; ++i) {
            const auto c = static_cast<unsigned char>(from[i]);
            scratch[static_cast<std::size_t>(i)] =
                static_cast<char>(static_cast<unsigned>(c - 'A') < 26u ? c + 32 : c);
        }
        if (::memmem(scratch.data(), scratch.size(), needle.data(), needle.size()) != nullptr)
            return true;
    }
    return false;
}

void MatchFunction(sqlite3_context* context, int, sqlite3_value** argv) {
    try {
        auto* search = static_cast<FoldedSearch*>(sqlite3_get_auxdata(context, 1));
        std::unique_ptr<FoldedSearch> local;
        if (search == nullptr) {
            const auto* bytes = static_cast<const char*>(sqlite3_value_blob(argv[1]));
            QString text(sqlite3_value_bytes(argv[1]) / 2, Qt::Uninitialized);
            if (!text.isEmpty())
                std::memcpy(text.data(), bytes, static_cast<std::size_t>(text.size()) * 2);
            // Kept with the statement while its argument stays the same.
            sqlite3_set_auxdata(context, 1, new FoldedSearch(text),
                                [](void* p) { delete static_cast<FoldedSearch*>(p); });
            search = static_cast<FoldedSearch*>(sqlite3_get_auxdata(context, 1));
            if (search == nullptr) {
                local = std::make_unique<FoldedSearch>(text);
                search = local.get();
            }
        }
        // The length from SQLite, not the first NUL: texts may hold NUL.
        const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
        const int size = sqlite3_value_bytes(argv[0]);
        sqlite3_result_int(context, search->FoundIn(QByteArrayView(text, text ? size : 0)));
    } catch (const std::bad_alloc&) {
        sqlite3_result_error_nomem(context);
    }
}

} // namespace

bool IndexFoldsAsQt(char32_t c) {
    // NUL would end the query's text; beyond the BMP the index folds only
    // Deseret; lone surrogates and the noncharacters U+FFFE and U+FFFF are
    // U+FFFD to it, and it passes over the byte order mark.
    if (c == 0 || c == 0xFEFF || c >= 0xFFFE || QChar::isSurrogate(c))
        return false;
    if (c < 0x80)
        return true;
    const std::vector<char32_t>& misses = FoldsTheIndexMisses();
    return !std::binary_search(misses.begin(), misses.end(), QChar::toCaseFolded(c));
}

namespace {

// Calls `run(start, end, characters)` for each longest run of characters of
// `search` that the index folds as Qt does.
template <typename Run> void ForEachIndexRun(const QString& search, Run run) {
    qsizetype start = 0;
    qsizetype end = 0;
    int characters = 0;
    ForEachCharacter(search, [&](char32_t c, qsizetype at, qsizetype units) {
        if (!IndexFoldsAsQt(c)) {
            if (characters > 0)
                run(start, end, characters);
            characters = 0;
            return;
        }
        if (characters == 0)
            start = at;
        end = at + units;
        ++characters;
    });
    if (characters > 0)
        run(start, end, characters);
}

QString Phrase(QString text) {
    text.replace(u'"', QStringLiteral("\"\""));
    return u'"' + text + u'"';
}

} // namespace

QString HistoryIndexQuery(const QString& search) {
    QStringList phrases;
    ForEachIndexRun(search, [&](qsizetype start, qsizetype end, int characters) {
        if (characters >= 3)
            phrases.push_back(Phrase(search.mid(start, end - start)));
    });
    return phrases.join(u' ');
}

QString HistoryIndexPrefix(const QString& search) {
    QString prefix;
    int longest = 0;
    ForEachIndexRun(search, [&](qsizetype start, qsizetype, int characters) {
        const int taken = std::min(characters, 2);
        if (taken <= longest)
            return;
        longest = taken;
        // Such characters are of the BMP and no surrogates: a unit each.
        prefix = search.mid(start, taken).toCaseFolded();
    });
    return prefix;
}

QString HistoryTermsQuery(const QStringList& terms) {
    QStringList phrases;
    for (const QString& term : terms) {
        if (term.contains(QChar(u'\0')))
            return {};
        phrases.push_back(Phrase(term));
    }
    return phrases.join(QStringLiteral(" OR "));
}

FoldedSearch::FoldedSearch(const QString& search) : m_folded(search.toCaseFolded()) {
    m_ascii = true;
    ForEachCharacter(m_folded, [&](char32_t c, qsizetype, qsizetype) {
        if (c >= 0x80)
            m_ascii = false;
        if (m_anchor.isEmpty() && MatchedOnlyByItself(c))
            m_anchor = QString(QChar(static_cast<char16_t>(c))).toUtf8();
    });
    if (!m_ascii)
        return;
    m_asciiBytes = m_folded.toStdString();
    for (const auto& [folded, utf8] : kFoldsIntoAscii) {
        if (m_asciiBytes.find(folded) != std::string::npos)
            m_foldsFromBeyond = true;
    }
}

bool FoldedSearch::FoundIn(QByteArrayView utf8) const {
    if (m_folded.isEmpty())
        return true;
    if (m_ascii) {
        if (FindAsciiFolded(utf8, m_asciiBytes, m_scratch))
            return true;
        // Only long s or the Kelvin sign could still make it match.
        const bool beyond =
            m_foldsFromBeyond && std::any_of(std::begin(kFoldsIntoAscii), std::end(kFoldsIntoAscii),
                                             [&](const auto& fold) {
                                                 return utf8.contains(QByteArrayView(fold.second));
                                             });
        if (!beyond)
            return false;
    } else {
        // ASCII folds only into ASCII.
        if (IsAscii(utf8))
            return false;
        if (!m_anchor.isEmpty() && !utf8.contains(m_anchor))
            return false;
    }
    return QString::fromUtf8(utf8).toCaseFolded().contains(m_folded);
}

QByteArray HistoryMatchArgument(const QString& search) {
    return QByteArray(reinterpret_cast<const char*>(search.utf16()), search.size() * 2);
}

void RegisterHistoryMatch(const SqliteConnection& db) {
    Check(sqlite3_create_function_v2(db.get(), "history_match", 2,
                                     SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, nullptr,
                                     MatchFunction, nullptr, nullptr, nullptr),
          kCannotOpen, db.get());
}

} // namespace brindle::store
