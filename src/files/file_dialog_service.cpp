#include "files/file_dialog_service.h"

#include "files/file_dialog_columns.h"
#include "shell/message_box_service.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QGroupBox>

namespace brindle {

namespace {

const QString& SqlFilter() {
    static const QString filter = QStringLiteral("SQLファイル (*.sql)");
    return filter;
}

bool Ask(MessageBoxService& boxes, const QString& question) {
    return boxes.Show({QStringLiteral("Brindle"), question, MsgIcon::Question, MsgButtons::YesNo, 2,
                       292}) == MsgResultYes;
}

// The program keeps no strikeout or underline, so the dialog offers none. Qt
// has no option for it: the effects are the group of check boxes; the sample
// is a group without any.
void HideFontEffects(QFontDialog& dialog) {
    for (QGroupBox* group : dialog.findChildren<QGroupBox*>()) {
        if (group->findChildren<QCheckBox*>().isEmpty())
            continue;
        // Its room stays, else the sample beside it shrinks below its text.
        QSizePolicy policy = group->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        group->setSizePolicy(policy);
        group->hide();
    }
}

void Tell(MessageBoxService& boxes, const QString& text) {
    boxes.Show({QStringLiteral("Brindle"), text, MsgIcon::Warning, MsgButtons::Ok, 1, 48});
}

} // namespace

std::optional<QString> QtFileDialogService::ShowOpen(QWidget* parent, const QString& initialPath) {
    return Show(parent, initialPath, false);
}

std::optional<QString> QtFileDialogService::ShowSave(QWidget* parent, const QString& initialPath) {
    return Show(parent, initialPath, true);
}

std::optional<QString> QtFileDialogService::Show(QWidget* parent, const QString& initialPath,
                                                 bool save) {
    QFileDialog dialog(parent);
    // Qt's own dialog: a desktop's dialog would speak the language of LANG,
    // not the program's Japanese.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setProxyModel(new FileDialogColumns(&dialog));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // Any name may be typed; a name that does not exist is asked about below.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({SqlFilter(), QStringLiteral("すべてのファイル (*)")});
    dialog.selectNameFilter(SqlFilter());
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    const QFileInfo initial(initialPath);
    dialog.setDirectory(!initialPath.isEmpty() && initial.absoluteDir().exists()
                            ? initial.absolutePath()
                            : QDir::homePath());
    if (!initialPath.isEmpty())
        dialog.selectFile(initial.fileName());
    for (;;) {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        const QString path = QFileInfo(dialog.selectedFiles().constFirst()).absoluteFilePath();
        const QFileInfo chosen(path);
        if (chosen.exists() && !chosen.isWritable()) {
            Tell(m_boxes,
                 path + QStringLiteral(
                            "\nこのファイルは読み取り専用です。別の名前を指定してください。"));
            continue;
        }
        if (!chosen.exists() &&
            !Ask(m_boxes, path + QStringLiteral("\nこのファイルは存在しません。作成しますか？")))
            continue;
        if (save && chosen.exists() &&
            !Ask(m_boxes, path + QStringLiteral("\nは既に存在します。上書きしますか？")))
            continue;
        return path;
    }
}

std::optional<FontChoice> QtFontDialogService::Show(QWidget* parent, const FontChoice& initial) {
    QFont font(initial.name);
    font.setPointSizeF(initial.size);
    font.setBold(initial.bold);
    font.setItalic(initial.italic);
    QFontDialog dialog(parent);
    dialog.setOption(QFontDialog::DontUseNativeDialog, true);
    dialog.setCurrentFont(font);
    HideFontEffects(dialog);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QFont chosen = dialog.selectedFont();
    return FontChoice{chosen.family(), chosen.pointSizeF(), chosen.bold(), chosen.italic()};
}

} // namespace brindle

namespace brindle {

FileDialogService& DefaultFileDialogService() {
    static QtFileDialogService service(DefaultMessageBoxService());
    return service;
}

FontDialogService& DefaultFontDialogService() {
    static QtFontDialogService service;
    return service;
}

} // namespace brindle
