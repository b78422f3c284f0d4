#pragma once

#include "support/print_qt.h"

#include "core/error.h"

#include "shell/message_box_service.h"
#include "shell/modal_runner.h"
#include "shell/services.h"
#include "store/preferences.h"

#include <QString>

#include <functional>
#include <map>
#include <optional>
#include <vector>

#include <ostream>

namespace brindle::test {

// Records every box and answers with a fixed button.
class RecordingMessageBoxes final : public MessageBoxService {
public:
    int Show(const MessageBoxRequest& request) override;
    std::vector<MessageBoxRequest> shown;
    int answer = MsgResultOk;
};

// Records the dialogs it is asked to run and lets a test act on each one
// instead of blocking; without a script every dialog is cancelled.
class ScriptedModalRunner final : public ModalRunner {
public:
    int Run(QDialog& dialog) override;
    std::vector<QString> titles;
    std::function<int(QDialog&)> script;
};

// Answers the file dialogs with the next path given, or cancels.
class ScriptedFileDialogs final : public FileDialogService {
public:
    std::optional<QString> ShowOpen(QWidget* parent, const QString& initialPath) override;
    std::optional<QString> ShowSave(QWidget* parent, const QString& initialPath) override;
    std::optional<QString> answer; // nullopt = cancel
    std::vector<QString> openInitial, saveInitial;
};

class ScriptedFontDialog final : public FontDialogService {
public:
    std::optional<FontChoice> Show(QWidget* parent, const FontChoice& initial) override;
    std::optional<FontChoice> answer; // nullopt = cancel
    std::vector<FontChoice> shownWith;
};

// Records the workbooks handed to the user instead of opening them.
class RecordingWorkbookOpener final : public WorkbookOpener {
public:
    bool Open(const QString& path) override {
        opened.push_back(path);
        return answer;
    }
    std::vector<QString> opened;
    bool answer = true;
};

// Answers the result's save dialog with the choice given, or cancels.
class ScriptedResultSaveDialog final : public ResultSaveDialogService {
public:
    std::optional<ResultSaveChoice> Show(QWidget*, const QString& initialPath) override {
        shownWith.push_back(initialPath);
        return answer;
    }
    std::optional<ResultSaveChoice> answer; // nullopt = cancel
    std::vector<QString> shownWith;
};

// Presses the replace dialog's buttons as the test says, instead of showing
// it; records what each answered.
class ScriptedReplaceDialog final : public ReplaceDialogService {
public:
    ReplaceRequest Show(QWidget*, const ReplaceRequest& last, bool selection,
                        ReplaceActions& actions) override {
        shownWith.push_back(last);
        selectionOffered.push_back(selection);
        if (script)
            script(actions);
        return last;
    }
    std::function<void(ReplaceActions&)> script;
    std::vector<ReplaceRequest> shownWith;
    std::vector<bool> selectionOffered;
};

// Preferences in memory; a write can be made to fail.
class MemoryPreferences final : public store::Preferences {
public:
    std::optional<QString> Read(const QString& name) override {
        const auto found = values.find(name);
        return found == values.end() ? std::nullopt : std::make_optional(found->second);
    }
    void Write(const QString& name, const QString& value) override {
        if (refuseWrites)
            throw Error(1, QStringLiteral("ローカル ストアに書き込めません: テスト"));
        values[name] = value;
    }
    std::map<QString, QString> values;
    bool refuseWrites = false;
};

// The doubles bundled as the windows take them.
struct TestServices {
    RecordingMessageBoxes messages;
    ScriptedModalRunner modal;
    ScriptedFileDialogs files;
    ScriptedFontDialog fonts;
    RecordingWorkbookOpener workbooks;
    ScriptedResultSaveDialog resultFiles;
    ScriptedReplaceDialog replace;
    MemoryPreferences preferences;
    Services services() {
        Services services;
        services.messages = &messages;
        services.modal = &modal;
        services.files = &files;
        services.fonts = &fonts;
        services.workbooks = &workbooks;
        services.resultFiles = &resultFiles;
        services.replace = &replace;
        services.preferences = &preferences;
        return services;
    }
};

} // namespace brindle::test
