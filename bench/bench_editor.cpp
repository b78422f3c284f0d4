// Keystroke to coloured repaint: one character typed into the middle of a
// long query document, the change handling (colouring with the shipped
// keyword table, written back into the editor) and the repaint included.
#include "shell/frm_sql.h"
#include "shell/message_box_service.h"
#include "shell/rich_text_editor.h"
#include "sql_script_generator.h"

#include <QApplication>
#include <QKeyEvent>

#include <benchmark/benchmark.h>

namespace {

void BM_Keystroke(benchmark::State& state) {
    brindle::frmSQL doc(brindle::DefaultMessageBoxService());
    doc.resize(800, 600);
    doc.show();
    brindle::RichTextEditor& editor = *doc.txtQry();
    editor.setText(brindle::test::GenerateSqlScript(static_cast<int>(state.range(0))));
    QApplication::processEvents();
    const int middle = editor.TextLength() / 2;
    bool add = true;
    for (auto _ : state) {
        editor.setSelStart(middle);
        // Typing a letter, then taking it back, so the text stays the same size.
        QKeyEvent key(QEvent::KeyPress, add ? Qt::Key_X : Qt::Key_Backspace, Qt::NoModifier,
                      add ? QStringLiteral("x") : QString());
        if (!add)
            editor.setSelStart(middle + 1);
        QApplication::sendEvent(&editor, &key);
        editor.viewport()->repaint();
        add = !add;
    }
}
BENCHMARK(BM_Keystroke)->Arg(500)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

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

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
