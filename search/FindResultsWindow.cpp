#include "search/FindResultsWindow.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <algorithm>

#include "diary/DiaryWindow.h"
#include "platform/core/Unicode.h"
#include "platform/qt/CentreByOuterSize.h"
#include "platform/qt/FramePlacement.h"
#include "platform/qt/LayoutWatcher.h"
#include "platform/qt/Twips.h"
#include "platform/qt/WindowFont.h"
#include "platform/qt/WindowFrame.h"
#include "resources/ProgramIcon.h"
#include "search/ResultLines.h"
#include "store/MemberSession.h"

FindResultsWindow::FindResultsWindow(DiaryWindow& main) : QDialog(nullptr), m_main(main) {
    setObjectName(QStringLiteral("FindResultsWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(QString::fromLatin1(kCaption));
    setWindowIcon(resources::programIcon());
    setFont(platform::defaultWindowFont());
    createControls();
    resize(platform::twipsToPixelsX(FindResultsGeometry::kClientWidth),
           platform::twipsToPixelsY(FindResultsGeometry::kClientHeight));
    place();
    // Watching before the placement does, so that the controls follow where the placement puts
    // the window once its frame is known.
    m_layoutWatcher = new platform::LayoutWatcher(*this, [this] { layOutControls(); });
    m_placement = new platform::FramePlacement(*this, [this] { placeWindow(); });
}

void FindResultsWindow::createControls() {
    closeButton = new QPushButton(QStringLiteral("Close"), this);
    closeButton->setObjectName(QStringLiteral("closeButton"));

    columnHeader = new QLineEdit(QString::fromLatin1(kHeader), this);
    columnHeader->setObjectName(QStringLiteral("columnHeader"));
    columnHeader->setReadOnly(true);
    columnHeader->setFocusPolicy(Qt::ClickFocus);
    columnHeader->setFont(platform::namedFont("MS Sans Serif", 8.25, true));
    columnHeader->setAccessibleName(QStringLiteral("Columns"));

    openButton = new QPushButton(QStringLiteral("Open"), this);
    openButton->setObjectName(QStringLiteral("openButton"));
    openButton->setDefault(true);

    m_lines = new ResultLines(this);
    resultList = new QListView(this);
    resultList->setObjectName(QStringLiteral("resultList"));
    resultList->setAccessibleName(QStringLiteral("Entries found"));
    resultList->setModel(m_lines);
    resultList->setSelectionMode(QAbstractItemView::SingleSelection);
    resultList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // A long list is measured a part at a time, so that the window shows at once and stays
    // usable; each line keeps its own width, so the longest can be scrolled to. Measuring a line
    // takes its text through the font, which is slow: the part measured before the window shows
    // is what the list shows at once (see place()), the rest follows while the window is open.
    resultList->setLayoutMode(QListView::Batched);

    QWidget::setTabOrder(resultList, openButton);
    QWidget::setTabOrder(openButton, closeButton);
    resultList->setFocus();

    connect(openButton, &QPushButton::clicked, this, [this] { openResult(); });
    connect(closeButton, &QPushButton::clicked, this, [this] { closeResults(); });
    connect(resultList, &QListView::doubleClicked, this, [this] { openDoubleClickedResult(); });
}

void FindResultsWindow::place() {
    closeButton->setGeometry(platform::toPixels(m_geometry.closeButton));
    columnHeader->setGeometry(platform::toPixels(m_geometry.columnHeader));
    openButton->setGeometry(platform::toPixels(m_geometry.openButton));
    resultList->setGeometry(platform::toPixels(m_geometry.resultList));
    // No line is lower than the font, so this many cover the list's height.
    resultList->setBatchSize(std::max(resultList->height() / std::max(resultList->fontMetrics().height(), 1) + 1, 1));
}

void FindResultsWindow::load() {
    m_placement->place();
}

void FindResultsWindow::placeWindow() {
    const QMargins frame = platform::windowFrame(*this);
    const int frameWidth = frame.left() + frame.right();
    const double outerWidth = 0.75 * platform::pixelsToTwipsX(platform::outerSize(m_main).width());
    resize(std::max(platform::twipsToPixelsX(outerWidth) - frameWidth, 1),
           platform::twipsToPixelsY(FindResultsGeometry::kClientHeight));
    platform::centreByOuterSize(*this);
    m_layoutWatcher->layOut();
}

void FindResultsWindow::layOutControls() {
    const QSize outer = platform::outerSize(*this);
    m_geometry = m_geometry.resized(platform::pixelsToTwipsX(outer.width()), platform::pixelsToTwipsY(outer.height()));
    place();
}

void FindResultsWindow::openResult() {
    if (m_lines->count() == 0) {
        return;
    }
    const QModelIndexList selected = resultList->selectionModel()->selectedIndexes();
    const FoundEntry& found = m_lines->found(selected.isEmpty() ? 0 : selected.first().row());
    m_main.showPage(found.page);

    // The page view selects the text where it first stands on the page, as the member searched
    // for it now.
    const auto at = platform::findIgnoringCase(m_main.pageText(), m_main.session().searchText());
    if (!at) {
        return;
    }
    close();
    m_main.showFoundText(at->offset, at->length);
}

void FindResultsWindow::closeResults() {
    close();
}

void FindResultsWindow::openDoubleClickedResult() {
    openButton->click();
    close();
}

void FindResultsWindow::reject() {
    // Esc presses the cancel button.
    closeButton->click();
}

void FindResultsWindow::closeEvent(QCloseEvent* event) {
    // Closing always unloads the window; there is nothing to confirm.
    event->accept();
    if (!m_unloaded) {
        m_unloaded = true;
        emit unloaded();
    }
}
