#include "platform/StatusText.h"

namespace platform {

QString ShownStatusText(const QString& text) {
    if (text.size() <= kStatusTextShownMax) {
        return text;
    }
    qsizetype length = kStatusTextShownMax;
    if (text.at(length - 1).isHighSurrogate()) {
        --length;
    }
    return text.left(length);
}

} // namespace platform
