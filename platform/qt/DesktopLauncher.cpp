#include "platform/qt/DesktopLauncher.h"

#include <QDesktopServices>
#include <QUrl>

#include "platform/core/Paths.h"
#include "platform/qt/QtText.h"
#include "platform/qt/WindowsShell.h"

namespace platform {

bool DesktopLauncher::shell(const std::string& commandLine, int windowStyle) {
#ifdef _WIN32
    return startFromCommandLine(commandLine, windowStyle);
#else
    (void)windowStyle; // the desktop decides how its editor's window opens
    static const std::string kEditor = "Notepad ";
    if (commandLine.rfind(kEditor, 0) != 0) {
        return false;
    }
    const std::string path = commandLine.substr(kEditor.size());
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(osPath(path))));
#endif
}

} // namespace platform
