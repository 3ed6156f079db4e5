#include "qt/tests/support/EngineView.h"

#include "qt/platform/Engine.h"

#include <QStandardPaths>

platform::CompositionPlan PrepareEngineTest() {
    QStandardPaths::setTestModeEnabled(true);
    platform::PrepareEngine();
    return platform::PrepareComposition();
}
