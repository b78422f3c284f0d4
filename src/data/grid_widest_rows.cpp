#include "data/grid_widest_rows.h"

#include "data/grid_cell_text.h"
#include "data/odbc_column_values.h"

#include <QString>

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <span>
#include <string>

namespace brindle {

namespace {

using odbc::ColumnKind;
using odbc::ColumnValues;

// Rows measured besides the longest, at most.
constexpr std::size_t MaxRows = 8;

// Calls f(row) for every row that is not NULL, a word of the null bitmap at a
// time.
template <typename F> void ForEachValue(const ColumnValues& values, F&& f) {
    const std::span<const std::uint64_t> words = values.nullWords();
    const qsizetype rows = values.size();
    for (std::size_t w = 0; w < words.size(); ++w) {
        const auto first = static_cast<qsizetype>(w * 64);
        const qsizetype last = std::min<qsizetype>(rows, first + 64);
        const std::uint64_t nulls = words[w];
        for (qsizetype row = first; row < last; ++row) {
            if (nulls == 0 || ((nulls >> (row - first)) & 1U) == 0)
                f(row);
        }
    }
}

qsizetype FirstNull(const ColumnValues& values) {
    const std::span<const std::uint64_t> words = values.nullWords();
    for (std::size_t w = 0; w < words.size(); ++w) {
        if (words[w] != 0)
            return static_cast<qsizetype>(w * 64) + std::countr_zero(words[w]);
    }
    return -1;
}

// The least and the greatest value and a row of each.
struct Extremes {
    qsizetype leastRow = -1;
    qsizetype mostRow = -1;
    qint64 least = 0;
    qint64 most = 0;

