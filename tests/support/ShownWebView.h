#pragma once
// The shown web view of engine tests, under its older name.
#include "support/EngineView.h"
