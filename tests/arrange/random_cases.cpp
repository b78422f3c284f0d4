#include "random_cases.h"

#include <QStringList>

namespace brindle::test {

namespace {

using namespace Qt::Literals::StringLiterals;

const QStringList kQueryPieces = {
    u"select"_s, u"SELECT"_s,   u"Select"_s,    u"from"_s,     u"and"_s,  u"AND"_s,
    u"or"_s,     u"order by"_s, u"group  by"_s, u"a"_s,        u"b"_s,    u"x"_s,
    u"an"_s,     u"ab"_s,       u","_s,         u", "_s,       u" ,"_s,   u" "_s,
    u" "_s,      u"  "_s,       u"      "_s,    u"\t"_s,       u"\r\n"_s, u"\r\n"_s,
    u"\n"_s,     u"\r"_s,       u"\r\r"_s,      u"\r\n\r\n"_s, u"("_s,    u")"_s,
    u"'"_s,      u"İ"_s,        u"ｓ"_s,        u"Ｓ"_s,       u"選"_s,   u"\U0001F600"_s};

const QStringList kKeywords = {
    u"select"_s, u"SELECT"_s,   u"from"_s,     u"and"_s,  u"an"_s,    u"a"_s,    u"A"_s,   u"or"_s,
    u"order"_s,  u"order by"_s, u"group by"_s, u"by"_s,   u","_s,     u"("_s,    u"x"_s,   u"xx"_s,
    u"ab"_s,     u"b a"_s,      u" a"_s,       u"a "_s,   u" and "_s, u"and "_s, u"sel"_s, u"s"_s,
    u"ｓ"_s,     u"Ｓ"_s,       u"選"_s,       QString(), u" "_s,     u"  "_s,   u"\r"_s,  u"\r "_s,
    u" \r"_s,    u"\n"_s,       u"a\r"_s,      u"\ra"_s,  u"a\n"_s,   u"\"a"_s,  u"İ"_s};

const QString kKeywordChars = u"ab ,\r\nA("_s;

} // namespace

QString RandomCases::Query() {
    QString query;
    const int pieces = Below(30);
    for (int i = 0; i < pieces; ++i) {
        query += kQueryPieces[Below(int(kQueryPieces.size()))];
    }
    return query;
}

QString RandomCases::Keyword() {
    for (;;) {
        QString keyword;
        if (Below(3) == 0) {
            const int length = 1 + Below(4);
            for (int i = 0; i < length; ++i) {
                keyword += kKeywordChars[Below(int(kKeywordChars.size()))];
            }
        } else {
            keyword = kKeywords[Below(int(kKeywords.size()))];
        }
        if (!fileSafe || (!keyword.contains(u'"') && !keyword.contains(u"\r\n"_s) &&
                          !keyword.contains(u"İ"_s))) {
            return keyword;
        }
    }
}

qint16 RandomCases::Level() {
    static const qint16 kRare[] = {5, -1, -2, 8191, -8191, 8192, -8192, 32767, -32768};
    if (Below(40) == 0) {
        return kRare[Below(int(std::size(kRare)))];
    }
    return qint16(Below(4));
}

qint16 RandomCases::Kind() {
    static const qint16 kKinds[] = {0, 1, 1, 1, 2, -1};
    return kKinds[Below(int(std::size(kKinds)))];
}

ArrangeTable RandomCases::Table() {
    ArrangeTable table;
    const int entries = Below(6);
    for (int i = 0; i < entries; ++i) {
        table.push_back({Keyword(), Level(), Kind()});
    }
    return table;
}

} // namespace brindle::test
