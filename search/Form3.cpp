#include "search/Form3.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>

#include "diary/Form1.h"
#include "platform/core/NumberText.h"
#include "platform/core/Unicode.h"
#include "platform/qt/Ansi.h"
#include "platform/qt/TextBox.h"
#include "platform/qt/Twips.h"
#include "platform/qt/WindowFont.h"
#include "resources/ProgramIcon.h"
#include "search/ResultLines.h"
#include "store/Module1.h"

namespace {

QRect pixels(const TwipsRect& r) {
    return platform::TwipsRect(r.left, r.top, r.width, r.height);
}

} // namespace

Form3::Form3(Form1& main) : QDialog(nullptr), m_main(main) {
    setObjectName(QStringLiteral("Form3"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(QString::fromLatin1(kCaption));
    setWindowIcon(resources::ProgramIcon());
    setFont(platform::DefaultWindowFont());
    createControls();
    resize(platform::TwipsToPixelsX(Form3Geometry::kClientWidth),
           platform::TwipsToPixelsY(Form3Geometry::kClientHeight));
    place();
}

void Form3::createControls() {
    Command2 = new QPushButton(QStringLiteral("Close"), this);
    Command2->setObjectName(QStringLiteral("Command2"));

    Text1 = new QLineEdit(QString::fromLatin1(kHeader), this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setReadOnly(true);
    Text1->setFocusPolicy(Qt::ClickFocus);
    Text1->setFont(platform::NamedFont("MS Sans Serif", 8.25, true));
    Text1->setAccessibleName(QStringLiteral("Columns"));

    Command1 = new QPushButton(QStringLiteral("Open"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);

    m_lines = new ResultLines(this);
    List1 = new QListView(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setAccessibleName(QStringLiteral("Entries found"));
    List1->setModel(m_lines);
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    List1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // A long list is measured a part at a time, so that the window shows at once and stays
    // usable; each line keeps its own width, so the longest can be scrolled to.
    List1->setLayoutMode(QListView::Batched);

    QWidget::setTabOrder(List1, Command1);
    QWidget::setTabOrder(Command1, Command2);
    List1->setFocus();

    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(List1, &QListView::doubleClicked, this, [this] { List1_DblClick(); });
}

void Form3::place() {
    Command2->setGeometry(pixels(m_geometry.Command2));
    Text1->setGeometry(pixels(m_geometry.Text1));
    Command1->setGeometry(pixels(m_geometry.Command1));
    List1->setGeometry(pixels(m_geometry.List1));
}

void Form3::Form_Load() {
    // This window's frame is not known before it is first shown; the main window's frame is
    // the same kind of frame.
    const QRect mainOuter = m_main.frameGeometry();
    const int frameWidth = mainOuter.width() - m_main.width();
    const int frameHeight = mainOuter.height() - m_main.height();
    const double outerWidth = 0.75 * platform::PixelsToTwipsX(mainOuter.width());
    const double outerHeight = Form3Geometry::kClientHeight + platform::PixelsToTwipsY(frameHeight);
    resize(std::max(platform::TwipsToPixelsX(outerWidth) - frameWidth, 1),
           platform::TwipsToPixelsY(Form3Geometry::kClientHeight));
    platform::CentreOnScreen(*this, outerWidth, outerHeight);
}

void Form3::Form_Resize() {
    const QRect outer = frameGeometry();
    m_geometry = m_geometry.Resized(platform::PixelsToTwipsX(outer.width()), platform::PixelsToTwipsY(outer.height()));
    place();
}

void Form3::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    Form_Resize();
}

void Form3::Command1_Click() {
    QString line;
    const QModelIndexList selected = List1->selectionModel()->selectedIndexes();
    if (!selected.isEmpty()) {
        line = m_lines->Line(selected.first().row());
    }
    if (line.isEmpty() && m_lines->Count() > 0) {
        line = m_lines->Line(0);
    }
    if (line.isEmpty()) {
        return;
    }
    // The page number stands in the first three characters: a space and one or two digits.
    const double page = platform::Val(platform::FromQString(line.left(3)));
    if (!(page >= 1 && page <= Module1::kPageCount)) {
        return;
    }
    const int index =
        m_main.Combo1->findText(platform::ToQString("Page" + platform::Str(static_cast<long long>(page))));
    if (index < 0) {
        return;
    }
    m_main.Combo1->setCurrentIndex(index);

    const auto found = platform::FindIgnoringCase(m_main.Text1->Text(), m_main.module().SearchText());
    if (!found) {
        return;
    }
    close();
    focusPageView();
    m_main.Text1->Select(found->offset, found->length);
}

void Form3::focusPageView() {
    // A minimised diary comes back so that the member sees the selection. A hidden one cannot
    // take the focus now; the page view gets it when the window shows again.
    if (m_main.isVisible()) {
        if (m_main.isMinimized()) {
            m_main.setWindowState(m_main.windowState() & ~Qt::WindowMinimized);
        }
        m_main.raise();
        m_main.activateWindow();
    }
    m_main.Text1->setFocus();
}

void Form3::Command2_Click() {
    close();
}

void Form3::List1_DblClick() {
    Command1->click();
    close();
}

void Form3::reject() {
    // Esc presses the cancel button.
    Command2->click();
}

void Form3::closeEvent(QCloseEvent* event) {
    // Closing always unloads the window; there is nothing to confirm.
    event->accept();
    if (!m_unloaded) {
        m_unloaded = true;
        emit unloaded();
    }
}
