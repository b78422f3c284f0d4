#include "files/font_dialog.h"

#include "files/file_dialog_service.h"
#include "core/app_info.h"
#include "core/error.h"
#include "core/numeric_text.h"
#include "shell/process_state.h"
#include "editor/rich_text_editor.h"
#include "core/settings_store.h"

#include <QTableView>

namespace brindle {

bool ShowFontDialog(FontDialogService& dialog, QWidget* parent, RichTextEditor& editor,
                    QTableView* grid) {
    try {
        const FontChoice initial{editor.FontName(), editor.FontSize(), editor.FontBold(),
                                 editor.FontItalic()};
        const std::optional<FontChoice> chosen = dialog.Show(parent, initial);
        if (!chosen)
            return false;
        if (parent)
            parent->window()->update();
        editor.setFontSize(chosen->size);
        editor.setFontName(chosen->name);
        editor.setFontBold(chosen->bold);
        editor.setFontItalic(chosen->italic);
        if (grid) {
            QFont font = grid->font();
            font.setPointSizeF(chosen->size);
            font.setFamily(chosen->name);
            font.setBold(chosen->bold);
            font.setItalic(chosen->italic);
            grid->setFont(font);
        }
        return true;
    } catch (const Error& e) {
        gMsg.ShowError(e.description());
        return false;
    }
}

void SaveEditorFont(const RichTextEditor& editor) {
    const QString section = QStringLiteral("FONT");
    const auto save = [&section](const char16_t* key, const QString& value) {
        try {
            SaveSetting(AppTitle(), section, QString::fromUtf16(key), value);
        } catch (const Error&) {
        }
    };
    save(u"SIZE", QString::number(editor.FontSize()));
    save(u"NAME", editor.FontName());
    save(u"BOLD", BoolText(editor.FontBold()));
    save(u"ITALIC", BoolText(editor.FontItalic()));
}

} // namespace brindle
