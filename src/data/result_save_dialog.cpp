#include "data/result_save_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include <array>

namespace brindle {

namespace {

struct FormatFilter {
    const char16_t* filter;
    const char16_t* suffix;
    ResultFileFormat format;
};

constexpr std::array<FormatFilter, 4> Filters = {{
    {u"CSV UTF-8 (*.csv)", u"csv", ResultFileFormat::CsvUtf8},
    {u"CSV Shift_JIS (*.csv)", u"csv", ResultFileFormat::CsvCp932},
    {u"TSV (*.tsv *.txt)", u"tsv", ResultFileFormat::Tsv},
    {u"JSON (*.json)", u"json", ResultFileFormat::Json},
}};

} // namespace

std::optional<ResultSaveChoice> QtResultSaveDialogService::Show(QWidget* parent,
                                                                const QString& initialPath) {
    QFileDialog dialog(parent, QStringLiteral("結果を保存"));
    // Qt's own dialog, in the program's Japanese whatever LANG says.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    QStringList filters;
    for (const FormatFilter& f : Filters)
        filters.append(QString::fromUtf16(f.filter));
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.constFirst());
    dialog.setDefaultSuffix(QString::fromUtf16(Filters[0].suffix));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog, filters](const QString& filter) {
                         const auto at = filters.indexOf(filter);
                         if (at >= 0)
                             dialog.setDefaultSuffix(QString::fromUtf16(Filters[at].suffix));
                     });
    const QFileInfo initial(initialPath);
    dialog.setDirectory(!initialPath.isEmpty() && initial.absoluteDir().exists()
                            ? initial.absolutePath()
                            : QDir::homePath());
    if (!initialPath.isEmpty())
        dialog.selectFile(initial.fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    ResultSaveChoice choice;
    choice.path = QFileInfo(dialog.selectedFiles().constFirst()).absoluteFilePath();
    const auto at = filters.indexOf(dialog.selectedNameFilter());
    choice.format = Filters[at >= 0 ? at : 0].format;
    return choice;
}

ResultSaveDialogService& DefaultResultSaveDialogService() {
    static QtResultSaveDialogService service;
    return service;
}

} // namespace brindle
