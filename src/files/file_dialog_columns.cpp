#include "files/file_dialog_columns.h"

#include <QFileSystemModel>
#include <QLocale>

namespace brindle {

namespace {

// QFileSystemModel's columns.
constexpr int SizeColumn = 1;
constexpr int DateColumn = 3;

} // namespace

QVariant FileDialogColumns::data(const QModelIndex& index, int role) const {
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (role != Qt::DisplayRole || !files || !index.isValid() ||
        (index.column() != SizeColumn && index.column() != DateColumn))
        return QIdentityProxyModel::data(index, role);
    const QModelIndex source = mapToSource(index);
    const QLocale locale;
    if (index.column() == DateColumn)
        return locale.toString(files->lastModified(source), QLocale::ShortFormat);
    if (files->isDir(source))
        return QString();
    return locale.formattedDataSize(files->size(source));
}

} // namespace brindle
