#include "data/odbc_driver_quirks.h"

#include <gtest/gtest.h>

namespace brindle::odbc {
namespace {

TEST(DriverQuirks, OnlyMariaDbsDriverIsWorkedAround) {
    for (const char* name :
         {"libmaodbc.so", "/usr/lib/x86_64-linux-gnu/odbc/libmaodbc.so", "MAODBC.DLL"}) {
        SCOPED_TRACE(name);
        const DriverQuirks quirks = QuirksOfDriver(QString::fromLatin1(name));
        EXPECT_TRUE(quirks.getDataIgnoresPosition);
        EXPECT_EQ(quirks.shortestStatement, 5);
        EXPECT_TRUE(quirks.wideLengthsShort);
    }
    for (const char* name : {"psqlodbcw.so", "libsqlite3odbc.so", "", "libmyodbc8w.so"}) {
        SCOPED_TRACE(name);
        const DriverQuirks quirks = QuirksOfDriver(QString::fromLatin1(name));
        EXPECT_FALSE(quirks.getDataIgnoresPosition);
        EXPECT_EQ(quirks.shortestStatement, 0);
        EXPECT_FALSE(quirks.wideLengthsShort);
    }
}

TEST(DriverQuirks, ShortMeansFewerCharactersThanTheDriverTakes) {
    DriverQuirks mariadb;
    mariadb.shortestStatement = 5;
    EXPECT_TRUE(TooShortForDriver(mariadb, QString()));
    EXPECT_TRUE(TooShortForDriver(mariadb, QStringLiteral("\r\r")));
    EXPECT_TRUE(TooShortForDriver(mariadb, QStringLiteral("DO 1")));
    EXPECT_TRUE(TooShortForDriver(mariadb, QStringLiteral("GO;\r")));
    // Four characters, one of them two UTF-16 units.
    EXPECT_TRUE(TooShortForDriver(mariadb, QStringLiteral("ab\U0001F600c")));
    EXPECT_FALSE(TooShortForDriver(mariadb, QStringLiteral("ab\U0001F600cd")));
    EXPECT_FALSE(TooShortForDriver(mariadb, QStringLiteral("\r\r\r\r\r")));
    EXPECT_FALSE(TooShortForDriver(mariadb, QStringLiteral("SELECT 1")));
    EXPECT_FALSE(TooShortForDriver(DriverQuirks{}, QString())) << "other drivers get everything";
}

} // namespace
} // namespace brindle::odbc
