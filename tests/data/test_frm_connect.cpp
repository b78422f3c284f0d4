#include "data/frm_connect.h"
#include "data/recordset.h"
#include "shell/main_window_fixture.h"
#include "test_backends.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyle>
#include <QTest>

#include <functional>
#include <memory>
#include <optional>
#include <utility>

using namespace brindle;
using brindle::test::RunningInCi;

namespace {

// Sets an environment variable for one test.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name)) {
        qputenv(name, value);
    }
    ~ScopedEnv() {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* m_name;
    bool m_had;
    QByteArray m_old;
};

// A value scripts/test exports; missing is a failure under CI.
QString TestEnv(const char* name) {
    const QString value = qEnvironmentVariable(name);
    if (value.isEmpty() && RunningInCi())
        ADD_FAILURE() << name << " is not set";
    return value;
}

// The data-source names an odbc.ini defines, in file order.
QStringList Sections(const QString& path) {
    QStringList names;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return names;
    static const QRegularExpression header(QStringLiteral("^\\s*\\[([^\\]]+)\\]\\s*$"));
    while (!file.atEnd()) {
        const QRegularExpressionMatch m = header.match(QString::fromUtf8(file.readLine()));
        if (m.hasMatch() && m.captured(1) != u"ODBC Data Sources" && m.captured(1) != u"ODBC")
            names.append(m.captured(1));
    }
    return names;
}

QStringList Items(const QComboBox& box) {
    QStringList items;
    for (int i = 0; i < box.count(); ++i)
        items.append(box.itemText(i));
    return items;
}

struct Login {
    QString dsn, uid, pwd;
};

class ConnectDialog : public test::MainWindowTest {
protected:
    void SetUp() override { MainWindowTest::SetUp(); }

    std::unique_ptr<frmConnect> NewDialog() {
        return std::make_unique<frmConnect>(doubles.messages);
    }
    static void Fill(frmConnect& dialog, const Login& login) {
        dialog.cboDSNList()->setEditText(login.dsn);
        dialog.txtUID()->setText(login.uid);
        dialog.txtPWD()->setText(login.pwd);
    }
    static void Show(frmConnect& dialog) {
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }

    // The error boxes shown, by text.
    QStringList Errors() const {
        QStringList texts;
        for (const MessageBoxRequest& box : doubles.messages.shown) {
            EXPECT_EQ(box.title, QStringLiteral("エラー"));
            texts.append(box.text);
        }
        return texts;
    }

    // What scripts/test registers; empty when it is not running the suite.
    static Login Sqlite() { return {TestEnv("BRINDLE_TEST_SQLITE_DSN"), {}, {}}; }
    static Login Postgres() {
        return {TestEnv("BRINDLE_TEST_PG_DSN"), qEnvironmentVariable("BRINDLE_TEST_PG_UID"),
                qEnvironmentVariable("BRINDLE_TEST_PG_PWD")};
    }
};

const QString NoSuchSource = QStringLiteral("BrindleNoSuchSource");

} // namespace

