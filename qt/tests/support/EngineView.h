#pragma once
// For tests on the real engine.

#include "qt/platform/Rendering.h"

// For initMain(): test data paths, then the engine and the composition as the program settles
// them before the application object exists. Returns the composition's plan.
platform::CompositionPlan PrepareEngineTest();
