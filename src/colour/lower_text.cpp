#include "colour/lower_text.h"

namespace brindle::colour {

QString LowerPerChar(QStringView text) {
    QString lowered(text.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(lowered.data());
    const char16_t* in = text.utf16();
    for (qsizetype i = 0; i < text.size(); ++i) {
        out[i] = LowerChar(in[i]);
    }
    return lowered;
}

} // namespace brindle::colour
