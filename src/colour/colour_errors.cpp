#include "colour/colour_errors.h"

namespace brindle {

Error FileNotFoundError() {
    return {err::FileNotFound, QStringLiteral("ファイルが見つかりません。")};
}

Error PathNotFoundError() {
    return {err::PathNotFound, QStringLiteral("パスが見つかりません。")};
}

Error AccessDeniedError() {
    return {err::PermissionDenied, QStringLiteral("アクセスが拒否されました。")};
}

Error DeviceIoError() {
    return {err::DeviceIoError, QStringLiteral("デバイス I/O エラーです。")};
}

Error InputPastEndError() {
    return {err::InputPastEnd, QStringLiteral("ファイルの終わりを越えて読み込もうとしました。")};
}

Error DecoderMissingError() {
    return {err::InvalidCall,
            QStringLiteral("Shift_JIS (コード ページ 932) の文字コード変換を利用できません。")};
}

Error InternalError() {
    return {err::InternalError, QStringLiteral("内部エラーが発生しました。")};
}

} // namespace brindle
