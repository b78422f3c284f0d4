#include "test_backends.h"

#include "data/connection_string.h"

#include <optional>
#include <utility>
#include <vector>

namespace brindle::test {
namespace {

using Pairs = ConnectionStringPairs;

struct ValueCase {
    const char16_t* value;
    const char16_t* written;
};

TEST(ConnectionString, PlainValuesStayByteForByte) {
    const ValueCase cases[] = {
        {u"", u""},
        {u"BrindleTestPG", u"BrindleTestPG"},
        {u"brindle-test", u"brindle-test"},
        {u"日本語のＤＳＮ", u"日本語のＤＳＮ"},
        {u"a=b", u"a=b"},
        {u"two words", u"two words"},
        {u"trailing ", u"trailing "},
        {u"'quoted\"", u"'quoted\""},
        {u"back\\slash", u"back\\slash"},
        {u"=leading", u"=leading"},
    };
    for (const ValueCase& c : cases) {
        const QString value = QString::fromUtf16(c.value);
        SCOPED_TRACE(value.toStdString());
        EXPECT_EQ(ConnectionStringValue(value), QString::fromUtf16(c.written));
    }
}

TEST(ConnectionString, ValuesTheParserWouldMisreadGoInBraces) {
    const ValueCase cases[] = {
        {u"a;b", u"{a;b}"},
        {u";", u"{;}"},
        {u"x;UID=sa", u"{x;UID=sa}"},
        {u"a}b", u"{a}}b}"},
        {u"}}", u"{}}}}}"},
        {u"{x}", u"{{x}}}"},
        {u"{", u"{{}"},
        {u" lead", u"{ lead}"},
        {u"\tlead", u"{\tlead}"},
        {u" ", u"{ }"},
        {u"パス;ワード}", u"{パス;ワード}}}"},
    };
    for (const ValueCase& c : cases) {
        const QString value = QString::fromUtf16(c.value);
        SCOPED_TRACE(value.toStdString());
        EXPECT_EQ(ConnectionStringValue(value), QString::fromUtf16(c.written));
    }
}

TEST(ConnectionString, KeysInOrderWithASemicolonAfterEveryValue) {
    EXPECT_EQ(BuildConnectionString(QStringLiteral("BrindleTestPG"), QStringLiteral("brindle"),
                                    QStringLiteral("brindle-test")),
              QStringLiteral("DSN=BrindleTestPG;UID=brindle;PWD=brindle-test;"));
    EXPECT_EQ(BuildConnectionString({}, {}, {}), QStringLiteral("DSN=;UID=;PWD=;"))
        << "an empty field still gives its key";
    EXPECT_EQ(
        BuildConnectionString(QStringLiteral("src"), QStringLiteral("sa"), QStringLiteral("p;w}d")),
        QStringLiteral("DSN=src;UID=sa;PWD={p;w}}d};"));
}

TEST(ConnectionString, NoValueCanAddOrChangeAKey) {
    const QString tricky[] = {
        {},
        QStringLiteral("plain"),
        QStringLiteral("x;UID=sa;PWD=;DRIVER=evil"),
        QStringLiteral("}{;}}{{"),
        QStringLiteral("{PWD=x}"),
        QStringLiteral(" ; "),
        QStringLiteral("end}"),
        QStringLiteral("a=b;c"),
    };
    for (const QString& dsn : tricky) {
        for (const QString& pwd : tricky) {
            SCOPED_TRACE(dsn.toStdString() + " / " + pwd.toStdString());
            const QString text = BuildConnectionString(dsn, QStringLiteral("u;}"), pwd);
            const std::optional<Pairs> read = ParseConnectionString(text);
            ASSERT_TRUE(read.has_value()) << text.toStdString();
            const Pairs expected{{QStringLiteral("DSN"), dsn},
                                 {QStringLiteral("UID"), QStringLiteral("u;}")},
                                 {QStringLiteral("PWD"), pwd}};
            EXPECT_EQ(*read, expected) << text.toStdString();
        }
    }
}

TEST(ConnectionString, OneKeyIsReadBackWhateverItsValueHolds) {
    const QString text = BuildConnectionString(QStringLiteral("sample"),
                                               QStringLiteral("{担当};x=1"), QStringLiteral("p}w"));
    EXPECT_EQ(ConnectionStringKey(text, QStringLiteral("uid")), QStringLiteral("{担当};x=1"));
    EXPECT_EQ(ConnectionStringKey(text, QStringLiteral("DSN")), QStringLiteral("sample"));
    EXPECT_EQ(ConnectionStringKey(text, QStringLiteral("x")), QString()) << "not a key of its own";
    EXPECT_EQ(ConnectionStringKey(QStringLiteral("DSN={open"), QStringLiteral("DSN")), QString())
        << "an unreadable string gives nothing";
}

// Changes the test role's password for one test and puts it back, through a
// session of its own that stays open meanwhile. Other logins are refused
// while it is changed, so ctest runs this suite on its own (RUN_SERIAL).
class TemporaryRolePassword {
public:
    TemporaryRolePassword(Connection& session, QString original)
        : m_session(session), m_original(std::move(original)) {}
    ~TemporaryRolePassword() { Set(m_original); }
    TemporaryRolePassword(const TemporaryRolePassword&) = delete;
    TemporaryRolePassword& operator=(const TemporaryRolePassword&) = delete;

