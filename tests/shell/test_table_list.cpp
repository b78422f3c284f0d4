#include "core/error.h"
#include "editor/rich_text_editor.h"
#include "sqlite_window_fixture.h"

#include <QApplication>
#include <QComboBox>
#include <QTextDocument>

#include <vector>

namespace brindle::test {
namespace {

const QString SqlServer = QStringLiteral("Microsoft SQL Server");

class TableList : public SqliteWindowTest {
protected:
    void SetUp() override {
        SqliteWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        Open();
        ReportDbms(SqlServer);
    }

    void ReportDbms(const QString& name) {
        window->setDbmsNameSource([name] { return name; });
    }

    // A database that looks like SQL Server's catalogue to the table query.
    static void MakeCatalogue(const std::vector<std::pair<QString, QString>>& objects) {
        Exec(QStringLiteral("CREATE TABLE sysobjects (name varchar(128), type char(2))"));
        for (const auto& [name, type] : objects)
            Exec(u"INSERT INTO sysobjects VALUES ('" + name + u"', '" + type + u"')");
    }

    QComboBox* list() const { return window->cboTable(); }

    QStringList Items() const {
        QStringList items;
        for (int i = 0; i < list()->count(); ++i)
            items.append(list()->itemText(i));
        return items;
    }

    // The user picks an item from the list.
    void Pick(const QString& name) {
        const int index = list()->findText(name);
        ASSERT_GE(index, 0) << name.toStdString();
        list()->setCurrentIndex(index);
        emit list()->activated(index);
    }

