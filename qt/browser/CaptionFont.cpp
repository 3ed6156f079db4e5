#include "qt/browser/CaptionFont.h"

#include <QFontMetrics>
#include <algorithm>

namespace browser {

namespace {

bool AllFit(const QFont& font, const QList<CaptionSpace>& captions) {
    const QFontMetrics metrics(font);
    return std::all_of(captions.begin(), captions.end(), [&](const CaptionSpace& space) {
        QString text = space.Caption;
        text.remove(QLatin1Char('&'));
        return metrics.horizontalAdvance(text) <= space.Width;
    });
}

} // namespace

QFont FitCaptions(QFont base, const QList<CaptionSpace>& captions, double minimumPointSize) {
    double size = base.pointSizeF();
    if (size <= 0) {
        return base; // a pixel-sized font: left as it is
    }
    while (size > minimumPointSize && !AllFit(base, captions)) {
        size = std::max(size - 0.5, minimumPointSize);
        base.setPointSizeF(size);
    }
    return base;
}

} // namespace browser
