#include "colour/colour_passes.h"

namespace brindle::colour {

QStringView ColourSwitch(qint16 colorNo) {
    switch (colorNo) {
    case 1:
        return u"\\cf1 ";
    case 2:
        return u"\\cf2 ";
    case 3:
        return u"\\cf3 ";
    default:
        // Colour 4 is the comments' own; any other class shows in the default.
        return kDefaultSwitch;
    }
}

QString WrapColor(qint16 colorNo, QStringView word) {
    QString wrapped = ColourSwitch(colorNo) + word + kDefaultSwitch;
    return wrapped;
}

} // namespace brindle::colour