    RichTextEditor* editor() const { return window->ActiveForm()->txtQry(); }
};

TEST_F(TableList, IsVisibleAndEmptyBeforeItIsFirstFilled) {
    EXPECT_FALSE(list()->isHidden());
    EXPECT_EQ(list()->count(), 0);
    EXPECT_EQ(list()->toolTip(), QStringLiteral("テーブルの指定"));
}

TEST_F(TableList, ListsTheUserTablesInTheQuerysOrder) {
    MakeCatalogue({{QStringLiteral("orders"), QStringLiteral("U")},
                   {QStringLiteral("Customers"), QStringLiteral("U")},
                   {QStringLiteral("v_orders"), QStringLiteral("V")},
                   {QStringLiteral("a b"), QStringLiteral("U")},
                   {QStringLiteral("sysindexes"), QStringLiteral("S")},
                   {QStringLiteral("lower"), QStringLiteral("u")}});
    window->SetCboTable();
    EXPECT_FALSE(list()->isHidden());
    // ORDER BY name in the database's own (binary) collation.
    EXPECT_EQ(Items(), (QStringList{QStringLiteral("Customers"), QStringLiteral("a b"),
                                    QStringLiteral("orders")}));
    EXPECT_TRUE(doubles.messages.shown.empty());

    // Filling again starts from an empty list.
    Exec(QStringLiteral("DELETE FROM sysobjects WHERE name = 'orders'"));
    window->SetCboTable();
    EXPECT_EQ(Items(), (QStringList{QStringLiteral("Customers"), QStringLiteral("a b")}));
}

TEST_F(TableList, OnlyTheExactNameOfSqlServerShowsTheList) {
    MakeCatalogue({{QStringLiteral("t1"), QStringLiteral("U")}});
    const struct {
        const char* what;
        QString name;
        bool shown;
    } cases[] = {
        {"SQL Server", SqlServer, true},
        {"lower case", QStringLiteral("microsoft sql server"), false},
        {"a blank after", SqlServer + u' ', false},
        {"another product", QStringLiteral("PostgreSQL"), false},
        {"nothing reported", QString(), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        list()->clear();
        list()->addItem(QStringLiteral("kept"));
        list()->setVisible(true);
        ReportDbms(c.name);
        window->SetCboTable();
        EXPECT_EQ(!list()->isHidden(), c.shown);
        EXPECT_EQ(Items(),
                  c.shown ? QStringList{QStringLiteral("t1")} : QStringList{QStringLiteral("kept")})
            << "a hidden list keeps its items";
    }
}

TEST_F(TableList, TheDriversOwnNameHidesTheList) {
    MakeCatalogue({{QStringLiteral("t1"), QStringLiteral("U")}});
    window->SetCboTable();
    ASSERT_EQ(Items(), QStringList{QStringLiteral("t1")});
    window->setDbmsNameSource(nullptr);
    ASSERT_EQ(gcnDB->DbmsName(), QStringLiteral("SQLite"));
    window->SetCboTable();
    EXPECT_TRUE(list()->isHidden());
    EXPECT_EQ(Items(), QStringList{QStringLiteral("t1")});
}

TEST_F(TableList, AReconnectElsewhereHidesAndBackRefills) {
    MakeCatalogue({{QStringLiteral("t1"), QStringLiteral("U")}});
    window->SetCboTable();
    ReportDbms(QStringLiteral("PostgreSQL"));
    window->SetCboTable();
    EXPECT_TRUE(list()->isHidden());
    EXPECT_EQ(Items(), QStringList{QStringLiteral("t1")}) << "hidden, not emptied";

    Exec(QStringLiteral("INSERT INTO sysobjects VALUES ('t0', 'U')"));
    ReportDbms(SqlServer);
    window->SetCboTable();
    EXPECT_FALSE(list()->isHidden());
    EXPECT_EQ(Items(), (QStringList{QStringLiteral("t0"), QStringLiteral("t1")}));
}

TEST_F(TableList, FailuresLeaveTheListAsItStandsAndSayNothing) {
    // No catalogue at all: the list was emptied before the query failed.
    list()->addItem(QStringLiteral("old"));
    window->SetCboTable();
    EXPECT_FALSE(list()->isHidden());
    EXPECT_EQ(list()->count(), 0);

    // No user tables: visible and empty.
    list()->addItem(QStringLiteral("old"));
    MakeCatalogue({{QStringLiteral("v1"), QStringLiteral("V")}});
    window->SetCboTable();
    EXPECT_FALSE(list()->isHidden());
    EXPECT_EQ(list()->count(), 0);

    // A closed connection: visible and empty.
    list()->addItem(QStringLiteral("old"));
    gcnDB->Close();
    window->SetCboTable();
    EXPECT_FALSE(list()->isHidden());
    EXPECT_EQ(list()->count(), 0);

    // A name that cannot be read: nothing changes at all.
    list()->addItem(QStringLiteral("old"));
    window->setDbmsNameSource([]() -> QString { throw Error(3265, QStringLiteral("no entry")); });
    window->SetCboTable();
    EXPECT_FALSE(list()->isHidden());
    EXPECT_EQ(Items(), QStringList{QStringLiteral("old")});

    EXPECT_TRUE(doubles.messages.shown.empty());
}

TEST_F(TableList, APickReplacesTheWholeQueryWithTheCaretAtTheStart) {
    MakeCatalogue({{QStringLiteral("orders"), QStringLiteral("U")},
                   {QStringLiteral("a b"), QStringLiteral("U")}});
    window->SetCboTable();
    window->LoadNewDoc();
    QApplication::setActiveWindow(window.get());
    window->cboTable()->setFocus();
    QString longQuery;
    for (int i = 0; i < 500; ++i)
        longQuery += u"SELECT col" + QString::number(i) + u" FROM orders -- line\r\n";
    editor()->setText(longQuery);
    editor()->setSelStart(1234);
    editor()->setSelLength(10);

    Pick(QStringLiteral("orders"));
    EXPECT_EQ(editor()->Text(), QStringLiteral("SELECT * FROM orders"));
    EXPECT_EQ(editor()->SelStart(), 0);
    EXPECT_EQ(editor()->SelLength(), 0);
    EXPECT_EQ(QApplication::focusWidget(), editor());
    EXPECT_FALSE(editor()->ColourRuns().empty()) << "coloured like any change";
    EXPECT_EQ(gintDocCount, 1);

    // The name goes in as it is, blank and all.
    Pick(QStringLiteral("a b"));
    EXPECT_EQ(editor()->Text(), QStringLiteral("SELECT * FROM a b"));
    EXPECT_EQ(editor()->SelStart(), 0);

    // The earlier query is one undo away.
    editor()->document()->undo();
    editor()->document()->undo();
    EXPECT_EQ(editor()->Text(), longQuery);
    EXPECT_TRUE(doubles.messages.shown.empty());
}

TEST_F(TableList, APickWithNoDocumentOpensOneFirst) {
    MakeCatalogue({{QStringLiteral("orders"), QStringLiteral("U")}});
    window->SetCboTable();
    ASSERT_EQ(gintDocCount, 0);
    Pick(QStringLiteral("orders"));
    ASSERT_EQ(gintDocCount, 1);
    ASSERT_EQ(window->Documents().size(), 1);
    EXPECT_EQ(window->ActiveForm()->Caption(), QStringLiteral("無題1"));
    EXPECT_EQ(editor()->Text(), QStringLiteral("SELECT * FROM orders"));
    EXPECT_EQ(editor()->SelStart(), 0);
}

TEST_F(TableList, FillingTheListWritesNothingIntoTheEditor) {
    MakeCatalogue({{QStringLiteral("orders"), QStringLiteral("U")}});
    window->LoadNewDoc();
    editor()->setText(QStringLiteral("SELECT 1"));
    window->SetCboTable();
    window->SetCboTable();
    EXPECT_EQ(editor()->Text(), QStringLiteral("SELECT 1"));
}

} // namespace
} // namespace brindle::test
