// Input: one byte for TabSpaceNum, then the bytes of a keyword file up to the
// first NUL, then the RTF text (UTF-8). Checks that SplitCsvLine and CColor
// never crash, that CColor fails exactly when loading or colouring fails, and
// that its result is the plain algorithm's.
#include "colour/bas_csv.h"
#include "colour/cls_edit_color.h"
#include "colour/colour_passes.h"
#include "colour/keyword_file.h"
#include "colour/keyword_table.h"
#include "naive_colouriser.h"
#include "core/error.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

using namespace brindle;

class CountingSink final : public ErrorBoxSink {
public:
    void ShowErrMsg(const Error&) override { ++shown; }
    int shown = 0;
};

// One keyword file per process, overwritten for every input.
class KeywordFile {
public:
    KeywordFile() {
        if (!m_dir.isValid()) {
            std::abort();
        }
    }
    QString path() const { return m_dir.filePath(QStringLiteral("KEYWORD_COLOR.CSV")); }
    void Write(QByteArrayView bytes) const {
        QFile file(path());
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(bytes.data(), bytes.size()) != bytes.size()) {
            std::abort();
        }
    }

private:
    QTemporaryDir m_dir;
};

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "check failed: %s\n", what);
        std::abort();
    }
}

// What loading the file gives: the table, or nothing when it fails.
std::optional<KeywordTable> LoadTable(QByteArrayView bytes) {
    if (bytes.isEmpty()) {
        return std::nullopt;
    }
    try {
        return ParseKeywordTable(DecodeCodePage932(bytes));
    } catch (const Error&) {
        return std::nullopt;
    }
}

void SplitEveryLine(const QString& fileText) {
    for (const QStringView line : QStringView(fileText).tokenize(u"\r\n")) {
        try {
            const QStringList fields = SplitCsvLine(line);
            Check(!fields.isEmpty(), "SplitCsvLine gives at least one field");
            qsizetype length = 0;
            for (const QString& field : fields) {
                length += field.size();
            }
            Check(length <= line.size(), "fields are parts of the line");
        } catch (const Error& error) {
            Check(error.number() == err::Overflow, "SplitCsvLine fails only with overflow");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const KeywordFile keywordFile;
    if (size == 0) {
        return 0;
    }
    const auto tabSpaceNum = qint16(int(data[0] % 10) - 1);
    const QByteArrayView rest(reinterpret_cast<const char*>(data) + 1, qsizetype(size) - 1);
    const qsizetype nul = rest.indexOf('\0');
    const QByteArrayView fileBytes = nul < 0 ? rest : rest.first(nul);
    const QString rtf = nul < 0 ? QString() : QString::fromUtf8(rest.sliced(nul + 1));

    SplitEveryLine(DecodeCodePage932(fileBytes));

    keywordFile.Write(fileBytes);
    CountingSink errors;
    clsEditColor colour(errors, keywordFile.path());
    colour.setTabSpaceNum(tabSpaceNum);
    const QString coloured = colour.CColor(rtf);

    const std::optional<KeywordTable> table = LoadTable(fileBytes);
    if (!table || table->empty()) {
        Check(coloured.isEmpty(), "a failed load gives an empty result");
        Check(errors.shown == 1, "a failed load shows one box");
        return 0;
    }
    Check(errors.shown == 0, "a good table shows no box");
    Check(coloured.startsWith(u'{' + colour::kColourTable), "the colour table comes first");
    // The plain algorithm is quadratic; keep the run fast on big inputs.
    if (rtf.size() * qsizetype(table->size()) <= 200000) {
        const std::optional<QString> expected = naive::CColor(rtf, *table, tabSpaceNum);
        Check(expected.has_value() && *expected == coloured, "CColor equals the plain algorithm");
        const QString text = colour::RemoveColors(colour::FlattenRtf(rtf, tabSpaceNum));
        Check(colour::ColorKeywords(text, *table, colour::KeywordMethod::EntryByEntry) == coloured,
              "both keyword methods agree");
    }
    return 0;
}
