#include "core/error.h"

namespace brindle {

Error OutOfMemoryError() {
    return {err::OutOfMemory, QStringLiteral("メモリが不足しています。")};
}

Error OverflowError() {
    return {err::Overflow, QStringLiteral("オーバーフローしました。")};
}

Error SubscriptError() {
    return {err::SubscriptOutOfRange, QStringLiteral("インデックスが有効範囲にありません。")};
}

Error TypeMismatchError() {
    return {err::TypeMismatch, QStringLiteral("型が一致しません。")};
}

Error InvalidPropertyError() {
    return {err::InvalidPropertyValue, QStringLiteral("プロパティの値が不正です。")};
}

} // namespace brindle
