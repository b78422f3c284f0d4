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

} // namespace brindle
