// Qt's own texts (file and font dialogs, question boxes, context menus) are
// Japanese like the rest of the program, whatever the locale.

#include "data/grid_cell_delegate.h"
#include "files/file_dialog_service.h"
#include "shell/message_box_service.h"
#include "shell/qt_japanese.h"
#include "editor/rich_text_editor.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <QTreeView>

#include "support/print_qt.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace brindle {
namespace {

// Hiragana, katakana or kanji: the text came from the Japanese catalogue.
bool Japanese(const QString& text) {
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u >= 0x3040 && u <= 0x30FF) || (u >= 0x4E00 && u <= 0x9FFF))
            return true;
    }
    return false;
}

// The locale of a user who never chose Japanese.
class EnglishLocale {
public:
    EnglishLocale() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    ~EnglishLocale() { QLocale::setDefault(m_old); }
    EnglishLocale(const EnglishLocale&) = delete;
    EnglishLocale& operator=(const EnglishLocale&) = delete;

private:
    QLocale m_old;
};

// Runs `look` on the dialog of type T once it runs modally, then closes it
// with `close`. A dialog that never turns up within a minute is reported and
// whatever modal window there is gets closed, so the test cannot hang.
template <class T> class WhenShown {
public:
    WhenShown(std::function<void(T&)> look, std::function<void(T&)> close)
        : m_look(std::move(look)), m_close(std::move(close)) {
        m_clock.start();
        m_timer.setInterval(20);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Poll(); });
        m_timer.start();
    }
    bool seen = false;

private:
    void Poll() {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (dialog && dialog->isVisible()) {
            m_timer.stop();
            seen = true;
            m_look(*dialog);
            QTimer::singleShot(0, dialog, [this, dialog] { m_close(*dialog); });
        } else if (m_clock.elapsed() > 60'000) {
            m_timer.stop();
            ADD_FAILURE() << "the dialog did not show";
            if (auto* other = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                other->reject();
        }
    }

    std::function<void(T&)> m_look;
    std::function<void(T&)> m_close;
    QTimer m_timer;
    QElapsedTimer m_clock;
};

void Reject(QDialog& dialog) {
    dialog.reject();
}

QString ButtonText(QDialogButtonBox* box, QDialogButtonBox::StandardButton which) {
    QPushButton* button = box ? box->button(which) : nullptr;
    return button ? button->text() : QStringLiteral("<no button>");
}

// The command texts of a context menu, separators left out.
QStringList Commands(QMenu& menu) {
    QStringList texts;
    for (const QAction* action : menu.actions())
        if (!action->isSeparator())
            texts.append(action->text());
    return texts;
}

class QuietBoxes final : public MessageBoxService {
public:
    int Show(const MessageBoxRequest&) override { return MsgResultNo; }
};

} // namespace

TEST(QtJapanese, LoadsWhateverTheLocaleAndAMissingCatalogueIsQuiet) {
    const EnglishLocale english;
    QTranslator* translator = InstallQtJapanese(*QCoreApplication::instance());
    ASSERT_NE(translator, nullptr) << "qtbase_ja.qm is missing (Debian qt6-translations-l10n)";
    EXPECT_TRUE(Japanese(translator->translate("QFileDialog", "Look in:")));
    QCoreApplication::removeTranslator(translator);
    delete translator;

    const QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    EXPECT_EQ(InstallQtJapanese(*QCoreApplication::instance(), empty.path()), nullptr);
}

TEST(QtJapanese, TheOpenDialog) {
    const EnglishLocale english;
    QuietBoxes boxes;
    QtFileDialogService service(boxes);
    QStringList labels;
    QString open, cancel, modified;
    bool nonNative = false;
    const WhenShown<QFileDialog> driver(
        [&](QFileDialog& dialog) {
            nonNative = dialog.testOption(QFileDialog::DontUseNativeDialog);
            for (const char16_t* name : {u"lookInLabel", u"fileNameLabel", u"fileTypeLabel"}) {
                const auto* label = dialog.findChild<QLabel*>(QString::fromUtf16(name));
                labels.append(label ? label->text() : QStringLiteral("<no label>"));
            }
            auto* box = dialog.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
            open = ButtonText(box, QDialogButtonBox::Open);
            cancel = ButtonText(box, QDialogButtonBox::Cancel);
            if (const auto* tree = dialog.findChild<QTreeView*>(QStringLiteral("treeView")))
                modified = tree->model()->headerData(3, Qt::Horizontal).toString();
        },
        Reject);
    EXPECT_FALSE(service.ShowOpen(nullptr, QString()).has_value());
    ASSERT_TRUE(driver.seen);
    EXPECT_TRUE(nonNative) << "a desktop's own dialog would follow LANG, not the program";
    ASSERT_EQ(labels.size(), 3);
    for (const QString& label : labels)
        EXPECT_TRUE(Japanese(label)) << label.toStdString();
    EXPECT_TRUE(Japanese(open)) << open.toStdString();
    EXPECT_EQ(cancel, QStringLiteral("キャンセル"));
    EXPECT_TRUE(Japanese(modified)) << modified.toStdString();
}

