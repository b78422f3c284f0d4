#include "test_backends.h"

#include "data/odbc_data_sources.h"
#include "data/odbc_session.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>

namespace brindle::test {
namespace {

using ConnectionTest = DatabaseTest;

TEST_P(ConnectionTest, DbmsNameWhileOpenOnly) {
    EXPECT_EQ(connection.State(), 1);
    EXPECT_EQ(connection.DbmsName(), QLatin1String(backend().dbmsName));
    EXPECT_EQ(connection.ConnectionString(), connectionString) << "read back unchanged";
    connection.Close();
    EXPECT_EQ(connection.State(), 0);
    EXPECT_TRUE(connection.DbmsName().isEmpty());
    EXPECT_EQ(ErrorOf([&] { connection.Close(); }).number, 3704);
}

// Text is fetched narrow only from a driver without W functions of its own
// (Debian's SQLite3 driver); the PostgreSQL and MariaDB Unicode drivers
// have them.
TEST_P(ConnectionTest, TextWidthFollowsTheDriversOwnFunctions) {
    const odbc::Session session(connectionString);
    EXPECT_EQ(session.wideText(), backend().kind != BackendKind::SQLite);
}

TEST_P(ConnectionTest, CommitTransIsHarmlessWhileOpen) {
    EXPECT_EQ(ErrorOf([&] { connection.CommitTrans(); }).number, 0) << "nothing pending";
    Exec(QStringLiteral("CREATE TEMPORARY TABLE t (n integer)"));
    Exec(QStringLiteral("INSERT INTO t VALUES (1)"));
    EXPECT_EQ(ErrorOf([&] { connection.CommitTrans(); }).number, 0);
    Query(QStringLiteral("SELECT n FROM t"));
    EXPECT_EQ(rs.RecordCount(), 1);
    connection.Close();
    EXPECT_EQ(ErrorOf([&] { connection.CommitTrans(); }).number, 3704);
}

TEST_P(ConnectionTest, ReopensAfterClose) {
    connection.Close();
    EXPECT_EQ(ErrorOf([&] { connection.Open(); }).number, 0);
    EXPECT_EQ(connection.State(), 1);
    EXPECT_EQ(ErrorOf([&] { connection.Open(); }).number, 3705) << "already open";
    Query(QStringLiteral("SELECT 1 AS n"));
    EXPECT_EQ(rs.Value(0).toLongLong(), 1);
}

BRINDLE_ALL_BACKENDS(ConnectionTest);

// The servers: time-outs, passwords and batches of several statements.
class ServerConnection : public DatabaseTest {};

TEST_P(ServerConnection, CommandTimeoutStopsALongQuery) {
    command.setCommandTimeout(1);
    command.setCommandText(u"SELECT " + backend().sleep(30));
    QElapsedTimer timer;
    timer.start();
    const Thrown thrown = ErrorOf([&] { rs.Open(command); });
    EXPECT_NE(thrown.number, 0);
    // Far short of the statement's own 30 s, however busy the machine.
    EXPECT_LT(timer.elapsed(), 20000) << "stopped by the time-out, not by the end of the sleep";
    EXPECT_EQ(rs.State(), 0);

    command.setCommandTimeout(0);
    command.setCommandText(u"SELECT " + backend().sleep(3));
    EXPECT_EQ(ErrorOf([&] { rs.Open(command); }).number, 0) << "0 means no limit";
    EXPECT_EQ(rs.State(), 1);
}

TEST_P(ServerConnection, WrongPasswordIsRefused) {
    Connection other;
    QString wrong = connectionString;
    wrong.replace(QRegularExpression(QStringLiteral(";PWD=[^;]*;")),
                  QStringLiteral(";PWD=not-the-password;"));
    ASSERT_NE(wrong, connectionString);
    other.setConnectionString(wrong);
    const Thrown thrown = ErrorOf([&] { other.Open(); });
    EXPECT_NE(thrown.number, 0);
    EXPECT_TRUE(thrown.description.contains(backend().wrongPasswordText))
        << thrown.description.toStdString();
    EXPECT_EQ(other.State(), 0);
    EXPECT_TRUE(other.DbmsName().isEmpty());
}

TEST_P(ServerConnection, FirstResultWithColumnsWins) {
    ASSERT_TRUE(backend().severalStatements);
    Query(QStringLiteral("CREATE TEMPORARY TABLE t (n integer); INSERT INTO t VALUES (4); "
                         "SELECT n FROM t; SELECT 99"));
    ASSERT_EQ(rs.State(), 1);
    EXPECT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(rs.Value(0).toLongLong(), 4);

    command.setCommandText(QStringLiteral("SELECT 1; SELECT * FROM brindle_no_such_table"));
    rs.Close();
    EXPECT_NE(ErrorOf([&] { rs.Open(command); }).number, 0) << "a later failure is not lost";
    EXPECT_EQ(rs.State(), 0);
}

BRINDLE_SERVER_BACKENDS(ServerConnection);

// The driver manager's side: unknown names and the list of data sources.
TEST(DataSources, MissingNameFailsWithTheDriverManagersDescription) {
    Connection connection;
    connection.setConnectionString(QStringLiteral("DSN=BrindleNoSuchSource;UID=;PWD=;"));
    const Thrown thrown = ErrorOf([&] { connection.Open(); });
    EXPECT_NE(thrown.number, 0);
    EXPECT_TRUE(thrown.description.startsWith(QStringLiteral("[IM002] ")))
        << thrown.description.toStdString();
    EXPECT_TRUE(thrown.description.contains(QStringLiteral("Data source name not found")));
    EXPECT_EQ(connection.State(), 0);
}

// Points the driver manager at a private odbc.ini for one test.
class PrivateOdbcIni {
public:
    explicit PrivateOdbcIni(const QString& path)
        : m_had(qEnvironmentVariableIsSet("ODBCINI")), m_old(qgetenv("ODBCINI")) {
        qputenv("ODBCINI", QFile::encodeName(path));
    }
    ~PrivateOdbcIni() {
        if (m_had)
            qputenv("ODBCINI", m_old);
        else
            qunsetenv("ODBCINI");
    }
    PrivateOdbcIni(const PrivateOdbcIni&) = delete;
    PrivateOdbcIni& operator=(const PrivateOdbcIni&) = delete;

private:
    bool m_had;
    QByteArray m_old;
};

TEST(DataSources, ListsTheTestDataSources) {
    // The data sources scripts/test registers, when it runs the suite.
    if (qEnvironmentVariableIsSet("BRINDLE_TEST_SQLITE_DSN")) {
        const QStringList names = DataSourceNames();
        EXPECT_TRUE(names.contains(qEnvironmentVariable("BRINDLE_TEST_SQLITE_DSN")))
            << names.join(u',').toStdString();
        if (qEnvironmentVariableIsSet("BRINDLE_TEST_PG_DSN")) {
            EXPECT_TRUE(names.contains(qEnvironmentVariable("BRINDLE_TEST_PG_DSN")));
        }
    }

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString ini = dir.filePath(QStringLiteral("odbc.ini"));
    QFile file(ini);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    // Connecting by one of these names is left to the PostgreSQL tests: the
    // SQLite3 driver reads odbc.ini through its own copy of libodbcinst, whose
    // cache LeakSanitizer reports once the driver manager unloads the driver.
    file.write("[BrindleListedFirst]\nDriver = SQLite3\nDatabase = /nonexistent/a.db\n\n"
               "[BrindleListedSecond]\nDriver = SQLite3\nDatabase = /nonexistent/b.db\n");
    file.close();
    const PrivateOdbcIni scope(ini);

    const QStringList names = DataSourceNames();
    const qsizetype first = names.indexOf(QStringLiteral("BrindleListedFirst"));
    const qsizetype second = names.indexOf(QStringLiteral("BrindleListedSecond"));
    ASSERT_GE(first, 0) << names.join(u',').toStdString();
    EXPECT_GT(second, first) << "in the order of odbc.ini";
    EXPECT_FALSE(names.contains(QString())) << "no blank names";
}

} // namespace
} // namespace brindle::test
