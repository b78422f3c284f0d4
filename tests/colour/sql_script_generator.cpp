#include "sql_script_generator.h"

#include "editor/rtf_document.h"

#include <QStringList>

#include <array>
#include <cstdint>
#include <initializer_list>

namespace brindle::test {

using namespace Qt::StringLiterals;

namespace {

// A small fixed generator, so the script is the same on every platform.
class Lcg {
public:
    explicit Lcg(unsigned seed) : m_state(seed * 2654435761u + 1u) {}
    std::uint32_t Next() {
        m_state = m_state * 1664525u + 1013904223u;
        return m_state >> 8;
    }
    template <typename T, std::size_t N> const T& Pick(const std::array<T, N>& items) {
        return items[Next() % N];
    }
    int Below(int n) { return int(Next() % std::uint32_t(n)); }

private:
    std::uint32_t m_state;
};

using Words = std::array<const char16_t*, 8>;

constexpr Words kTables = {u"customers", u"orders",  u"order_lines", u"products",
                           u"regions",   u"invoice", u"staff",       u"売上明細"};
constexpr Words kColumns = {u"customer_id", u"name",      u"status",   u"total",
                            u"order_date",  u"region_id", u"quantity", u"単価"};
constexpr Words kStrings = {u"'closed'", u"'2024-01-01'",      u"'東京都'", u"'P-2001'",
                            u"'it''s'",  u"'--not a comment'", u"'文房具'", u"N'顧客'"};
constexpr Words kComments = {
    u"-- 有効な顧客のみ", u"-- TODO: index on status", u"-- select from where", u"-- 月次集計",
    u"-- null check",     u"-- 2024-06 改訂",          u"-- see ticket 1234",   u"-- 重複を除く"};

class ScriptWriter {
public:
    ScriptWriter(int lines, unsigned seed) : m_rng(seed), m_target(lines) {}

    QString Write() {
        while (m_lines.size() < m_target) {
            switch (m_rng.Below(7)) {
            case 0:
            case 1:
                Select();
                break;
            case 2:
                Insert();
                break;
            case 3:
                Update();
                break;
            case 4:
                Delete();
                break;
            case 5:
                BlockComment();
                break;
            default:
                Line(u"GO"_s);
                Line(QString());
                break;
            }
        }
        m_lines.resize(m_target);
        return m_lines.join(u'\n');
    }

private:
    // The pieces of a braced list are made left to right, so the generator
    // is drawn from in the same order by every compiler.
    static QString Cat(std::initializer_list<QString> pieces) {
        QString joined;
        for (const QString& piece : pieces) {
            joined += piece;
        }
        return joined;
    }
    QString W(const Words& words) { return QString::fromUtf16(m_rng.Pick(words)); }
    QString Column() { return Cat({u"t"_s, QString::number(m_rng.Below(3)), u"."_s, W(kColumns)}); }
    QString Number() { return QString::number(m_rng.Below(100000)); }
    QString Value() {
        switch (m_rng.Below(3)) {
        case 0:
            return W(kStrings);
        case 1:
            return Number();
        default:
            return Column();
        }
    }
    QString Tail() { return m_rng.Below(4) == 0 ? Cat({u" "_s, W(kComments)}) : QString(); }
    void Line(const QString& line) { m_lines.append(line); }

    void Select() {
        Line(Cat({u"SELECT "_s, Column(), u", "_s, Column(), u", SUM("_s, Column(),
                  u") AS total_amount, COUNT(*)"_s, Tail()}));
        Line(Cat({u"FROM "_s, W(kTables), u" t0"_s}));
        for (int j = m_rng.Below(3); j > 0; --j) {
            const QString n = QString::number(j);
            Line(Cat({m_rng.Below(2) ? u"\tINNER JOIN "_s : u"\tLEFT OUTER JOIN "_s, W(kTables),
                      u" t"_s, n, u" ON t"_s, n, u"."_s, W(kColumns), u" = "_s, Column()}));
        }
        Line(Cat({u"WHERE "_s, Column(), u" >= "_s, Value(), u" AND "_s, Column(),
                  u" IS NOT NULL OR "_s, Column(), u" IN ("_s, Value(), u", "_s, Value(), u")"_s,
                  Tail()}));
        if (m_rng.Below(2)) {
            Line(Cat({u"GROUP BY "_s, Column(), u", "_s, Column()}));
            Line(Cat({u"HAVING COUNT(*) > "_s, Number()}));
        }
        Line(Cat({u"ORDER BY "_s, Column(), m_rng.Below(2) ? u" DESC;"_s : u" ASC;"_s}));
    }

    void Insert() {
        Line(Cat({u"INSERT INTO "_s, W(kTables), u" ("_s, W(kColumns), u", "_s, W(kColumns),
                  u", "_s, W(kColumns), u")"_s}));
        Line(Cat({u"VALUES ("_s, Value(), u", "_s, Value(), u", "_s, Value(), u");"_s, Tail()}));
    }

    void Update() {
        Line(Cat({u"UPDATE "_s, W(kTables)}));
        Line(Cat(
            {u"\tSET "_s, W(kColumns), u" = "_s, Value(), u", updated_at = CURRENT_TIMESTAMP"_s}));
        Line(Cat({u"WHERE "_s, Column(), u" = "_s, Value(), u" AND NOT EXISTS (SELECT 1 FROM "_s,
                  W(kTables), u" x WHERE x.id = t0.id);"_s, Tail()}));
    }

    void Delete() {
        Line(Cat({u"DELETE FROM "_s, W(kTables), u" WHERE "_s, Column(), u" < "_s, Value(),
                  u" AND "_s, Column(), u" LIKE '%"_s, Number(), u"%';"_s}));
    }

    void BlockComment() {
        Line(Cat({u"/* 月次集計: "_s, W(kTables), u" の "_s, W(kColumns), u" を集計する"_s}));
        Line(u"   select and from inside a comment stay green */"_s);
    }

    Lcg m_rng;
    qsizetype m_target;
    QStringList m_lines;
};

} // namespace

QString GenerateSqlScript(int lines, unsigned seed) {
    return ScriptWriter(lines, seed).Write();
}

QString GenerateSqlRtf(int lines, unsigned seed) {
    return rtf::WriteRtf(GenerateSqlScript(lines, seed), u"Noto Sans Mono CJK JP"_s, 10.5);
}

} // namespace brindle::test
