#pragma once

#include "arrange/arrange_table.h"

#include <QString>

#include <random>

namespace brindle::test {

// Queries and tables built to reach the corners of the arrangement: keywords
// that are prefixes of each other, hold blanks, commas or line breaks, are
// blank or empty; levels 0 to 3, negative and at the overflow limits; kinds
// 0, 1, 2 and -1; queries of words, blanks, tabs, CR LF, lone LF and CR runs.
class RandomCases {
public:
    explicit RandomCases(unsigned seed) : m_rng(seed) {}

    QString Query();
    ArrangeTable Table();
    // Only what a keyword file can hold: no double quote, no CR LF, and
    // characters of code page 932.
    bool fileSafe = false;

private:
    int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }
    QString Keyword();
    qint16 Level();
    qint16 Kind();

    std::mt19937 m_rng;
};

} // namespace brindle::test
