// Opening the completion list in the editor itself, over the editor's script
// sizes: the caret's batch read from the document block by block, against
// taking the document's whole text first and cutting the batch from it.
#include "editor/batch_at_caret.h"
#include "editor/completion_context.h"
#include "editor/completion_popup.h"
#include "editor/rich_text_editor.h"
#include "sql_script_generator.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <benchmark/benchmark.h>

namespace {

using namespace brindle;
using completion::Choice;

class FewChoices final : public completion::ChoiceSource {
public:
    std::vector<Choice> Tables(const QString&) override {
        return {{QStringLiteral("customer"), QStringLiteral("customer"), Choice::Kind::Table}};
    }
    bool IsGroup(const QString&) override { return false; }
    std::optional<std::vector<Choice>> Columns(const completion::TableRef&) override {
        return std::vector<Choice>{
            {QStringLiteral("id"), QStringLiteral("id"), Choice::Kind::Column}};
    }
    std::vector<Choice> Keywords() override { return {}; }
};

// An editor holding the generated script, the caret after "x." typed at the
// end of its middle line.
struct TypedEditor {
    explicit TypedEditor(int lines) {
        editor.setPlainText(test::GenerateSqlScript(lines));
        QTextCursor cursor(
            editor.document()->findBlockByNumber(editor.document()->blockCount() / 2));
        cursor.movePosition(QTextCursor::EndOfBlock);
        cursor.insertText(QStringLiteral(" x."));
        editor.setTextCursor(cursor);
    }
    RichTextEditor editor;
};

void ScriptSizes(benchmark::internal::Benchmark* b) {
    for (const int lines : {500, 10000, 100000, 400000})
        b->Arg(lines);
    b->UseRealTime();
}

void BM_CompletionOpenInEditor(benchmark::State& state) {
    TypedEditor typed(static_cast<int>(state.range(0)));
    FewChoices choices;
    completion::CompletionPopup popup(typed.editor, choices);
    for (auto _ : state) {
        popup.OpenAsked();
        popup.Close();
    }
}
BENCHMARK(BM_CompletionOpenInEditor)->Apply(ScriptSizes)->Unit(benchmark::kMicrosecond);

// The way opening read the text before: the document's whole plain text,
// its lines indexed to cut the batch.
void BM_CompletionOpenFromWholeText(benchmark::State& state) {
    TypedEditor typed(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const QString text = typed.editor.document()->toPlainText();
        const qsizetype caret = typed.editor.textCursor().position();
        const auto span = editing::BatchAt(text, caret);
        benchmark::DoNotOptimize(completion::AnalyseAt(
            QStringView(text).sliced(span->start, span->length), caret - span->start));
    }
}
BENCHMARK(BM_CompletionOpenFromWholeText)->Apply(ScriptSizes)->Unit(benchmark::kMicrosecond);

} // namespace
