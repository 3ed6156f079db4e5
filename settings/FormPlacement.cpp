#include "settings/FormPlacement.h"

#include "settings/Ini.h"
#include "settings/LeadingNumber.h"

namespace BrowserMod1 {

namespace {

int ReadNumber(const std::string& section, const char* key) {
    return RoundToInt32(Val(IniReadUser(section, key)));
}

// Bounds are saved as whole twips.
std::string WholeNumber(double value) {
    return std::to_string(RoundToInt32(value));
}

void Restore(const std::string& section, platform::PlacementWindow& window) {
    int state = ReadNumber(section, "WindowState");
    const int width = ReadNumber(section, "Width");
    const int left = ReadNumber(section, "Left");
    const int top = ReadNumber(section, "Top");
    const int height = ReadNumber(section, "Height");
    if (state == 0 && width == 0 && left == 0 && top == 0 && height == 0) {
        window.SetWindowState(platform::vbMaximized); // nothing saved yet
    } else {
        if (state == platform::vbMinimized) {
            state = platform::vbNormal;
        }
        window.SetWindowState(state);
        if (width != 0) {
            window.Move(left, top, width, height);
        }
    }
    window.DoEvents();
}

void Save(const std::string& section, platform::PlacementWindow& window) {
    IniWriteUser(section, "WindowState", std::to_string(window.WindowState()));
    if (window.WindowState() < platform::vbMinimized) {
        IniWriteUser(section, "Left", WholeNumber(window.Left()));
        IniWriteUser(section, "Top", WholeNumber(window.Top()));
        IniWriteUser(section, "Height", WholeNumber(window.Height()));
        IniWriteUser(section, "Width", WholeNumber(window.Width()));
    }
}

} // namespace

void FormPlacement(const std::string& section, platform::PlacementWindow& window, int mode) {
    if (mode == RestorePlacement) {
        Restore(section, window);
    } else if (mode == SavePlacement) {
        Save(section, window);
    }
}

} // namespace BrowserMod1
