#pragma once

#include <QIdentityProxyModel>

namespace brindle {

// The file dialog's size and date columns in the program's (Japanese)
// locale: Qt writes them in the system's, which under LANG=C is English.
class FileDialogColumns final : public QIdentityProxyModel {
    Q_OBJECT
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override;
};

} // namespace brindle
