#include "test_backends.h"

#include <QDir>
#include <QStringList>

#include <clocale>

namespace brindle::test {

QString Backend::hexBytes(const QString& hex) const {
    if (kind == BackendKind::SQLite)
        return u"x'" + hex + u'\'';
    return u"decode('" + hex + u"', 'hex')";
}

const Backend& BackendOf(BackendKind kind) {
    static const Backend sqlite{BackendKind::SQLite, "SQLite", "SQLite",
                                QStringLiteral("varchar(10)"), false};
    static const Backend postgres{BackendKind::PostgreSQL, "PostgreSQL", "PostgreSQL",
                                  QStringLiteral("varchar"), true};
    return kind == BackendKind::SQLite ? sqlite : postgres;
}

QString ConnectionStringFor(BackendKind kind, const QString& scratchDir, QString& reason) {
    if (kind == BackendKind::SQLite) {
        // A database of its own for every test: the suite runs in parallel.
        return u"Driver=SQLite3;Database=" + QDir(scratchDir).filePath(QStringLiteral("test.db")) +
               u';';
    }
    const QString dsn = qEnvironmentVariable("BRINDLE_TEST_PG_DSN");
    if (dsn.isEmpty()) {
        reason = QStringLiteral("BRINDLE_TEST_PG_DSN is not set (scripts/test starts a server)");
        return {};
    }
    return u"DSN=" + dsn + u";UID=" + qEnvironmentVariable("BRINDLE_TEST_PG_UID") + u";PWD=" +
           qEnvironmentVariable("BRINDLE_TEST_PG_PWD") + u';';
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
