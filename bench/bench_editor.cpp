// Keystroke to coloured repaint: one character typed into the middle of a
// long query document, the change handling (colouring with the shipped
// keyword table, written back into the editor) and the repaint included.
#include "editor/line_number_margin.h"
#include "editor/rich_text_editor.h"
#include "files/text_file.h"
#include "shell/frm_sql.h"
#include "shell/message_box_service.h"
#include "sql_script_generator.h"
#include "store/document_journal.h"
#include "store/query_journal.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>

#include <benchmark/benchmark.h>

namespace {

// The sizes of script the editor is measured at, in lines, timed in ms.
void ScriptSizes(benchmark::internal::Benchmark* b) {
    for (const int lines : {500, 10000, 100000, 400000})
        b->Arg(lines);
    b->Unit(benchmark::kMillisecond)->UseRealTime();
}

// Typing a letter into the middle, then taking it back, so the text stays the
// same size; each keystroke repainted.
void TypeAndTakeBack(benchmark::State& state, brindle::RichTextEditor& editor) {
    const int middle = editor.TextLength() / 2;
    bool add = true;
    for (auto _ : state) {
        editor.setSelStart(middle);
        QKeyEvent key(QEvent::KeyPress, add ? Qt::Key_X : Qt::Key_Backspace, Qt::NoModifier,
                      add ? QStringLiteral("x") : QString());
        if (!add)
            editor.setSelStart(middle + 1);
        QApplication::sendEvent(&editor, &key);
        editor.viewport()->repaint();
        add = !add;
    }
}

void BM_Keystroke(benchmark::State& state) {
    brindle::frmSQL doc(brindle::DefaultMessageBoxService());
    doc.resize(800, 600);
    doc.show();
    brindle::RichTextEditor& editor = *doc.txtQry();
    editor.setText(brindle::test::GenerateSqlScript(static_cast<int>(state.range(0))));
    QApplication::processEvents();
    TypeAndTakeBack(state, editor);
}
BENCHMARK(BM_Keystroke)->Apply(ScriptSizes);

// Opening a script: the file read and decoded (CP932, CR LF, as users' files
// are), put into a document's editor, the change handled and the view painted.
void BM_OpenScript(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("script.sql"));
    brindle::WriteTextFileContent(
        path, brindle::test::GenerateSqlScript(static_cast<int>(state.range(0))),
        brindle::TextFileFormat{});
    for (auto _ : state) {
        state.PauseTiming();
        auto doc = std::make_unique<brindle::frmSQL>(brindle::DefaultMessageBoxService());
        doc->resize(800, 600);
        doc->show();
        QApplication::processEvents();
        state.ResumeTiming();
        doc->txtQry()->setText(brindle::ReadTextFileContent(path).text);
        QApplication::processEvents();
        doc->txtQry()->viewport()->repaint();
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenScript)->Apply(ScriptSizes);

// A line pasted into the middle (Ctrl+V), then taken back (Ctrl+Z) and put
// again (Ctrl+Y): each round is the three keys, each repainted.
void BM_PasteUndoRedo(benchmark::State& state) {
    brindle::frmSQL doc(brindle::DefaultMessageBoxService());
    doc.resize(800, 600);
    doc.show();
    brindle::RichTextEditor& editor = *doc.txtQry();
    editor.setText(brindle::test::GenerateSqlScript(static_cast<int>(state.range(0))));
    QApplication::processEvents();
    const int middle = editor.TextLength() / 2;
    const auto press = [&](Qt::Key key, Qt::KeyboardModifiers modifiers) {
        QKeyEvent event(QEvent::KeyPress, key, modifiers);
        QApplication::sendEvent(&editor, &event);
        editor.viewport()->repaint();
    };
    editor.setSelStart(middle);
    editor.setSelLength(0);
    for (auto _ : state) {
        state.PauseTiming();
        QApplication::clipboard()->setText(QStringLiteral("/* 貼り付け */ SELECT 1 FROM t\r\n"));
        editor.setSelStart(middle);
        state.ResumeTiming();
        press(Qt::Key_V, Qt::ControlModifier);
        press(Qt::Key_Z, Qt::ControlModifier);
        press(Qt::Key_Y, Qt::ControlModifier);
        state.PauseTiming();
        press(Qt::Key_Z, Qt::ControlModifier);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PasteUndoRedo)->Apply(ScriptSizes);

// A keystroke with the line numbers on (1) or off (0), and every paint it
// asks for done, the margin's too: what the line numbers and the bracket
// highlight add to a key.
void BM_KeystrokeLineNumbers(benchmark::State& state) {
    brindle::frmSQL doc(brindle::DefaultMessageBoxService());
    doc.resize(800, 600);
    doc.show();
    doc.lineNumbers()->SetShown(state.range(1) != 0);
    brindle::RichTextEditor& editor = *doc.txtQry();
    editor.setText(brindle::test::GenerateSqlScript(static_cast<int>(state.range(0))));
    QApplication::processEvents();
    const int middle = editor.TextLength() / 2;
    bool add = true;
    for (auto _ : state) {
        editor.setSelStart(add ? middle : middle + 1);
        QKeyEvent key(QEvent::KeyPress, add ? Qt::Key_X : Qt::Key_Backspace, Qt::NoModifier,
                      add ? QStringLiteral("x") : QString());
        QApplication::sendEvent(&editor, &key);
        QApplication::processEvents();
        add = !add;
    }
}
BENCHMARK(BM_KeystrokeLineNumbers)
    ->Args({10000, 0})
    ->Args({10000, 1})
    ->Args({100000, 0})
    ->Args({100000, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The same with the document followed by the journal, as every document of
// the program is: what journaling adds to a keystroke on the window's thread.
void BM_KeystrokeJournaled(benchmark::State& state) {
    QTemporaryDir dir;
    brindle::store::QueryJournal journal(brindle::store::StorePaths{dir.path()},
                                         [](const brindle::store::JournalProblem&) {});
    brindle::frmSQL doc(brindle::DefaultMessageBoxService());
    doc.resize(800, 600);
    doc.show();
    brindle::RichTextEditor& editor = *doc.txtQry();
    editor.setText(brindle::test::GenerateSqlScript(static_cast<int>(state.range(0))));
    QApplication::processEvents();
    QTextDocument& text = *editor.document();
    const auto key =
        journal.Open(QStringLiteral("bench"),
                     brindle::DocumentJournal::TextOf(text, 0, text.characterCount() - 1));
    // The journal's own share, timed around its handler: slots connected to
    // one signal run in the order they were connected.
    QElapsedTimer clock;
    qint64 journalNs = 0;
    QObject::connect(&text, &QTextDocument::contentsChange, &doc, [&] { clock.start(); });
    brindle::DocumentJournal follower(journal, key, text, doc);
    QObject::connect(&text, &QTextDocument::contentsChange, &doc,
                     [&] { journalNs += clock.nsecsElapsed(); });
    TypeAndTakeBack(state, editor);
    state.counters["journal_us"] = benchmark::Counter(static_cast<double>(journalNs) / 1000.0,
                                                      benchmark::Counter::kAvgIterations);
    journal.Flush();
}
BENCHMARK(BM_KeystrokeJournaled)
    ->Arg(500)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// One character typed into a 20 MB script, without the colouring (which has
// costs of its own): the window's thread with the journal following the
// document (1) and without (0). "max_ms" is the longest single keystroke,
// the pause a user would feel.
void BM_TypingInto20MB(benchmark::State& state) {
    const bool journaled = state.range(0) != 0;
    QTemporaryDir dir;
    brindle::store::QueryJournal journal(brindle::store::StorePaths{dir.path()},
                                         [](const brindle::store::JournalProblem&) {});
    QWidget window;
    QTextDocument text;
    QString script;
    const QString line = QStringLiteral(
        "select a.id, b.name from orders a join customers b on a.cid = b.id -- 20 MB\n");
    while (script.size() < 20 * 1024 * 1024)
        script += line;
    text.setPlainText(script);
    std::unique_ptr<brindle::DocumentJournal> follower;
    if (journaled) {
        const auto key = journal.Open(QStringLiteral("bench"), script);
        follower = std::make_unique<brindle::DocumentJournal>(journal, key, text, window);
        journal.Flush();
    }
    QTextCursor cursor(&text);
    int position = static_cast<int>(script.size() / 2);
    double longest = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        cursor.setPosition(position++);
        cursor.insertText(QStringLiteral("x"));
        longest = std::max(longest, std::chrono::duration<double, std::milli>(
                                        std::chrono::steady_clock::now() - start)
                                        .count());
        // A fast typist's pace, so the journal's worker writes the whole
        // text several times while the keys go on.
        state.PauseTiming();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        state.ResumeTiming();
    }
    state.counters["max_ms"] = longest;
    journal.Flush(60000);
}
BENCHMARK(BM_TypingInto20MB)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(2500)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

// A whole script put into the editor at once (a paste, a file opened), every
// line a comment, so every line gets a colour of its own.
void BM_SetTextOfComments(benchmark::State& state) {
    brindle::frmSQL doc(brindle::DefaultMessageBoxService());
    doc.resize(800, 600);
    doc.show();
    brindle::RichTextEditor& editor = *doc.txtQry();
    QString text;
    for (int i = 0; i < state.range(0); ++i)
        text += QStringLiteral("-- comment line\r\n");
    bool other = false;
    for (auto _ : state) {
        // Alternating texts, so every round really replaces the whole content.
        editor.setText(other ? QStringLiteral("x") + text : text);
        editor.viewport()->repaint();
        other = !other;
    }
}
BENCHMARK(BM_SetTextOfComments)->Arg(1000)->Arg(4000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
