#include "resources/LinkCursor.h"

#include <QPixmap>

namespace resources {

QCursor linkCursor() {
    return QCursor(QPixmap(QStringLiteral(":/icons/link-cursor.png")), kLinkCursorHotSpot.x(), kLinkCursorHotSpot.y());
}

} // namespace resources