TEST_F(ConnectDialog, LooksAsDesigned) {
    const auto dialog = NewDialog();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("データ ソース接続"));
    EXPECT_TRUE(dialog->isModal());
    EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize()) << "fixed size";
    EXPECT_EQ(dialog->lblMsg()->text(), QStringLiteral("データソース接続情報"));
    EXPECT_EQ(dialog->imgIcon()->pixmap().size(), QSize(16, 16));
    EXPECT_FALSE(dialog->imgIcon()->pixmap().isNull());
    EXPECT_TRUE(dialog->cboDSNList()->isEditable());
    EXPECT_EQ(dialog->cmdOK()->text(), QStringLiteral("OK"));
    EXPECT_EQ(dialog->cmdCancel()->text(), QStringLiteral("キャンセル"));
    EXPECT_TRUE(dialog->cmdOK()->isDefault());
    EXPECT_FALSE(dialog->cmdCancel()->isDefault());
    const auto* fraDSN = dialog->findChild<QGroupBox*>(QStringLiteral("fraDSN"));
    ASSERT_NE(fraDSN, nullptr);
    EXPECT_TRUE(fraDSN->title().isEmpty());
    EXPECT_NE(dialog->findChild<QWidget*>(QStringLiteral("fraBtn")), nullptr);

    struct Field {
        const char16_t* label;
        const char16_t* text;
        QWidget* buddy;
        const char16_t* buddyName;
    };
    const Field fields[] = {
        {u"lblDSN", u"データソース名(&S)：", dialog->cboDSNList(), u"cboDSNList"},
        {u"lblUID", u"ログイン名(&L)：", dialog->txtUID(), u"txtUID"},
        {u"lblPWD", u"パスワード(&P)：", dialog->txtPWD(), u"txtPWD"},
    };
    for (const Field& f : fields) {
        SCOPED_TRACE(QString::fromUtf16(f.label).toStdString());
        const auto* label = dialog->findChild<QLabel*>(QString::fromUtf16(f.label));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), QString::fromUtf16(f.text));
        EXPECT_EQ(label->buddy(), f.buddy);
        EXPECT_EQ(f.buddy->objectName(), QString::fromUtf16(f.buddyName));
        EXPECT_TRUE(fraDSN->isAncestorOf(f.buddy));
    }
    const std::pair<const char16_t*, QWidget*> named[] = {
        {u"imgIcon", dialog->imgIcon()}, {u"lblMsg", dialog->lblMsg()},
        {u"cmdOK", dialog->cmdOK()},     {u"cmdCancel", dialog->cmdCancel()},
        {u"txtUID", dialog->txtUID()},   {u"txtPWD", dialog->txtPWD()},
    };
    for (const auto& [name, widget] : named)
        EXPECT_EQ(dialog->findChild<QWidget*>(QString::fromUtf16(name)), widget);
}

TEST_F(ConnectDialog, PasswordIsMaskedWithoutAnInputMethod) {
    const auto dialog = NewDialog();
    QLineEdit* pwd = dialog->txtPWD();
    QTest::keyClicks(pwd, QStringLiteral("s3cret"));
    EXPECT_EQ(pwd->text(), QStringLiteral("s3cret"));
    EXPECT_EQ(pwd->echoMode(), QLineEdit::Password);
    EXPECT_EQ(pwd->displayText(), QStringLiteral("******"));
    EXPECT_FALSE(pwd->testAttribute(Qt::WA_InputMethodEnabled));
    EXPECT_TRUE(pwd->inputMethodHints().testFlags(Qt::ImhHiddenText | Qt::ImhSensitiveData));
    EXPECT_TRUE(dialog->txtUID()->testAttribute(Qt::WA_InputMethodEnabled))
        << "the login field keeps its input method";
}

TEST_F(ConnectDialog, TabOrderAndAccessKeys) {
    const auto dialog = NewDialog();
    Show(*dialog);
    EXPECT_EQ(QApplication::focusWidget(), dialog->cboDSNList());
    const QWidget* order[] = {dialog->txtUID(), dialog->txtPWD(), dialog->cmdOK(),
                              dialog->cmdCancel(), dialog->cboDSNList()};
    for (const QWidget* next : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next) << next->objectName().toStdString();
    }
    struct Key {
        Qt::Key key;
        QWidget* target;
    };
    const Key keys[] = {{Qt::Key_P, dialog->txtPWD()},
                        {Qt::Key_L, dialog->txtUID()},
                        {Qt::Key_S, dialog->cboDSNList()}};
    for (const Key& k : keys) {
        QTest::keyClick(QApplication::focusWidget(), k.key, Qt::AltModifier);
        EXPECT_EQ(QApplication::focusWidget(), k.target) << k.target->objectName().toStdString();
    }
}

