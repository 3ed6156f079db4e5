#pragma once
// What BrowserFrm keeps apart from its public controls and link table.

#include "browser/BrowserFrm.h"
#include "browser/TwipsGeometry.h"
#include "platform/WidgetPlacement.h"

class QLabel;

struct BrowserFrm::Impl {
    explicit Impl(BrowserFrm& window) : Placement(window) {}

    platform::WidgetPlacement Placement;
    browser::TwipsGeometry Geometry;
    QLabel* StatusText = nullptr; // the status bar's one text
    // Outer size minus client size, in twips, as the last layout pass saw it. The window
    // system reports the real frame only once the window is shown; the layout runs again then.
    float FrameWidth = 0;
    float FrameHeight = 0;
};
