#pragma once

#include "data/workbook_opener.h"
#include "files/file_dialog_service.h"
#include "shell/message_box_service.h"
#include "shell/modal_runner.h"

namespace brindle {

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
};

} // namespace brindle