TEST_F(ConnectDialog, EnterIsOkAndEscIsCancel) {
    Store(u"CONNECT", u"DSN", NoSuchSource);
    const auto dialog = NewDialog();
    Show(*dialog);
    QTest::keyClick(dialog->cboDSNList()->lineEdit(), Qt::Key_Return);
    ASSERT_EQ(Errors().size(), 1) << "Enter pressed OK, which tried to connect";
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(Items(*dialog->cboDSNList()).count(NoSuchSource), 0)
        << "Enter does not add the typed name to the list";
    QTest::keyClick(dialog->txtPWD(), Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(Errors().size(), 1);
}

TEST_F(ConnectDialog, ATypedNameIsNotCompletedIntoALongerListedOne) {
    const auto dialog = NewDialog();
    QComboBox& box = *dialog->cboDSNList();
    box.insertItems(0, {QStringLiteral("BrindlePrefixLonger"), QStringLiteral("BrindlePrefixX")});
    Show(*dialog);
    for (const QString& typed : {QStringLiteral("BrindlePrefix"), QStringLiteral("brindlep")}) {
        SCOPED_TRACE(typed.toStdString());
        box.lineEdit()->clear();
        QTest::keyClicks(box.lineEdit(), typed);
        EXPECT_EQ(box.currentText(), typed);
        EXPECT_FALSE(box.lineEdit()->hasSelectedText());
    }
    QTest::keyClick(box.lineEdit(), Qt::Key_Escape);
    EXPECT_EQ(Stored(u"CONNECT", u"DSN"), QStringLiteral("brindlep")) << "stored as typed";
}

TEST_F(ConnectDialog, ANameThatBeginsALongerListedOneConnectsAsTyped) {
    const Login sqlite = Sqlite();
    if (sqlite.dsn.isEmpty())
        GTEST_SKIP() << "BRINDLE_TEST_SQLITE_DSN is not set (scripts/test sets it)";
    const auto dialog = NewDialog();
    QComboBox& box = *dialog->cboDSNList();
    // Listed first, so a completion would find the longer name.
    box.insertItem(0, sqlite.dsn + u'X');
    Show(*dialog);
    box.lineEdit()->clear();
    QTest::keyClicks(box.lineEdit(), sqlite.dsn);
    QTest::keyClick(box.lineEdit(), Qt::Key_Return);
    EXPECT_TRUE(doubles.messages.shown.empty()) << Errors().join(u'\n').toStdString();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(gcnDB->State(), 1);
    EXPECT_EQ(gcnDB->ConnectionString(), u"DSN=" + sqlite.dsn + u";UID=;PWD=;");
    EXPECT_EQ(gstrDSN, sqlite.dsn);
    EXPECT_EQ(Stored(u"CONNECT", u"DSN"), sqlite.dsn);
}

TEST_F(ConnectDialog, FirstRunShowsEmptyFields) {
    const auto dialog = NewDialog();
    EXPECT_EQ(dialog->cboDSNList()->currentText(), QString());
    EXPECT_EQ(dialog->txtUID()->text(), QString());
    EXPECT_EQ(dialog->txtPWD()->text(), QString());
}

TEST_F(ConnectDialog, ShowsTheRememberedNameEvenWhenNotListed) {
    Store(u"CONNECT", u"DSN", NoSuchSource);
    Store(u"CONNECT", u"UID", QStringLiteral("ユーザー"));
    const auto dialog = NewDialog();
    EXPECT_EQ(dialog->cboDSNList()->currentText(), NoSuchSource);
    EXPECT_FALSE(Items(*dialog->cboDSNList()).contains(NoSuchSource));
    EXPECT_EQ(dialog->txtUID()->text(), QStringLiteral("ユーザー"));
    EXPECT_EQ(dialog->txtPWD()->text(), QString());
}

TEST_F(ConnectDialog, EveryWayOfClosingStoresNameAndLoginButNeverThePassword) {
    enum class Way { Cancel, Esc, CloseBox };
    const std::pair<Way, const char*> ways[] = {
        {Way::Cancel, "Cancel"}, {Way::Esc, "Esc"}, {Way::CloseBox, "close box"}};
    int n = 0;
    for (const auto& [way, name] : ways) {
        SCOPED_TRACE(name);
        const QString dsn = u"Source " + QString::number(++n);
        const QString password = u"pw-" + QString::number(n) + u"-never-stored";
        {
            const auto dialog = NewDialog();
            Show(*dialog);
            Fill(*dialog, {dsn, QStringLiteral("user;1"), password});
            if (way == Way::Cancel)
                dialog->cmdCancel()->click();
            else if (way == Way::Esc)
                QTest::keyClick(dialog->txtUID(), Qt::Key_Escape);
            else
                dialog->close();
            EXPECT_FALSE(dialog->isVisible());
        }
        EXPECT_EQ(Stored(u"CONNECT", u"DSN"), dsn);
        EXPECT_EQ(Stored(u"CONNECT", u"UID"), QStringLiteral("user;1"));
        EXPECT_FALSE(settings.FileText().contains(password));
        EXPECT_FALSE(settings.FileText().contains(u"PWD", Qt::CaseInsensitive));

        const auto again = NewDialog();
        EXPECT_EQ(again->cboDSNList()->currentText(), dsn);
        EXPECT_EQ(again->txtPWD()->text(), QString()) << "empty on every showing";
    }
    EXPECT_TRUE(doubles.messages.shown.empty());
    EXPECT_EQ(gcnDB->State(), 0);
    EXPECT_TRUE(gcnDB->ConnectionString().isEmpty()) << "Cancel leaves the connection alone";
}

TEST_F(ConnectDialog, ListsThePrivateOdbcIniInOrder) {
    const QString ini = TestEnv("ODBCINI");
    if (ini.isEmpty())
        GTEST_SKIP() << "ODBCINI is not set (scripts/test writes a private odbc.ini)";
    // User data sources first, then the system ones.
    const QString systemDir = qEnvironmentVariableIsSet("ODBCSYSINI")
                                  ? qEnvironmentVariable("ODBCSYSINI")
                                  : QStringLiteral("/etc");
    const QStringList expected = Sections(ini) + Sections(systemDir + u"/odbc.ini");
    ASSERT_FALSE(expected.isEmpty());
    const auto dialog = NewDialog();
    EXPECT_EQ(Items(*dialog->cboDSNList()), expected);
}

TEST_F(ConnectDialog, WithoutDataSourcesOnlyTheRememberedName) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString ini = dir.filePath(QStringLiteral("odbc.ini"));
    QFile file(ini);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const ScopedEnv user("ODBCINI", QFile::encodeName(ini));
    const ScopedEnv system("ODBCSYSINI", QFile::encodeName(dir.path()));
    Store(u"CONNECT", u"DSN", QStringLiteral("remembered"));
    const auto dialog = NewDialog();
    EXPECT_EQ(dialog->cboDSNList()->count(), 0);
    EXPECT_EQ(dialog->cboDSNList()->currentText(), QStringLiteral("remembered"));
    EXPECT_TRUE(doubles.messages.shown.empty()) << "enumeration is silent";
}