// Types, sizes and dates in the file list too, when the system's own locale
// is not Japanese (the program makes Japanese its default at start-up).
TEST(QtJapanese, TheOpenDialogsFileList) {
    ASSERT_EQ(QLocale().language(), QLocale::Japanese);
    QTemporaryDir files;
    ASSERT_TRUE(files.isValid());
    ASSERT_TRUE(QDir(files.path()).mkdir(QStringLiteral("sub")));
    QFile sql(files.filePath(QStringLiteral("a.sql")));
    ASSERT_TRUE(sql.open(QIODevice::WriteOnly));
    sql.write("select 1\r\n");
    sql.close();

    QuietBoxes boxes;
    QtFileDialogService service(boxes);
    QString folderType, fileSize, fileDate;
    const WhenShown<QFileDialog> driver(
        [&](QFileDialog& dialog) {
            const auto* tree = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
            if (!tree)
                return;
            const QAbstractItemModel* model = tree->model();
            const auto row = [&](const QString& name) {
                for (int r = 0; r < model->rowCount(tree->rootIndex()); ++r) {
                    const QModelIndex at = model->index(r, 0, tree->rootIndex());
                    if (at.data().toString() == name)
                        return r;
                }
                return -1;
            };
            // The list is read in the background.
            if (!QTest::qWaitFor([&] { return row(u"sub"_qs) >= 0 && row(u"a.sql"_qs) >= 0; },
                                 60000))
                return;
            const auto cell = [&](const QString& name, int column) {
                return model->index(row(name), column, tree->rootIndex()).data().toString();
            };
            folderType = cell(u"sub"_qs, 2);
            fileSize = cell(u"a.sql"_qs, 1);
            fileDate = cell(u"a.sql"_qs, 3);
        },
        Reject);
    EXPECT_FALSE(service.ShowOpen(nullptr, files.filePath(QStringLiteral("a.sql"))).has_value());
    ASSERT_TRUE(driver.seen);
    EXPECT_EQ(folderType, QStringLiteral("フォルダー"));
    EXPECT_EQ(fileSize, QLocale().formattedDataSize(10));
    EXPECT_TRUE(fileSize.contains(QStringLiteral("バイト"))) << fileSize.toStdString();
    EXPECT_EQ(fileDate, QLocale().toString(QFileInfo(sql).lastModified(), QLocale::ShortFormat));
}

TEST(QtJapanese, TheFontDialogKeepsToWhatTheProgramStores) {
    const EnglishLocale english;
    QtFontDialogService service;
    QString title;
    QStringList effects;
    bool sampleFits = false;
    const WhenShown<QFontDialog> driver(
        [&](QFontDialog& dialog) {
            title = dialog.windowTitle();
            for (const QCheckBox* box : dialog.findChildren<QCheckBox*>())
                if (box->isVisibleTo(&dialog))
                    effects.append(box->text());
            for (const QLineEdit* edit : dialog.findChildren<QLineEdit*>())
                if (edit->text() == u"AaBbYyZz")
                    sampleFits = edit->height() >= edit->fontMetrics().height();
        },
        [](QFontDialog& dialog) { dialog.accept(); });
    const std::optional<FontChoice> chosen =
        service.Show(nullptr, {QStringLiteral("IPAGothic"), 12, false, false});
    ASSERT_TRUE(driver.seen);
    EXPECT_TRUE(Japanese(title)) << title.toStdString();
    EXPECT_TRUE(effects.isEmpty())
        << "no strikeout or underline: " << effects.join(u", ").toStdString();
    EXPECT_TRUE(sampleFits) << "the sample keeps the room to show its text";
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(chosen->size, 12);
}

TEST(QtJapanese, QuestionBoxesAnswerWithJapaneseButtons) {
    const EnglishLocale english;
    QtMessageBoxService service;
    QStringList buttons;
    const WhenShown<QMessageBox> driver(
        [&](QMessageBox& box) {
            for (const QAbstractButton* button : box.buttons())
                buttons.append(button->text());
        },
        Reject);
    const int answer = service.Show({QStringLiteral("質問"), QStringLiteral("続けますか？"),
                                     MsgIcon::Question, MsgButtons::YesNo, 2, 292});
    ASSERT_TRUE(driver.seen);
    EXPECT_EQ(answer, MsgResultNo);
    EXPECT_EQ(buttons, (QStringList{QStringLiteral("はい(&Y)"), QStringLiteral("いいえ(&N)")}));

    // The questions Qt asks by itself, such as the file dialog's before it
    // deletes a file.
    QMessageBox own(QMessageBox::Question, QStringLiteral("Brindle"), QStringLiteral("?"),
                    QMessageBox::Yes | QMessageBox::No);
    EXPECT_TRUE(Japanese(own.button(QMessageBox::Yes)->text()));
    EXPECT_TRUE(Japanese(own.button(QMessageBox::No)->text()));
}

TEST(QtJapanese, TheEditorsAndTheGridsContextMenus) {
    const EnglishLocale english;
    RichTextEditor editor;
    editor.setText(QStringLiteral("SELECT 1"));
    editor.selectAll();
    const std::unique_ptr<QMenu> editorMenu(editor.createStandardContextMenu());

    QWidget grid;
    GridCellDelegate delegate;
    auto* cell = qobject_cast<QLineEdit*>(delegate.createEditor(&grid, {}, {}));
    ASSERT_NE(cell, nullptr);
    cell->setText(QStringLiteral("1"));
    cell->selectAll();
    const std::unique_ptr<QMenu> cellMenu(cell->createStandardContextMenu());

    for (QMenu* menu : {editorMenu.get(), cellMenu.get()}) {
        const QStringList commands = Commands(*menu);
        EXPECT_EQ(commands.size(), 7) << "undo, redo, cut, copy, paste, delete, select all";
        for (const QString& command : commands)
            EXPECT_TRUE(Japanese(command)) << command.toStdString();
    }
}

} // namespace brindle
