#pragma once
// What BrowserFrm keeps apart from its public controls: the web view it owns, the window and its
// container, the page tools, the twips each control was last given, the widening state and the
// bars' contents.

#include "browser/BrowserFrm.h"
#include "browser/Layout.h"
#include "browser/PageTools.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace browser {
// What each button's and menu entry's signal hands back.
struct SignalTarget {
    BrowserFrm* Frm;
    int Index;
};
} // namespace browser

struct BrowserFrm::Impl {
    std::unique_ptr<platform::WebView> View;
    std::unique_ptr<browser::PageTools> Tools;
    GtkWidget* Window = nullptr;
    GtkWidget* Layout = nullptr;
    std::map<GtkWidget*, browser::TwipsRect> Twips;
    browser::Widening Widening;
    std::string Status;
    guint StatusContext = 0;
    int Progress = 0;
    int ProgressMaximum = 100;
    GdkWindowState State = GdkWindowState(0);
    bool Closing = false; // Close is under way
    using Target = browser::SignalTarget;
    std::vector<std::unique_ptr<Target>> Targets;
    Target* TargetFor(BrowserFrm* frm, int index) {
        Targets.push_back(std::make_unique<Target>(Target{frm, index}));
        return Targets.back().get();
    }
};