TEST_F(ConnectDialog, AMissingNameFailsWithTheDriverManagersDescription) {
    Store(u"CONNECT", u"DSN", NoSuchSource);
    gstrDSN = QStringLiteral("earlier");
    const auto dialog = NewDialog();
    Show(*dialog);
    dialog->txtPWD()->setText(QStringLiteral("typed"));
    dialog->cmdOK()->click();
    const QStringList errors = Errors();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(QStringLiteral("Data source name not found")))
        << errors[0].toStdString();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->cboDSNList()->currentText(), NoSuchSource);
    EXPECT_EQ(dialog->txtPWD()->text(), QStringLiteral("typed"));
    EXPECT_EQ(gstrDSN, QStringLiteral("earlier"));
    EXPECT_EQ(gcnDB->State(), 0);
}

TEST_F(ConnectDialog, SqliteThroughItsDataSource) {
    const Login sqlite = Sqlite();
    if (sqlite.dsn.isEmpty())
        GTEST_SKIP() << "BRINDLE_TEST_SQLITE_DSN is not set (scripts/test sets it)";
    struct Case {
        const char* name;
        Login login;
        QString connectionString;
    };
    const Case cases[] = {
        {"plain", sqlite, u"DSN=" + sqlite.dsn + u";UID=;PWD=;"},
        {"values with ; and }",
         {sqlite.dsn, QStringLiteral("a;b"), QStringLiteral("p}w;UID=x")},
         u"DSN=" + sqlite.dsn + u";UID={a;b};PWD={p}}w;UID=x};"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gstrDSN.clear();
        const auto dialog = NewDialog();
        Show(*dialog);
        Fill(*dialog, c.login);
        dialog->cmdOK()->click();
        EXPECT_TRUE(doubles.messages.shown.empty()) << Errors().join(u'\n').toStdString();
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(dialog->result(), QDialog::Accepted);
        EXPECT_EQ(gcnDB->State(), 1);
        EXPECT_EQ(gcnDB->DbmsName(), QStringLiteral("SQLite"));
        EXPECT_EQ(gcnDB->Provider(), QStringLiteral("MSDASQL"));
        EXPECT_EQ(gcnDB->ConnectionString(), c.connectionString);
        EXPECT_EQ(gstrDSN, sqlite.dsn);
        EXPECT_EQ(Stored(u"CONNECT", u"DSN"), sqlite.dsn);
        EXPECT_EQ(Stored(u"CONNECT", u"UID"), c.login.uid);
    }
}

TEST_F(ConnectDialog, PostgresRefusesAWrongPasswordAndTheDialogStays) {
    const Login pg = Postgres();
    if (pg.dsn.isEmpty())
        GTEST_SKIP() << "BRINDLE_TEST_PG_DSN is not set (scripts/test starts a server)";
    // Connected before; the failed attempt closes it.
    gcnDB->setConnectionString(u"DSN=" + pg.dsn + u";UID=" + pg.uid + u";PWD=" + pg.pwd + u';');
    gcnDB->Open();
    gstrDSN = QStringLiteral("earlier");

    const auto dialog = NewDialog();
    Show(*dialog);
    Fill(*dialog, {pg.dsn, pg.uid, QStringLiteral("not-the-password")});
    dialog->cmdOK()->click();
    QStringList errors = Errors();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(QStringLiteral("password authentication failed")))
        << errors[0].toStdString();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->cboDSNList()->currentText(), pg.dsn);
    EXPECT_EQ(dialog->txtUID()->text(), pg.uid);
    EXPECT_EQ(dialog->txtPWD()->text(), QStringLiteral("not-the-password"));
    EXPECT_EQ(gcnDB->State(), 0);
    EXPECT_EQ(gstrDSN, QStringLiteral("earlier"));
    EXPECT_EQ(Stored(u"CONNECT", u"DSN"), QStringLiteral("<missing>")) << "written on unload only";

    // Corrected, OK connects and closes the dialog.
    dialog->txtPWD()->setText(pg.pwd);
    dialog->cmdOK()->click();
    EXPECT_EQ(Errors().size(), 1);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(gcnDB->State(), 1);
    EXPECT_EQ(gcnDB->DbmsName(), QStringLiteral("PostgreSQL"));
    EXPECT_EQ(gstrDSN, pg.dsn);
    EXPECT_EQ(Stored(u"CONNECT", u"UID"), pg.uid);
    EXPECT_FALSE(settings.FileText().contains(pg.pwd));
}

