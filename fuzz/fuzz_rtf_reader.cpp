// Feeds arbitrary bytes to the RTF reader, then checks that whatever text it
// produced survives the writer and the reader again unchanged.
#include "editor/rtf_document.h"

#include <QByteArrayView>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brindle::rtf;

    const QString rtf = QString::fromUtf8(
        QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    const RtfContent first = ReadRtf(rtf);

    // The invariants the editor relies on when it applies the runs.
    int end = 0;
    for (const ColourRun& run : first.runs) {
        if (run.start < end || run.length <= 0 || run.colour <= 0 ||
            run.colour >= static_cast<int>(first.colours.size())) {
            std::fprintf(stderr, "bad colour run at %d\n", run.start);
            std::abort();
        }
        end = run.start + run.length;
    }
    if (end > first.text.size()) {
        std::fprintf(stderr, "colour run past the end of the text\n");
        std::abort();
    }

    const RtfContent second = ReadRtf(WriteRtf(first.text, QStringLiteral("Font"), 10));
    if (second.text != first.text) {
        std::fprintf(stderr, "round trip changed the text:\n  first:  %s\n  second: %s\n",
                     first.text.toUtf8().constData(), second.text.toUtf8().constData());
        std::abort();
    }
    return 0;
}
