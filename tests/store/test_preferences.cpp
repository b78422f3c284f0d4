#include "store_test_support.h"

#include "core/error.h"
#include "store/preferences.h"
#include "store/query_journal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace brindle;
using namespace brindle::test;

TEST(StoredPreferences, AChoiceIsKeptAndReadBackBesideTheJournal) {
    TempStore temp;
    store::StoredPreferences preferences(temp.paths());
    const QString name = QStringLiteral("editor.line_numbers");
    EXPECT_EQ(preferences.Read(name), std::nullopt) << "no store yet";
    EXPECT_FALSE(QFile::exists(temp.paths().Database())) << "reading makes nothing";

    preferences.Write(name, QStringLiteral("0"));
    EXPECT_EQ(preferences.Read(name), QStringLiteral("0"));
    preferences.Write(name, QStringLiteral("1"));
    EXPECT_EQ(store::StoredPreferences(temp.paths()).Read(name), QStringLiteral("1"));
    EXPECT_EQ(QueryNumber(temp.paths(), "SELECT count(*) FROM preferences"), 1);

    // The journal works on the same store, and its documents are untouched.
    {
        store::QueryJournal journal(temp.paths(), nullptr);
        journal.Open(QStringLiteral("無題1"), QStringLiteral("select 1"));
        journal.EndSession();
    }
    EXPECT_EQ(KeptText(temp.paths(), QStringLiteral("無題1")), QStringLiteral("select 1"));
    EXPECT_EQ(preferences.Read(name), QStringLiteral("1"));
}

TEST(StoredPreferences, AStoreThatCannotBeUsedReadsAsNoChoiceAndRefusesAWrite) {
    TempStore temp;
    // A directory where the database should be.
    ASSERT_TRUE(QDir().mkpath(temp.paths().Database()));
    store::StoredPreferences preferences(temp.paths());
    EXPECT_EQ(preferences.Read(QStringLiteral("editor.line_numbers")), std::nullopt);
    EXPECT_THROW(preferences.Write(QStringLiteral("editor.line_numbers"), QStringLiteral("0")),
                 Error);
    EXPECT_TRUE(QFileInfo(temp.paths().Database()).isDir()) << "left to the journal to move";
}
