#include "support/test_services.h"

#include <QDialog>

namespace brindle::test {

int RecordingMessageBoxes::Show(const MessageBoxRequest& request) {
    shown.push_back(request);
    return answer;
}

int ScriptedModalRunner::Run(QDialog& dialog) {
    titles.push_back(dialog.windowTitle());
    return script ? script(dialog) : static_cast<int>(QDialog::Rejected);
}

std::optional<QString> ScriptedFileDialogs::ShowOpen(QWidget*, const QString& initialPath) {
    openInitial.push_back(initialPath);
    return answer;
}

std::optional<QString> ScriptedFileDialogs::ShowSave(QWidget*, const QString& initialPath) {
    saveInitial.push_back(initialPath);
    return answer;
}

std::optional<FontChoice> ScriptedFontDialog::Show(QWidget*, const FontChoice& initial) {
    shownWith.push_back(initial);
    return answer;
}

} // namespace brindle::test