// Reconnecting from the main window (F4).
class Reconnect : public ConnectDialog {
protected:
    void SetUp() override {
        ConnectDialog::SetUp();
        sqlite = Sqlite();
        if (sqlite.dsn.isEmpty())
            GTEST_SKIP() << "BRINDLE_TEST_SQLITE_DSN is not set (scripts/test sets it)";
        Open();
        gcmdDB->setActiveConnection(gcnDB.get());
    }

    // Runs the connect command; the dialog gets the login and OK, or Cancel
    // when there is none.
    void RunConnect(const std::optional<Login>& login,
                    const std::function<void(frmConnect&)>& before = {}) {
        doubles.modal.script = [&](QDialog& shown) {
            auto* dialog = qobject_cast<frmConnect*>(&shown);
            EXPECT_NE(dialog, nullptr);
            if (!dialog)
                return static_cast<int>(QDialog::Rejected);
            if (before)
                before(*dialog);
            if (login) {
                Fill(*dialog, *login);
                dialog->cmdOK()->click();
            }
            if (dialog->result() != QDialog::Accepted)
                dialog->cmdCancel()->click();
            return dialog->result();
        };
        window->RunMenuItem(QStringLiteral("mnuFileConnect"));
    }

    void OpenResult(frmSQL& doc) {
        gcmdDB->setCommandText(QStringLiteral("SELECT 1 AS n"));
        doc.RecordSet().Open(*gcmdDB);
        ASSERT_EQ(doc.RecordSet().State(), 1);
    }

    // Refilling hides the list: no connection in these tests leads to
    // Microsoft SQL Server.
    bool TableListRefilled() const { return window->cboTable()->isHidden(); }

    Login sqlite;
};

