#include "test_backends.h"

#include <QDir>
#include <QStringList>

#include <clocale>

namespace brindle::test {

QString Backend::hexBytes(const QString& hex) const {
    if (kind == BackendKind::PostgreSQL)
        return u"decode('" + hex + u"', 'hex')";
    return u"x'" + hex + u'\'';
}

QString Backend::quoted(const QString& identifier) const {
    const QChar quote = kind == BackendKind::MariaDB ? u'`' : u'"';
    return quote + QString(identifier).replace(quote, QString(2, quote)) + quote;
}

QString Backend::concat(const QString& left, const QString& right) const {
    // MariaDB reads || as OR unless told otherwise.
    if (kind == BackendKind::MariaDB)
        return u"concat(" + left + u", " + right + u')';
    return left + u" || " + right;
}

QString Backend::sleep(double seconds) const {
    switch (kind) {
    case BackendKind::PostgreSQL:
        return u"pg_sleep(" + QString::number(seconds) + u')';
    case BackendKind::MariaDB:
        return u"sleep(" + QString::number(seconds) + u')';
    case BackendKind::SQLite:
        break;
    }
    return {};
}

QString Backend::series(int count) const {
    if (kind == BackendKind::PostgreSQL)
        return u"generate_series(1, " + QString::number(count) + u") AS s(x)";
    return u"(WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < " +
           QString::number(count) + u") SELECT x FROM c) AS s";
}

QString Backend::sleepingRow(double seconds) const {
    // MariaDB would fold a derived table without LIMIT into the outer query,
    // and sleep once a row or not at all.
    if (kind == BackendKind::MariaDB)
        return u"(SELECT " + sleep(seconds) + u" AS z LIMIT 1) AS w";
    return sleep(seconds) + u" AS w";
}

const Backend& BackendOf(BackendKind kind) {
    static const Backend sqlite{BackendKind::SQLite,
                                "SQLite",
                                "SQLite",
                                QStringLiteral("varchar(10)"),
                                QStringLiteral("text"),
                                QStringLiteral("blob"),
                                QStringLiteral("timestamp"),
                                true,
                                false,
                                false,
                                BlankBatch::NoRows,
                                QString(),
                                QString(),
                                QString()};
    static const Backend postgres{BackendKind::PostgreSQL,
                                  "PostgreSQL",
                                  "PostgreSQL",
                                  QStringLiteral("varchar"),
                                  QStringLiteral("text"),
                                  QStringLiteral("bytea"),
                                  QStringLiteral("timestamp"),
                                  true,
                                  true,
                                  true,
                                  BlankBatch::Nothing,
                                  QStringLiteral("42P01"),
                                  QStringLiteral("password authentication failed"),
                                  QStringLiteral("cancel")};
    // utf8mb4 on the server and the connection, so four-byte characters fit;
    // a timestamp column would stop at 1970 and drop the milliseconds. Several
    // statements a batch are allowed in the data source (Option); the
    // server's catalog lists no temporary tables; the driver refuses blank
    // text.
    static const Backend mariadb{BackendKind::MariaDB,
                                 "MariaDB",
                                 "MariaDB",
                                 QStringLiteral("longtext"),
                                 QStringLiteral("longtext"),
                                 QStringLiteral("longblob"),
                                 QStringLiteral("datetime(3)"),
                                 true,
                                 true,
                                 false,
                                 BlankBatch::Fails,
                                 QStringLiteral("42S02"),
                                 QStringLiteral("Access denied"),
                                 QStringLiteral("interrupted")};
    switch (kind) {
    case BackendKind::SQLite:
        return sqlite;
    case BackendKind::PostgreSQL:
        return postgres;
    case BackendKind::MariaDB:
        break;
    }
    return mariadb;
}

namespace {

// A data source that scripts/test registers, with its login from the
// environment (BRINDLE_TEST_<prefix>_DSN, _UID, _PWD).
QString ServerConnectionString(const char* prefix, QString& reason) {
    const QString variable = u"BRINDLE_TEST_" + QLatin1String(prefix) + u"_DSN";
    const QString dsn = qEnvironmentVariable(variable.toLatin1().constData());
    if (dsn.isEmpty()) {
        reason = variable + u" is not set (scripts/test starts a server)";
        return {};
    }
    const auto login = [&](const char* part) {
        const QString name = u"BRINDLE_TEST_" + QLatin1String(prefix) + u'_' + QLatin1String(part);
        return qEnvironmentVariable(name.toLatin1().constData());
    };
    return u"DSN=" + dsn + u";UID=" + login("UID") + u";PWD=" + login("PWD") + u';';
}

} // namespace

QString ConnectionStringFor(BackendKind kind, const QString& scratchDir, QString& reason) {
    switch (kind) {
    case BackendKind::SQLite:
        // A database of its own for every test: the suite runs in parallel.
        return u"Driver=SQLite3;Database=" + QDir(scratchDir).filePath(QStringLiteral("test.db")) +
               u';';
    case BackendKind::PostgreSQL:
        return ServerConnectionString("PG", reason);
    case BackendKind::MariaDB:
        break;
    }
    return ServerConnectionString("MARIA", reason);
}

bool RunningInCi() {
    return qEnvironmentVariable("CI") == u"true";
}

QString OpenConnectionTo(Connection& connection, BackendKind kind, const QString& scratchDir) {
    // The driver manager hands drivers without W entry points text in the
    // locale's character set.
    EXPECT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
    QString reason;
    const QString connectionString = ConnectionStringFor(kind, scratchDir, reason);
    if (connectionString.isNull()) {
        if (RunningInCi())
            ADD_FAILURE() << BackendOf(kind).name << ": " << reason.toStdString();
        else
            [&] {
                GTEST_SKIP() << BackendOf(kind).name << ": " << reason.toStdString();
            }();
        return {};
    }
    connection.setProvider(QStringLiteral("MSDASQL"));
    connection.setConnectionString(connectionString);
    const Thrown opened = ErrorOf([&] { connection.Open(); });
    if (opened.number != 0) {
        ADD_FAILURE() << opened.description.toStdString();
        return {};
    }
    return connectionString;
}

Thrown ErrorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const Error& e) {
        return {e.number(), e.description()};
    }
    return {};
}

