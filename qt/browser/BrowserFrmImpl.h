#pragma once
// What BrowserFrm keeps apart from its public controls and link table.

#include "browser/Layout.h"
#include "qt/browser/BrowserFrm.h"
#include "qt/browser/PageTools.h"
#include "qt/browser/TwipsGeometry.h"
#include "qt/platform/WidgetPlacement.h"

class QLabel;

struct BrowserFrm::Impl {
    explicit Impl(BrowserFrm& window) : Placement(window) {}

    platform::WidgetPlacement Placement;
    browser::TwipsGeometry Geometry;
    browser::Widening Widening;   // the layout's requests for the minimum width
    QLabel* StatusText = nullptr; // the status bar's one text
    std::unique_ptr<browser::PageTools> Tools;
};