    Thrown Set(const QString& password) {
        QString literal = password;
        literal.replace(u'\'', QStringLiteral("''"));
        Command command;
        command.setActiveConnection(&m_session);
        command.setCommandText(u"ALTER ROLE CURRENT_USER PASSWORD '" + literal + u'\'');
        Recordset none;
        return ErrorOf([&] { none.Open(command); });
    }

private:
    Connection& m_session;
    QString m_original;
};

// Sets each awkward password and logs in with it, braced as the dialog
// writes it; written verbatim the same value is cut at its ";" or misread.
void LogInWithEach(const QString& dsn, const QString& uid, TemporaryRolePassword& role) {
    const QString passwords[] = {
        QStringLiteral("a;b}c{d"),
        QStringLiteral("x;UID=postgres"),
        QStringLiteral("}}"),
        QStringLiteral("{braced}"),
        QStringLiteral(" leading blank"),
        QStringLiteral("パス;ワード}"),
    };
    for (const QString& password : passwords) {
        SCOPED_TRACE(password.toStdString());
        const Thrown changed = role.Set(password);
        ASSERT_EQ(changed.number, 0) << changed.description.toStdString();

        Connection login;
        login.setConnectionString(BuildConnectionString(dsn, uid, password));
        const Thrown thrown = ErrorOf([&] { login.Open(); });
        EXPECT_EQ(thrown.number, 0) << thrown.description.toStdString();
        EXPECT_EQ(login.DbmsName(), QStringLiteral("PostgreSQL"));

        Connection verbatim;
        verbatim.setConnectionString(u"DSN=" + dsn + u";UID=" + uid + u";PWD=" + password + u';');
        if (password.contains(u';') || password.startsWith(u'{')) {
            EXPECT_NE(ErrorOf([&] { verbatim.Open(); }).number, 0);
        }
    }
}

TEST(PostgresRolePassword, BracedPasswordsLogInThroughTheDriver) {
    if (!qEnvironmentVariableIsSet("BRINDLE_TEST_SERIAL"))
        GTEST_SKIP() << "runs on its own: BRINDLE_TEST_SERIAL=1 (ctest does this)";
    const QString dsn = qEnvironmentVariable("BRINDLE_TEST_PG_DSN");
    if (dsn.isEmpty()) {
        if (RunningInCi())
            FAIL() << "BRINDLE_TEST_PG_DSN is not set";
        GTEST_SKIP() << "BRINDLE_TEST_PG_DSN is not set (scripts/test starts a server)";
    }
    const QString uid = qEnvironmentVariable("BRINDLE_TEST_PG_UID");
    const QString original = qEnvironmentVariable("BRINDLE_TEST_PG_PWD");
    Connection session;
    session.setConnectionString(BuildConnectionString(dsn, uid, original));
    const Thrown opened = ErrorOf([&] { session.Open(); });
    ASSERT_EQ(opened.number, 0) << opened.description.toStdString();
    {
        TemporaryRolePassword role(session, original);
        LogInWithEach(dsn, uid, role);
    }
    Connection restored;
    restored.setConnectionString(BuildConnectionString(dsn, uid, original));
    EXPECT_EQ(ErrorOf([&] { restored.Open(); }).number, 0) << "the password is back";
}

} // namespace
} // namespace brindle::test