    void take(qint64 value, qsizetype row) {
        if (leastRow < 0 || value < least) {
            least = value;
            leastRow = row;
        }
        if (mostRow < 0 || value > most) {
            most = value;
            mostRow = row;
        }
    }
    void addTo(std::vector<qsizetype>& rows) const {
        if (leastRow >= 0) {
            rows.push_back(leastRow);
            rows.push_back(mostRow);
        }
    }
};

// Integers have the most digits at either end; dates and timestamps the
// widest years. Times and timestamps show milliseconds only when they have
// any, so those are looked at apart.
std::vector<qsizetype> ExtremeRows(const ColumnValues& values) {
    const std::span<const qint64> stored = values.fixedValues();
    const bool milliseconds =
        values.kind() == ColumnKind::Time || values.kind() == ColumnKind::DateTime;
    Extremes all;
    Extremes withMilliseconds;
    ForEachValue(values, [&](qsizetype row) {
        const qint64 value = stored[static_cast<std::size_t>(row)];
        all.take(value, row);
        if (milliseconds && value % 1000 != 0)
            withMilliseconds.take(value, row);
    });
    std::vector<qsizetype> rows;
    all.addTo(rows);
    withMilliseconds.addTo(rows);
    return rows;
}

constexpr int LowestPower = -324;
constexpr int HighestPower = 309;
constexpr int PowerCount = HighestPower - LowestPower + 1;
using Powers = std::array<double, PowerCount>;

// 10^k as the nearest double, for k in [LowestPower, HighestPower]; the ends
// are 0 and infinity, so that every positive double lies between two of them.
Powers PowersOfTen() {
    Powers powers{};
    for (int k = LowestPower + 1; k < HighestPower; ++k) {
        const std::string text = "1e" + std::to_string(k);
        powers[static_cast<std::size_t>(k - LowestPower)] = std::strtod(text.c_str(), nullptr);
    }
    powers.front() = 0;
    powers.back() = std::numeric_limits<double>::infinity();
    return powers;
}

double PowerOfTen(const Powers& powers, int k) {
    return powers[static_cast<std::size_t>(k - LowestPower)];
}

// Where the decimal point of a's shortest form stands: 10^(point-1) <= a <
// 10^point as doubles compare, which is also how its shortest digits compare
// (a value that is the nearest double to 10^k is written "1e+k"). a is
// positive and finite.
int DecimalPoint(double a, const Powers& powers) {
    const auto biased = static_cast<int>((std::bit_cast<std::uint64_t>(a) >> 52) & 0x7ff);
    // a = f * 2^e with 0.5 <= f < 1; denormals start low and are walked up.
    const int e = biased == 0 ? -1074 : biased - 1022;
    // floor((e - 1) * log10(2)) in integers, exact over the exponents of a double.
    int point = (((e - 1) * 78913) >> 18) + 1;
    while (a >= PowerOfTen(powers, point))
        ++point;
    while (a < PowerOfTen(powers, point - 1))
        --point;
    return point;
}

constexpr int MaxDigits = 17; // no double needs more to read back as itself

constexpr std::array<double, 23> ExactPowers = [] {
    std::array<double, 23> powers{};
    double p = 1;
    for (double& power : powers) {
        power = p;
        p *= 10;
    }
    return powers;
}();

// The nearest integer (ties to even) to a non-negative x, without a call
// into the maths library: below 2^52 adding and taking away 2^52 rounds it,
// and from there on every double is an integer.
double RoundToInteger(double x) {
    constexpr double Big = 4503599627370496.0; // 2^52
    return x < Big ? (x + Big) - Big : x;
}

// Whether a (positive, its decimal point at `point`) reads back from a form of
// at most `digits` significant digits. Where the powers of ten are exact
// doubles one rounding decides it exactly: the integer m, exact, divided by
// an exact power is correctly rounded, as reading the text "m" scaled would
// be. Elsewhere the answer is no, and the caller counts the digits in full.
bool AtMostDigits(double a, int point, int digits) {
    const int decimals = digits - point;
    const double limit = ExactPowers[static_cast<std::size_t>(digits)];
    if (decimals >= 0 && decimals < static_cast<int>(ExactPowers.size())) {
        const double scale = ExactPowers[static_cast<std::size_t>(decimals)];
        const double m = RoundToInteger(a * scale);
        return m <= limit && m / scale == a;
    }
    if (decimals < 0 && -decimals < static_cast<int>(ExactPowers.size())) {
        const double scale = ExactPowers[static_cast<std::size_t>(-decimals)];
        const double m = RoundToInteger(a / scale);
        return m <= limit && m * scale == a;
    }
    return false;
}

// The significant digits of v's shortest form that reads back as v.
int ShortestDigits(double v) {
    char text[40];
    const std::to_chars_result written =
        std::to_chars(text, text + sizeof text, v, std::chars_format::scientific);
    int digits = 0;
    for (const char* c = text; c != written.ptr && *c != 'e'; ++c)
        digits += *c >= '0' && *c <= '9' ? 1 : 0;
    return digits;
}

// A floating number's text is set by its sign, its decimal point and the
// digits of its shortest form, and for one sign and point more digits never
// make it shorter. So each (sign, point) keeps the row with the most digits;
// a row is checked against that count with one rounding, and its digits are
// counted in full only when it has more. Zeros, infinities and NaN stand
// apart.
std::vector<qsizetype> DoubleRows(const ColumnValues& values) {
    struct Group {
        int digits = 0;
        qsizetype row = -1;
    };
    const Powers powers = PowersOfTen();
    std::vector<Group> groups(2 * PowerCount);
    std::array<qsizetype, 5> special; // +0, -0, NaN, +inf, -inf
    special.fill(-1);
    const std::span<const double> stored = values.doubleValues();
    ForEachValue(values, [&](qsizetype row) {
        const double value = stored[static_cast<std::size_t>(row)];
        if (value == 0 || !std::isfinite(value)) {
            const std::size_t which = value == 0          ? (std::signbit(value) ? 1 : 0)
                                      : std::isnan(value) ? 2
                                      : value > 0         ? 3
                                                          : 4;
            if (special[which] < 0)
                special[which] = row;
            return;
        }
        const double a = std::fabs(value);
        const int point = DecimalPoint(a, powers);
        Group& group =
            groups[static_cast<std::size_t>((value < 0 ? PowerCount : 0) + point - LowestPower)];
        if (group.digits == MaxDigits || (group.digits > 0 && AtMostDigits(a, point, group.digits)))
            return;
        const int digits = ShortestDigits(value);
        if (digits > group.digits) {
            group.digits = digits;
            group.row = row;
        }
    });
    std::vector<qsizetype> rows;
    for (const Group& group : groups) {
        if (group.row >= 0)
            rows.push_back(group.row);
    }
    for (const qsizetype row : special) {
        if (row >= 0)
            rows.push_back(row);
    }
    return rows;
}

// Decimals are stored as their text: the longest lengths, one row for each
// count of digits and sign among them.
std::vector<qsizetype> DecimalRows(const ColumnValues& values) {
    std::size_t longest = 0;
    ForEachValue(values,
                 [&](qsizetype row) { longest = std::max(longest, values.textView(row).size()); });
    struct Shape {
        std::size_t length;
        std::size_t digits;
        bool minus;
        qsizetype row;
    };
    std::vector<Shape> shapes;
    ForEachValue(values, [&](qsizetype row) {
        const std::u16string_view text = values.textView(row);
        if (text.size() + 1 < longest)
            return;
        std::size_t digits = 0;
        bool minus = false;
        for (const char16_t c : text) {
            digits += c >= u'0' && c <= u'9' ? 1 : 0;
            minus = minus || c == u'-';
        }
        const bool known = std::any_of(shapes.begin(), shapes.end(), [&](const Shape& s) {
            return s.length == text.size() && s.digits == digits && s.minus == minus;
        });
        if (!known)
            shapes.push_back({text.size(), digits, minus, row});
    });
    std::vector<qsizetype> rows;
    for (const Shape& shape : shapes)
        rows.push_back(shape.row);
    return rows;
}

// The text with every digit as 0: texts of one shape are equally wide when
// the digits are, as they are in the fonts made for figures.
QString Shape(QString text) {
    for (QChar& c : text) {
        if (c >= u'0' && c <= u'9')
            c = u'0';
    }
    return text;
}

// Of the candidates, those whose texts are the longest or one shorter,
// longest first, one row for each shape and at most MaxRows of them.
std::vector<qsizetype> Longest(const ColumnValues& values, const std::vector<qsizetype>& rows) {
    struct Candidate {
        QString shape;
        qsizetype row;
    };
    std::vector<Candidate> candidates;
    candidates.reserve(rows.size());
    for (const qsizetype row : rows)
        candidates.push_back({Shape(GridCellText(values.value(row))), row});
    std::stable_sort(
        candidates.begin(), candidates.end(),
        [](const Candidate& a, const Candidate& b) { return a.shape.size() > b.shape.size(); });
    std::vector<qsizetype> longest;
    std::vector<QString> shapes;
    for (const Candidate& c : candidates) {
        if (longest.size() == MaxRows || c.shape.size() + 1 < candidates.front().shape.size())
            break;
        if (std::find(shapes.begin(), shapes.end(), c.shape) == shapes.end()) {
            shapes.push_back(c.shape);
            longest.push_back(c.row);
        }
    }
    return longest;
}

} // namespace

std::vector<qsizetype> GridWidestRows(const ColumnValues& values) {
    std::vector<qsizetype> candidates;
    switch (values.kind()) {
    case ColumnKind::Integer:
    case ColumnKind::Date:
    case ColumnKind::Time:
    case ColumnKind::DateTime:
        candidates = ExtremeRows(values);
        break;
    case ColumnKind::Double:
        candidates = DoubleRows(values);
        break;
    case ColumnKind::Decimal:
        candidates = DecimalRows(values);
        break;
    case ColumnKind::Text:
    case ColumnKind::Binary:
        return {};
    }
    std::vector<qsizetype> rows;
    if (const qsizetype null = FirstNull(values); null >= 0)
        rows.push_back(null);
    const std::vector<qsizetype> longest = Longest(values, candidates);
    rows.insert(rows.end(), longest.begin(), longest.end());
    return rows;
}

} // namespace brindle
