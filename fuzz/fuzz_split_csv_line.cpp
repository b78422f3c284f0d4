// Splits one keyword-table line and checks what callers rely on without
// following the scan itself:
//  - any line gives at least one field and at most one per character, and
//    fails only with the overflow error, and that only on a line of more
//    than 32,767 characters;
//  - the fields are pieces of the line, in order and apart; a field that
//    holds a comma stands between two quotes in the line;
//  - a line without quotes splits at every comma (as QString::split does),
//    with the empty piece after a final comma left off;
//  - fields written back quoted (the non-empty ones without quotes) or bare
//    (those without commas) split back to the same fields.
//
// Input: one mode byte, then the line. Bit 0 of the mode byte: the line is
// raw UTF-16 code units (little-endian pairs, so lone surrogates and NUL
// reach the splitter), otherwise UTF-8. Bits 1 and 2 both set: the line is
// repeated until it is at least (mode >> 3) * 4 K units long (up to 124 K),
// so the field bound is reached and time that grows faster than the line
// shows up as a libFuzzer time-out.
#include "colour/bas_csv.h"
#include "core/error.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

constexpr qsizetype kMaxFields = 32767;

[[noreturn]] void Fail(const char* what, const QString& line) {
    std::fprintf(stderr, "%s\n  line (%lld units): %s\n", what, static_cast<long long>(line.size()),
                 line.left(200).toUtf8().toPercentEncoding(" ").constData());
    std::abort();
}

QString LineOf(const std::uint8_t* data, std::size_t size) {
    const std::uint8_t mode = data[0];
    const char* bytes = reinterpret_cast<const char*>(data + 1);
    const auto count = static_cast<qsizetype>(size - 1);
    QString line;
    if ((mode & 1) != 0) {
        line.resize(count / 2);
        for (qsizetype i = 0; i < line.size(); ++i) {
            line[i] =
                QChar(char16_t(std::uint8_t(bytes[2 * i]) | (std::uint8_t(bytes[2 * i + 1]) << 8)));
        }
    } else {
        line = QString::fromUtf8(bytes, count);
    }
    const qsizetype longLine = (mode & 6) == 6 ? qsizetype(mode >> 3) * 4096 : 0;
    if (longLine > 0 && !line.isEmpty()) {
        line = line.repeated((longLine + line.size() - 1) / line.size());
    }
    return line;
}

// The fields, or nothing when the splitter reported the overflow.
std::optional<QStringList> Split(const QString& line) {
    try {
        return brindle::SplitCsvLine(line);
    } catch (const brindle::Error& e) {
        if (e.number() != brindle::err::Overflow) {
            Fail("a failure other than the overflow", line);
        }
        return std::nullopt;
    }
}

// The fields a line of plain pieces must give: every piece, less an empty
// last one behind a comma; nothing when there are too many.
std::optional<QStringList> Expected(QStringList pieces) {
    if (pieces.size() > 1 && pieces.back().isEmpty()) {
        pieces.removeLast();
    }
    if (pieces.size() > kMaxFields) {
        return std::nullopt;
    }
    return pieces;
}

void CheckAnyLine(const QString& line, const std::optional<QStringList>& fields) {
    if (!fields) {
        if (line.size() <= kMaxFields) {
            Fail("an overflow on a line too short to have that many fields", line);
        }
        return;
    }
    if (fields->isEmpty()) {
        Fail("no field at all", line);
    }
    if (fields->size() > std::max<qsizetype>(1, line.size())) {
        Fail("more fields than characters", line);
    }
    qsizetype from = 0;
    for (const QString& field : *fields) {
        if (field.contains(u',')) {
            const QString quotedField = u'"' + field + u'"';
            const qsizetype at = line.indexOf(quotedField, from);
            if (at < 0) {
                Fail("a field with a comma that was not between quotes", line);
            }
            from = at + field.size() + 2;
        } else {
            const qsizetype at = line.indexOf(field, from);
            if (at < 0) {
                Fail("a field that is not the next piece of the line", line);
            }
            from = at + field.size();
        }
    }
}

void CheckQuoteFreeLine(const QString& line, const std::optional<QStringList>& fields) {
    if (line.contains(u'"')) {
        return;
    }
    if (fields != Expected(line.split(u','))) {
        Fail("a line without quotes does not split at its commas", line);
    }
}

// Pieces cut from the line at '|', with their quotes taken out; written back
// as a line, quoted where they hold a comma or have an odd length.
void CheckRoundTrip(const QString& line) {
    QStringList pieces = line.split(u'|');
    QString written;
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        QString& piece = pieces[i];
        piece.remove(u'"');
        if (i > 0) {
            written += u',';
        }
        const bool quoted = !piece.isEmpty() && (piece.contains(u',') || piece.size() % 2 == 1);
        if (quoted) {
            written += u'"' + piece + u'"';
        } else {
            written += piece;
        }
    }
    if (Split(written) != Expected(pieces)) {
        Fail("fields written back do not split to the same fields", written);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    const QString line = LineOf(data, size);
    const std::optional<QStringList> fields = Split(line);
    CheckAnyLine(line, fields);
    CheckQuoteFreeLine(line, fields);
    CheckRoundTrip(line);
    return 0;
}
