#include "platform/qt/ClearOwnedClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace platform {
namespace {

bool ownedHere(const QClipboard& clipboard, QClipboard::Mode mode) {
    // A platform without a window system keeps the clipboard inside the program: whatever it
    // holds, the program put there.
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) {
        return true;
    }
    return mode == QClipboard::Clipboard ? clipboard.ownsClipboard() : clipboard.ownsSelection();
}

} // namespace

void clearOwnedClipboard() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) {
        return;
    }
    for (const QClipboard::Mode mode : {QClipboard::Clipboard, QClipboard::Selection}) {
        if ((mode == QClipboard::Clipboard || clipboard->supportsSelection()) && ownedHere(*clipboard, mode)) {
            // Nothing in its place rather than cleared: a paste after a clear of the X clipboard
            // reads what the clear gave back, and the program would crash on it.
            clipboard->setMimeData(new QMimeData, mode);
        }
    }
}

} // namespace platform
