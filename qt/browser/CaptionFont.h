#pragma once
// One font for the toolbar's captions, small enough for the longest of them to fit its button.

#include <QFont>
#include <QList>
#include <QString>

namespace browser {

struct CaptionSpace {
    QString Caption; // with its "&" access-key mark
    int Width;       // pixels available for the text
};

// The largest size of base, from its own size down to minimumPointSize in half points, at
// which every caption fits its width; minimumPointSize when none does.
QFont FitCaptions(QFont base, const QList<CaptionSpace>& captions, double minimumPointSize = 6.5);

} // namespace browser
