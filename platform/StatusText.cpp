#include "platform/StatusText.h"

namespace platform {
namespace {

// The length of the character at at: 2 for a surrogate pair, 1 otherwise.
qsizetype CharacterLength(QStringView text, qsizetype at) {
    return at + 1 < text.size() && text[at].isHighSurrogate() && text[at + 1].isLowSurrogate() ? 2
                                                                                               : 1;
}

} // namespace

qsizetype CharacterCount(QStringView text) {
    qsizetype count = 0;
    for (qsizetype at = 0; at < text.size(); at += CharacterLength(text, at)) {
        ++count;
    }
    return count;
}

QString FirstCharacters(const QString& text, qsizetype maxCharacters) {
    qsizetype at = 0;
    for (qsizetype count = 0; count < maxCharacters && at < text.size(); ++count) {
        at += CharacterLength(text, at);
    }
    return text.first(at);
}

QString ShownStatusText(const QString& text) {
    return FirstCharacters(text, kStatusTextShownMax);
}

QString CaptionText(const QString& text, qsizetype maxCharacters) {
    QString shown = text;
    shown.removeIf([](QChar c) { return c.category() == QChar::Other_Control; });
    return FirstCharacters(shown, maxCharacters);
}

} // namespace platform
