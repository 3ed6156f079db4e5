#pragma once
// The Qt window's edge to the core: the core's texts are UTF-8 std::string, the window's QString.

#include <QString>
#include <string>

namespace platform {

inline std::string ToCore(const QString& text) {
    return text.toStdString();
}

inline QString FromCore(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace platform
