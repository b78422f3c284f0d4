// Cuts a query text into batches and checks the result against the steps as
// written out (LF to CR, split at CR, upper case and trimmed spaces for the GO
// test), and that a text of too many pieces fails with the overflow error and
// nothing else.
//
// Input: one mode byte, then the text (UTF-8). An odd mode byte m repeats the
// text until it is at least (m >> 1) KiB UTF-16 units long (up to 127 K), so
// long scripts and the piece bound are reached, and time that grows faster
// than the text shows up as a libFuzzer time-out.
#include "data/split_batches.h"
#include "core/error.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

// The steps as written, appending in place so the check itself is linear.
std::optional<QStringList> PlainSplit(QString text) {
    text.replace(u'\n', u'\r');
    const QStringList pieces = text.isEmpty() ? QStringList() : text.split(u'\r');
    if (pieces.size() > brindle::MaxBatchPieces)
        return std::nullopt;
    QStringList batches;
    QString current;
    for (const QString& piece : pieces) {
        QString test = piece.toUpper();
        qsizetype first = 0;
        while (first < test.size() && test[first] == u' ')
            ++first;
        qsizetype last = test.size();
        while (last > first && test[last - 1] == u' ')
            --last;
        if (test.sliced(first, last - first) == u"GO") {
            batches.append(current);
            current.clear();
        } else {
            current += piece;
            current += u'\r';
        }
    }
    batches.append(current);
    if (batches.size() > brindle::MaxBatchPieces)
        return std::nullopt;
    return batches;
}

[[noreturn]] void Fail(const char* what, const QString& text) {
    std::fprintf(stderr, "%s\n  text (%lld units): %s\n", what, static_cast<long long>(text.size()),
                 text.left(200).toUtf8().toPercentEncoding(" ").constData());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    const qsizetype longText = (data[0] & 1) != 0 ? qsizetype(data[0] >> 1) * 1024 : 0;
    QString text = QString::fromUtf8(reinterpret_cast<const char*>(data + 1),
                                     static_cast<qsizetype>(size - 1));
    if (longText > 0 && !text.isEmpty())
        text = text.repeated((longText + text.size() - 1) / text.size());

    std::optional<QStringList> batches;
    try {
        batches = brindle::SplitBatches(text);
    } catch (const brindle::Error& e) {
        if (e.number() != brindle::err::Overflow)
            Fail("a failure other than the overflow", text);
    }
    const std::optional<QStringList> plain = PlainSplit(text);
    if (batches.has_value() != plain.has_value())
        Fail(batches ? "no overflow where the pieces exceed the bound"
                     : "an overflow within the bound",
             text);
    if (batches && *batches != *plain)
        Fail("the batches differ from the plain steps", text);
    return 0;
}
