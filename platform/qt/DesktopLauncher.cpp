#include "platform/qt/DesktopLauncher.h"

#include <QDesktopServices>
#include <QUrl>

#include "platform/core/Paths.h"
#include "platform/qt/QtText.h"

namespace platform {

bool DesktopLauncher::shell(const std::string& commandLine, int windowStyle) {
    (void)windowStyle; // the desktop decides how its editor's window opens
    static const std::string kEditor = "Notepad ";
    if (commandLine.rfind(kEditor, 0) != 0) {
        return false;
    }
    const std::string path = commandLine.substr(kEditor.size());
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(osPath(path))));
}

} // namespace platform
