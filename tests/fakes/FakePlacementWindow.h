#pragma once
// A placement window that holds its state and bounds and records what is asked of it.
#include "platform/PlacementWindow.h"

#include <QStringList>

class FakePlacementWindow : public platform::PlacementWindow {
public:
    int WindowState() const override { return State; }
    void SetWindowState(int state) override {
        Calls << QString("SetWindowState(%1)").arg(State = state);
    }
    double Left() const override { return Bounds[0]; }
    double Top() const override { return Bounds[1]; }
    double Width() const override { return Bounds[2]; }
    double Height() const override { return Bounds[3]; }
    void Move(double left, double top, double width, double height) override {
        Calls << QString("Move(%1,%2,%3,%4)")
                     .arg(left, 0, 'g', 17)
                     .arg(top, 0, 'g', 17)
                     .arg(width, 0, 'g', 17)
                     .arg(height, 0, 'g', 17);
    }
    void DoEvents() override { Calls << "DoEvents"; }

    int State = 0;
    double Bounds[4] = {0, 0, 0, 0}; // left, top, width, height
    QStringList Calls;
};
