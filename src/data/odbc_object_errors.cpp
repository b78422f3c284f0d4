#include "data/odbc_object_errors.h"

namespace brindle {

Error ObjectClosedError() {
    return {err::ObjectClosed,
            QStringLiteral("オブジェクトが閉じている場合は、操作は許可されません。")};
}

Error ObjectOpenError() {
    return {err::ObjectOpen,
            QStringLiteral("オブジェクトが開いている場合は、操作は許可されません。")};
}

Error NoCurrentRecordError() {
    return {err::NoCurrentRecord,
            QStringLiteral("BOF と EOF のいずれかが True になっているか、または現在のレコードが"
                           "削除されています。")};
}

Error ItemNotFoundError() {
    return {
        err::ItemNotFound,
        QStringLiteral("要求された名前、または序数に対応する項目がコレクションで見つかりません。")};
}

Error ConnectionUnusableError() {
    return {
        err::ConnectionUnusable,
        QStringLiteral("接続をこの操作に使用することはできません。このコンテキストでは閉じているか"
                       "無効です。")};
}

Error NoCommandTextError() {
    return {err::NoCommandText,
            QStringLiteral("コマンド オブジェクトにコマンド テキストが設定されていません。")};
}

Error NotUpdatableError(const QString& reason) {
    QString text = QStringLiteral("この結果は更新できません。");
    if (!reason.isEmpty())
        text += u'\n' + reason;
    return {err::NotUpdatable, text};
}

Error RowNotLocatedError() {
    return {
        err::RowNotLocated,
        QStringLiteral("更新する行が見つかりません。読み込んだ後に他のユーザーによって変更または"
                       "削除された可能性があります。変更は保存されていません。")};
}

Error RowNotUniqueError() {
    return {err::RowNotUnique,
            QStringLiteral("同じ値の行が複数あるため、1 行だけを更新することができません。変更は"
                           "保存されていません。")};
}

Error CancelledError() {
    return {err::Cancelled, QStringLiteral("操作はユーザーによってキャンセルされました。")};
}

} // namespace brindle
