#pragma once

#include "data/result_save_dialog.h"
#include "data/workbook_opener.h"
#include "editor/replace_service.h"
#include "files/file_dialog_service.h"
#include "shell/message_box_service.h"
#include "shell/modal_runner.h"
#include "store/store_paths.h"

namespace brindle {

namespace store {
class HistoryRecorder;
class Preferences;
class QueryJournal;
} // namespace store

FileDialogService& DefaultFileDialogService();
FontDialogService& DefaultFontDialogService();

// The modal things of the program, passed to the windows that show them.
// Real by default; tests hand in doubles.
struct Services {
    MessageBoxService* messages = &DefaultMessageBoxService();
    ModalRunner* modal = &DefaultModalRunner();
    FileDialogService* files = &DefaultFileDialogService();
    FontDialogService* fonts = &DefaultFontDialogService();
    WorkbookOpener* workbooks = &DefaultWorkbookOpener();
    ResultSaveDialogService* resultFiles = &DefaultResultSaveDialogService();
    ReplaceDialogService* replace = &DefaultReplaceDialogService();
    // Keeps every document's text; none (the tests' default) keeps nothing,
    // restores nothing and lists no closed queries.
    store::QueryJournal* journal = nullptr;
    // Records every batch that runs; none records nothing and lists nothing.
    store::HistoryRecorder* history = nullptr;
    // Keeps the user's small choices (line numbers shown or not); none keeps
    // them for the session only.
    store::Preferences* preferences = nullptr;
    store::StorePaths store;
};

} // namespace brindle