QString JapaneseText(const Backend& backend) {
    QString text = QStringLiteral("日本語のテキスト「ｶﾀｶﾅ」～①髙﨑");
    if (backend.beyondBmp)
        text += QStringLiteral("\U00020BB7野家\U0001F600");
    return text;
}

QString LongText(const Backend& backend, qsizetype units) {
    const QString piece = JapaneseText(backend) + u" abc 123 ";
    QString text;
    text.reserve(units + piece.size());
    while (text.size() < units)
        text += piece;
    return text;
}

void DatabaseTest::SetUp() {
    // The driver manager hands drivers without W entry points (SQLite3) text
    // in the locale's character set. The program's QApplication takes the
    // locale from the environment; a bare test binary stays in "C" (ASCII),
    // so UTF-8 is set here, before any connection is made.
    ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
    ASSERT_TRUE(scratch.isValid());
    QString reason;
    connectionString = ConnectionStringFor(GetParam(), scratch.path(), reason);
    if (connectionString.isNull()) {
        if (RunningInCi())
            FAIL() << backend().name << " is not configured: " << reason.toStdString();
        GTEST_SKIP() << backend().name << " is not configured: " << reason.toStdString();
    }
    connection.setProvider(QStringLiteral("MSDASQL"));
    connection.setConnectionString(connectionString);
    const Thrown opened = ErrorOf([&] { connection.Open(); });
    ASSERT_EQ(opened.number, 0) << opened.description.toStdString();
    command.setActiveConnection(&connection);
}

void DatabaseTest::Query(const QString& sql) {
    if (rs.State() != 0)
        rs.Close();
    command.setCommandText(sql);
    rs.Open(command);
}

void DatabaseTest::Exec(const QString& sql) {
    Recordset none;
    command.setCommandText(sql);
    const Thrown thrown = ErrorOf([&] { none.Open(command); });
    ASSERT_EQ(thrown.number, 0) << sql.toStdString() << ": " << thrown.description.toStdString();
    ASSERT_EQ(none.State(), 0) << sql.toStdString();
}

std::string BackendName(const ::testing::TestParamInfo<BackendKind>& info) {
    return BackendOf(info.param).name;
}

} // namespace brindle::test
