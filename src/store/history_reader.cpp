#include "store/history_rows.h"
#include "store/history_search.h"
#include "store/local_store.h"
#include "store/query_history.h"

#include <algorithm>
#include <iterator>

namespace brindle::store {

namespace {

// A short search first reads this many of the newest entries whole: a
// frequent one fills its page there. Beyond them it goes through the index,
// when the trigrams that start with it are at most kMaxTerms.
constexpr qint64 kScanWindow = 4'000;
constexpr int kMaxTerms = 64;
// A search narrowed to fewer entries than this (of a data source, or
// failures) reads them all rather than walk the index's many candidates
// for the few that are theirs.
constexpr qint64 kNarrowToRead = 5'000;

// One SELECT of entries, newest first: the WHERE built from what is given.
struct Selection {
    QString indexQuery; // narrowed by the trigram index; empty: not
    QString dsn;
    bool failuresOnly = false;
    qint64 fromId = 0;    // only ids >= this, when not 0
    qint64 belowId = 0;   // only ids < this, when not 0
    QString search;       // checked on every text; empty: not
    bool withNul = false; // only the texts that hold a NUL
    qint64 limit = -1;
};

} // namespace

class HistoryReader::Database {
public:
    explicit Database(const StorePaths& paths) : db(OpenExistingStore(paths, true)) {
        // A short search may read every text: from the mapped file rather
        // than copied page by page.
        SqliteStatement map(db, "PRAGMA mmap_size = 268435456", kCannotOpen);
        map.Run();
        RegisterHistoryMatch(db);
        db.Exec("CREATE VIRTUAL TABLE IF NOT EXISTS temp.history_terms"
                " USING fts5vocab(main, history_search, row)",
                kCannotOpen);
    }

    void Select(const Selection& s, bool withText, std::vector<HistoryEntry>& out) const;
    // Select through the trigram index, with the texts it holds only in part.
    void SelectIndexed(Selection s, bool withText, std::vector<HistoryEntry>& out) const;
    // The trigrams of the index that start with `prefix`, at most `limit`.
    QStringList TermsStartingWith(const QString& prefix, int limit) const;
    qint64 Number(const char* sql) const;
    // How many entries the data source and failures narrow to, counted up
    // to `cap`.
    qint64 NarrowedCount(const Selection& s, qint64 cap) const;

