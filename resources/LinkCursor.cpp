#include "resources/LinkCursor.h"

#include <QPixmap>

namespace resources {

QCursor LinkCursor() {
    return QCursor(QPixmap(QStringLiteral(":/icons/link-cursor.png")), kLinkCursorHotSpot.x(), kLinkCursorHotSpot.y());
}

} // namespace resources