TEST_F(Reconnect, ClearsTheStatusAndClosesTheActiveResultSetBeforeTheDialog) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    gcnDB->setConnectionString(u"Driver=SQLite3;Database=" + dir.filePath(QStringLiteral("a.db")) +
                               u';');
    gcnDB->Open();
    window->LoadNewDoc();
    frmSQL* other = window->ActiveForm();
    window->LoadNewDoc();
    frmSQL* active = window->ActiveForm();
    ASSERT_NE(other, active);
    OpenResult(*other);
    OpenResult(*active);
    window->SetPanelText(QStringLiteral("MESSAGE"),
                         QStringLiteral("クエリ バッチが完了しました。"));

    bool checked = false;
    RunConnect(sqlite, [&](frmConnect&) {
        EXPECT_EQ(window->PanelText(QStringLiteral("MESSAGE")), QString());
        EXPECT_EQ(active->RecordSet().State(), 0);
        EXPECT_EQ(other->RecordSet().State(), 1) << "only the active document's";
        checked = true;
    });
    EXPECT_TRUE(checked);
    EXPECT_EQ(doubles.modal.titles, std::vector<QString>{QStringLiteral("データ ソース接続")});
    EXPECT_EQ(window->PanelText(QStringLiteral("DSN")), sqlite.dsn);
    EXPECT_EQ(gcnDB->State(), 1);
    EXPECT_TRUE(TableListRefilled()) << "the connection string changed";
    EXPECT_TRUE(doubles.messages.shown.empty()) << Errors().join(u'\n').toStdString();
}

TEST_F(Reconnect, SameLoginLeavesTheTableListAloneAndCancelKeepsTheConnection) {
    RunConnect(sqlite);
    ASSERT_EQ(gcnDB->State(), 1);
    const QString connected = gcnDB->ConnectionString();

    struct Case {
        const char* name;
        std::optional<Login> login;
    };
    const Case cases[] = {{"same login again", sqlite}, {"cancelled", std::nullopt}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        window->cboTable()->setVisible(true);
        gstrDSN = QStringLiteral("as before");
        window->SetPanelText(QStringLiteral("DSN"), QStringLiteral("stale"));
        RunConnect(c.login);
        EXPECT_EQ(gcnDB->ConnectionString(), connected);
        EXPECT_EQ(gcnDB->State(), 1);
        EXPECT_FALSE(TableListRefilled());
        EXPECT_EQ(window->PanelText(QStringLiteral("DSN")), gstrDSN);
        EXPECT_EQ(gstrDSN, c.login ? sqlite.dsn : QStringLiteral("as before"));
    }
    EXPECT_TRUE(doubles.messages.shown.empty()) << Errors().join(u'\n').toStdString();
}

TEST_F(Reconnect, AFailedAttemptThenCancelLeavesItClosedAndRefillsTheList) {
    RunConnect(sqlite);
    ASSERT_EQ(gcnDB->State(), 1);
    const QString connected = gcnDB->ConnectionString();
    window->cboTable()->setVisible(true);

    RunConnect(std::nullopt, [](frmConnect& dialog) {
        Fill(dialog, {NoSuchSource, {}, {}});
        dialog.cmdOK()->click();
    });
    EXPECT_EQ(Errors().size(), 1);
    EXPECT_EQ(gcnDB->State(), 0);
    EXPECT_NE(gcnDB->ConnectionString(), connected);
    EXPECT_TRUE(TableListRefilled());
    EXPECT_EQ(gstrDSN, sqlite.dsn) << "changes on success only";
    EXPECT_EQ(window->PanelText(QStringLiteral("DSN")), sqlite.dsn);
    EXPECT_EQ(Stored(u"CONNECT", u"DSN"), NoSuchSource);
}

TEST_F(Reconnect, WithoutADocumentTheDialogStillOpens) {
    ASSERT_EQ(window->ActiveForm(), nullptr);
    RunConnect(sqlite);
    EXPECT_EQ(doubles.modal.titles.size(), 1u);
    EXPECT_EQ(gcnDB->State(), 1);
    EXPECT_EQ(window->PanelText(QStringLiteral("DSN")), sqlite.dsn);
    EXPECT_TRUE(doubles.messages.shown.empty()) << Errors().join(u'\n').toStdString();
}