    SqliteConnection db;
};

void HistoryReader::Database::Select(const Selection& s, bool withText,
                                     std::vector<HistoryEntry>& out) const {
    const bool indexed = !s.indexQuery.isEmpty();
    // Through the index in its rowid order, or through the table (or the
    // index of the data source or outcome) backwards: either way it stops
    // at the limit. history_match comes last, on what passes the rest.
    QByteArray sql = QByteArray("SELECT ") + kHistoryColumns + (withText ? ", h.text" : "");
    const char* id = indexed ? "history_search.rowid" : "h.id";
    if (indexed)
        sql += " FROM history_search CROSS JOIN history AS h ON h.id = history_search.rowid"
               " WHERE history_search MATCH ?1";
    else
        sql += " FROM history AS h WHERE 1";
    if (!s.dsn.isEmpty())
        sql += " AND h.dsn = ?2";
    if (s.failuresOnly)
        sql += " AND h.outcome = 'failed'";
    if (s.withNul)
        sql += " AND instr(h.text, char(0)) > 0";
    if (s.fromId > 0)
        sql += QByteArray(" AND ") + id + " >= ?3";
    if (s.belowId > 0)
        sql += QByteArray(" AND ") + id + " < ?4";
    if (!s.search.isEmpty())
        sql += " AND history_match(h.text, ?5)";
    sql += QByteArray(" ORDER BY ") + id + " DESC LIMIT ?6";

    SqliteStatement query(db, sql.constData(), kCannotRead);
    if (indexed)
        query.Bind(1, s.indexQuery);
    if (!s.dsn.isEmpty())
        query.Bind(2, s.dsn);
    if (s.fromId > 0)
        query.Bind(3, s.fromId);
    if (s.belowId > 0)
        query.Bind(4, s.belowId);
    if (!s.search.isEmpty())
        query.BindBlob(5, HistoryMatchArgument(s.search));
    query.Bind(6, s.limit);
    while (query.Step())
        out.push_back(ReadHistoryEntry(query, withText));
}

void HistoryReader::Database::SelectIndexed(Selection s, bool withText,
                                            std::vector<HistoryEntry>& out) const {
    std::vector<HistoryEntry> found;
    Select(s, withText, found);
    // The index holds a text up to its first NUL: the texts that hold one
    // are read whole besides, those that could still be on the page.
    s.indexQuery.clear();
    s.withNul = true;
    if (s.limit >= 0 && found.size() >= static_cast<std::size_t>(s.limit))
        s.fromId = std::max(s.fromId, found.back().id);
    std::vector<HistoryEntry> whole;
    Select(s, withText, whole);
    for (HistoryEntry& entry : whole) {
        if (std::none_of(found.begin(), found.end(),
                         [&](const HistoryEntry& e) { return e.id == entry.id; }))
            found.push_back(std::move(entry));
    }
    std::sort(found.begin(), found.end(),
              [](const HistoryEntry& a, const HistoryEntry& b) { return a.id > b.id; });
    if (s.limit >= 0 && found.size() > static_cast<std::size_t>(s.limit))
        found.resize(static_cast<std::size_t>(s.limit));
    std::move(found.begin(), found.end(), std::back_inserter(out));
}

QStringList HistoryReader::Database::TermsStartingWith(const QString& prefix, int limit) const {
    // Trigrams sort by their UTF-8 bytes; the last that starts with the
    // prefix has U+10FFFF after it.
    QString last = prefix;
    for (qsizetype i = prefix.size(); i < 3; ++i)
        last += QString::fromUcs4(U"\U0010FFFF", 1);
    SqliteStatement query(db,
                          "SELECT term FROM temp.history_terms WHERE term >= ? AND term <= ?"
                          " LIMIT ?",
                          kCannotRead);
    query.Bind(1, prefix).Bind(2, last).Bind(3, qint64{limit});
    QStringList terms;
    while (query.Step())
        terms.push_back(query.Text(0));
    return terms;
}

qint64 HistoryReader::Database::Number(const char* sql) const {
    SqliteStatement query(db, sql, kCannotRead);
    return query.Step() ? query.Int(0) : 0;
}

qint64 HistoryReader::Database::NarrowedCount(const Selection& s, qint64 cap) const {
    QByteArray sql = "SELECT count(*) FROM (SELECT 1 FROM history AS h WHERE 1";
    if (!s.dsn.isEmpty())
        sql += " AND h.dsn = ?1";
    if (s.failuresOnly)
        sql += " AND h.outcome = 'failed'";
    sql += " LIMIT ?2)";
    SqliteStatement query(db, sql.constData(), kCannotRead);
    if (!s.dsn.isEmpty())
        query.Bind(1, s.dsn);
    query.Bind(2, cap);
    return query.Step() ? query.Int(0) : 0;
}

HistoryReader::HistoryReader(const StorePaths& paths) : m_db(std::make_unique<Database>(paths)) {}

HistoryReader::~HistoryReader() = default;

std::vector<HistoryEntry> HistoryReader::List(const HistoryFilter& filter, int limit,
                                              qint64 beforeId, bool withText) {
    std::vector<HistoryEntry> entries;
    if (limit == 0)
        return entries;
    Selection s;
    s.dsn = filter.dsn;
    s.failuresOnly = filter.failuresOnly;
    s.belowId = beforeId;
    s.search = filter.search;
    s.limit = limit;
    // Without a search, or narrowed to a few entries: those read as they
    // come, newest first.
    if (filter.search.isEmpty() || ((!s.dsn.isEmpty() || s.failuresOnly) &&
                                    m_db->NarrowedCount(s, kNarrowToRead) < kNarrowToRead)) {
        m_db->Select(s, withText, entries);
        return entries;
    }
    s.indexQuery = HistoryIndexQuery(filter.search);
    if (!s.indexQuery.isEmpty()) {
        m_db->SelectIndexed(s, withText, entries);
        return entries;
    }

    // Too short for the index to find by itself: the newest entries first.
    const qint64 top = beforeId > 0 ? beforeId : m_db->Number("SELECT max(id) FROM history") + 1;
    s.fromId = std::max<qint64>(top - kScanWindow, 1);
    m_db->Select(s, withText, entries);
    if (s.fromId == 1 || (limit > 0 && entries.size() >= static_cast<std::size_t>(limit)))
        return entries;

    // The older ones through the trigrams that start with the search's
    // longest run the index can find, when they are few; else read whole.
    s.belowId = s.fromId;
    s.fromId = 0;
    if (limit > 0)
        s.limit = limit - static_cast<qint64>(entries.size());
    if (const QString prefix = HistoryIndexPrefix(filter.search); !prefix.isEmpty()) {
        const QStringList terms = m_db->TermsStartingWith(prefix, kMaxTerms + 1);
        // None: only a text the index holds in part (up to a NUL) can.
        s.withNul = terms.isEmpty();
        if (!terms.isEmpty() && terms.size() <= kMaxTerms)
            s.indexQuery = HistoryTermsQuery(terms);
    }
    if (s.indexQuery.isEmpty())
        m_db->Select(s, withText, entries);
    else
        m_db->SelectIndexed(s, withText, entries);
    return entries;
}

std::optional<QString> HistoryReader::Text(qint64 id) {
    SqliteStatement query(m_db->db, "SELECT text FROM history WHERE id = ?", kCannotRead);
    query.Bind(1, id);
    if (!query.Step())
        return std::nullopt;
    return query.Text(0);
}

QStringList HistoryReader::DataSources() {
    // One step of the index per data source, not one per entry.
    SqliteStatement query(m_db->db,
                          "WITH RECURSIVE d(dsn) AS (SELECT min(dsn) FROM history"
                          " UNION ALL SELECT (SELECT min(dsn) FROM history WHERE dsn > d.dsn)"
                          " FROM d WHERE d.dsn IS NOT NULL)"
                          " SELECT dsn FROM d WHERE dsn IS NOT NULL",
                          kCannotRead);
    QStringList names;
    while (query.Step())
        names.push_back(query.Text(0));
    return names;
}

void HistoryReader::Delete(const std::vector<qint64>& ids) {
    SqliteTransaction transaction(m_db->db, true, kCannotWrite);
    SqliteStatement drop(m_db->db, "DELETE FROM history WHERE id = ?", kCannotWrite);
    for (const qint64 id : ids) {
        drop.Bind(1, id).Run();
        drop.Reset();
    }
    transaction.Commit();
}

void HistoryReader::Clear() {
    // The index emptied at once: row by row it would read every text again.
    SqliteTransaction transaction(m_db->db, true, kCannotWrite);
    m_db->db.Exec("INSERT INTO history_search(history_search) VALUES('delete-all')", kCannotWrite);
    m_db->db.Exec("DELETE FROM history", kCannotWrite);
    transaction.Commit();
}

} // namespace brindle::store
