#pragma once
// What BrowserFrm keeps apart from its public controls and link table.

#include "browser/BrowserFrm.h"
#include "browser/TwipsGeometry.h"

class QLabel;

struct BrowserFrm::Impl {
    browser::TwipsGeometry Geometry;
    QLabel* StatusText = nullptr; // the status bar's one text
};
