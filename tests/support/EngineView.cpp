#include "support/EngineView.h"

#include "platform/Engine.h"

#include <QStandardPaths>

platform::CompositionPlan PrepareEngineTest() {
    QStandardPaths::setTestModeEnabled(true);
    platform::PrepareEngine();
    return platform::PrepareComposition();
}
