// Arranges a query by a keyword table, both taken from the input, through the
// keyword file as the command does, and checks the result against the plain
// algorithm: the same text, or the same error in one box.
//
// Input: table bytes, a NUL byte, query bytes (UTF-8). The first table byte
// picks the form of the table: odd, the rest is the keyword file itself; even,
// every further line gives one row as a level byte, a kind byte and keyword
// bytes, mapped onto characters that reach the corners of the rules.
#include "arrange/arrange_table.h"
#include "arrange/cls_arrange_query.h"
#include "colour/keyword_file.h"
#include "naive_arranger.h"
#include "core/error.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

namespace {

using namespace Qt::Literals::StringLiterals;

// Bounds that keep one input well under a second, also for the plain algorithm.
constexpr qsizetype kMaxQueryBytes = 4096;
constexpr qsizetype kMaxRows = 50;
// Levels whose indentation is wide make every occurrence add up to 64 K
// blanks; with them only short queries and two such rows are tried.
constexpr int kWideLevel = 64;
constexpr qsizetype kMaxQueryWithWideLevels = 32;
constexpr int kMaxWideRows = 2;

const QString kKeywordChars = u"abcsleftromwhndSELCTFROMAND ,()'\r\n\t.;=選ｓＳ"_s;
const qint16 kLevels[] = {0,  1,    1,     1,    2,     2,     3,      4,  -1,
                          -2, 8191, -8191, 8192, -8192, 32767, -32768, 100};
const qint16 kKinds[] = {1, 1, 0, 2, -1};

struct Outcome {
    QString text;
    std::optional<int> error;
    bool operator==(const Outcome&) const = default;
};

class RecordingSink final : public brindle::ErrorBoxSink {
public:
    void ShowErrMsg(const brindle::Error& error) override { numbers.push_back(error.number()); }
    std::vector<int> numbers;
};

// Applicable here means the same as in the formatter, written out again.
bool HasVisibleChar(const QString& keyword) {
    for (const QChar c : keyword) {
        if (c != u' ' && c != u'\r') {
            return true;
        }
    }
    return false;
}

brindle::ArrangeTable TableFromRows(const QByteArray& bytes) {
    brindle::ArrangeTable table;
    for (const QByteArray& row : bytes.split('\n')) {
        if (row.size() < 2 || qsizetype(table.size()) == kMaxRows) {
            continue;
        }
        brindle::KeywordArrange entry;
        entry.Level = kLevels[std::uint8_t(row[0]) % std::size(kLevels)];
        entry.Kind = kKinds[std::uint8_t(row[1]) % std::size(kKinds)];
        for (qsizetype i = 2; i < row.size(); ++i) {
            const QChar c = kKeywordChars[std::uint8_t(row[i]) % kKeywordChars.size()];
            // A keyword file cannot hold CR LF inside a row.
            if (!(c == u'\n' && entry.Keyword.endsWith(u'\r'))) {
                entry.Keyword += c;
            }
        }
        table.push_back(entry);
    }
    return table;
}

QByteArray FileOf(const brindle::ArrangeTable& table) {
    QString text = u"キーワード,レベル,種類"_s;
    for (const brindle::KeywordArrange& entry : table) {
        text += u"\r\n"_s;
        if (!entry.Keyword.isEmpty()) {
            text += u'"' + entry.Keyword + u'"';
        }
        text += u',' + QString::number(entry.Level) + u',' + QString::number(entry.Kind);
    }
    QStringEncoder encoder("Shift_JIS");
    return encoder.encode(text);
}

bool TooWide(const brindle::ArrangeTable& table, qsizetype querySize) {
    int wide = 0;
    for (const brindle::KeywordArrange& entry : table) {
        if (entry.Level > kWideLevel && entry.Level < 8192) {
            ++wide;
        }
    }
    return wide > kMaxWideRows || (wide > 0 && querySize > kMaxQueryWithWideLevels);
}

[[noreturn]] void Fail(const char* what, const QString& query, const Outcome& fast,
                       const Outcome& plain) {
    std::fprintf(stderr, "%s\n  query: %s\n  fast:  %s (error %d)\n  plain: %s (error %d)\n", what,
                 query.toUtf8().toPercentEncoding(" ").constData(),
                 fast.text.toUtf8().toPercentEncoding(" ").constData(), fast.error.value_or(0),
                 plain.text.toUtf8().toPercentEncoding(" ").constData(), plain.error.value_or(0));
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype nul = input.indexOf('\0');
    if (nul < 1) {
        return 0;
    }
    const QByteArray tablePart = input.sliced(1, nul - 1);
    const bool rawFile = (std::uint8_t(input[0]) & 1) != 0;
    const QString query = QString::fromUtf8(
        input.sliced(nul + 1).first(std::min<qsizetype>(input.size() - nul - 1, kMaxQueryBytes)));

    static QTemporaryDir dir;
    const QString path = dir.path() + u"/KEYWORD_ARRANGE.CSV"_s;
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            std::abort();
        }
        file.write(rawFile ? tablePart : FileOf(TableFromRows(tablePart)));
    }

    // What the plain algorithm makes of it.
    Outcome plain;
    try {
        brindle::ArrangeTable table;
        if (rawFile) {
            table = brindle::ParseArrangeTable(brindle::ReadKeywordFileText(path));
        } else {
            for (brindle::KeywordArrange& entry : TableFromRows(tablePart)) {
                if (HasVisibleChar(entry.Keyword)) {
                    table.push_back(std::move(entry));
                }
            }
        }
        if (TooWide(table, query.size())) {
            return 0;
        }
        const std::optional<QString> text = brindle::test::NaiveArrange(query, table, true);
        if (!text) {
            Fail("the plain arrangement runs away", query, {}, {});
        }
        plain.text = *text;
    } catch (const brindle::Error& error) {
        plain.error = error.number();
    }

    RecordingSink errors;
    brindle::clsArrangeQuery formatter(errors, path);
    Outcome fast{formatter.CArrange(query), std::nullopt};
    if (errors.numbers.size() > 1) {
        Fail("more than one error box", query, fast, plain);
    }
    if (!errors.numbers.empty()) {
        fast.error = errors.numbers.front();
        if (!fast.text.isEmpty()) {
            Fail("a failed arrangement gave text", query, fast, plain);
        }
    }
    if (fast != plain) {
        Fail("fast and plain arrangement differ", query, fast, plain);
    }
    return 0;
}
