#include "resources/ProgramIcon.h"

namespace resources {

QIcon programIcon() {
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/jotterel-16.png"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/icons/jotterel-32.png"), QSize(32, 32));
    return icon;
}

} // namespace resources
