#include "qt/about/ProgramInfo.h"

namespace QtProgramInfo {

QIcon ProgramIcon() {
    QIcon icon;
    for (const int size : {48, 32, 16}) {
        icon.addFile(QStringLiteral(":/orvane/orvane-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

} // namespace QtProgramInfo
