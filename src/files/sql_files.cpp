#include "files/sql_files.h"

#include "files/file_dialog_service.h"
#include "core/error.h"
#include "shell/process_state.h"

#include <QFileInfo>

namespace brindle {

namespace {

bool ShowDialog(FileDialogService& dialog, QWidget* parent, QString& vstrPath,
                const QString& initialPath, bool save) {
    vstrPath.clear();
    try {
        const std::optional<QString> chosen =
            save ? dialog.ShowSave(parent, initialPath) : dialog.ShowOpen(parent, initialPath);
        if (!chosen)
            return false; // cancelled: nothing is shown
        if (parent)
            parent->window()->update();
        vstrPath = *chosen;
        return true;
    } catch (const Error& e) {
        gMsg.ShowError(e.description());
        return false;
    }
}

} // namespace

bool ShowOpenDialog(FileDialogService& dialog, QWidget* parent, QString& vstrPath,
                    const QString& initialPath) {
    return ShowDialog(dialog, parent, vstrPath, initialPath, false);
}

bool ShowSaveDialog(FileDialogService& dialog, QWidget* parent, QString& vstrPath,
                    const QString& initialPath) {
    return ShowDialog(dialog, parent, vstrPath, initialPath, true);
}

std::optional<TextFileContent> ReadTextFile(const QString& path) {
    if (path.isEmpty() || !QFileInfo::exists(path))
        return TextFileContent{};
    try {
        return ReadTextFileContent(path);
    } catch (const Error& e) {
        gMsg.ShowError(e.description());
    } catch (const std::bad_alloc&) {
        gMsg.ShowError(QStringLiteral("メモリが不足しています: ") + path);
    }
    return std::nullopt;
}

bool WriteTextFile(const QString& path, const QString& text, TextFileFormat& format) {
    if (path.isEmpty())
        return false;
    try {
        format = WriteTextFileContent(path, text, format);
        return true;
    } catch (const Error& e) {
        gMsg.ShowError(e.description());
    }
    return false;
}

} // namespace brindle
