#include "store/preferences.h"

#include "store/local_store.h"

namespace brindle::store {

std::optional<QString> StoredPreferences::Read(const QString& name) {
    try {
        const SqliteConnection db = OpenExistingStore(m_paths, false);
        SqliteStatement query(db, "SELECT value FROM preferences WHERE name = ?1", kCannotRead);
        query.Bind(1, name);
        if (query.Step())
            return query.Text(0);
    } catch (const Error&) {
        // No store yet, or one the journal has still to bring up to date:
        // the choice is the default.
    }
    return std::nullopt;
}

void StoredPreferences::Write(const QString& name, const QString& value) {
    const OpenedStore store = OpenLocalStore(m_paths, {false, false});
    SqliteStatement write(store.db,
                          "INSERT INTO preferences(name, value) VALUES(?1, ?2) "
                          "ON CONFLICT(name) DO UPDATE SET value = excluded.value",
                          kCannotWrite);
    write.Bind(1, name).Bind(2, value).Run();
}

} // namespace brindle::store
