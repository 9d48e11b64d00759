#include <QCloseEvent>

#include "diary/DiaryWindow.h"
#include "platform/qt/ReportFailure.h"
#include "store/MemberSession.h"

void DiaryWindow::saveCaptionsAndExit() {
    try {
        m_module.saveCaptions();
    } catch (const std::exception& e) {
        platform::reportFailure("The page captions cannot be saved. Jotterel closes without saving them.", e);
    }
    close();
}

void DiaryWindow::closeEvent(QCloseEvent* event) {
    // Whatever closes the main window ends the program at once; nothing more is written.
    endProgram();
    event->accept();
}
