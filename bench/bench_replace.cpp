// Replace all: 50,000 replacements on 100,000 lines, as the text logic does
// them and as the replace dialog's button does them in a query document (the
// edit, its change handling and colouring, the repaint).
#include "editor/editor_replace.h"
#include "editor/find_replace.h"
#include "editor/rich_text_editor.h"
#include "shell/frm_sql.h"
#include "shell/message_box_service.h"

#include <QApplication>

#include <benchmark/benchmark.h>

namespace {

// Every other line names the customer table: lines / 2 matches.
QString Script(int lines, QChar separator) {
    QString text;
    for (int i = 0; i < lines; ++i) {
        text += i % 2 == 0 ? QStringLiteral("SELECT c.id, c.name FROM customer c -- 顧客")
                           : QStringLiteral("UPDATE stock SET qty = qty - 1 WHERE id = 7");
        text += separator;
    }
    return text;
}

void BM_ReplaceAllText(benchmark::State& state) {
    const QString text = Script(static_cast<int>(state.range(0)), u'\n');
    const brindle::editing::TextFinder finder(QStringLiteral("customer"), {false, true, false});
    int count = 0;
    for (auto _ : state) {
        const auto replaced =
            finder.ReplaceAll(text, 0, text.size(), QStringLiteral("customer_archive"));
        count = replaced.count;
        benchmark::DoNotOptimize(replaced.text.data());
    }
    state.counters["replaced"] = count;
}
BENCHMARK(BM_ReplaceAllText)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReplaceAllInDocument(benchmark::State& state) {
    brindle::frmSQL doc(brindle::DefaultMessageBoxService());
    doc.resize(800, 600);
    doc.show();
    brindle::RichTextEditor& editor = *doc.txtQry();
    editor.setText(Script(static_cast<int>(state.range(0)), u'\n'));
    QApplication::processEvents();
    brindle::EditorReplace actions(editor);
    // There and back, so every round starts from the same text.
    const brindle::ReplaceRequest there{
        QStringLiteral("customer"), QStringLiteral("client"), {true, true, false}, false};
    const brindle::ReplaceRequest back{
        QStringLiteral("client"), QStringLiteral("customer"), {true, true, false}, false};
    bool forth = true;
    QString said;
    for (auto _ : state) {
        said = actions.ReplaceAll(forth ? there : back);
        editor.viewport()->repaint();
        forth = !forth;
    }
    state.SetLabel(said.toStdString());
}
BENCHMARK(BM_ReplaceAllInDocument)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
