#include "platform/qt/PageViewAccessible.h"

#include "platform/qt/PageView.h"
#include "platform/qt/QtText.h"

namespace platform {
namespace {

QAccessibleInterface* pageViewInterface(const QString& className, QObject* object) {
    if (className == QLatin1String(PageView::staticMetaObject.className()) && object && object->isWidgetType()) {
        return new PageViewAccessible(static_cast<PageView*>(object));
    }
    return nullptr;
}

} // namespace

void installPageViewAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(pageViewInterface);
        return true;
    }();
    (void)installed;
}

PageViewAccessible::PageViewAccessible(PageView* view) : QAccessibleWidget(view, QAccessible::EditableText) {
}

PageView* PageViewAccessible::view() const {
    return static_cast<PageView*>(widget());
}

void* PageViewAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TextInterface) {
        return static_cast<QAccessibleTextInterface*>(this);
    }
    return QAccessibleWidget::interface_cast(type);
}

QAccessible::State PageViewAccessible::state() const {
    QAccessible::State s = QAccessibleWidget::state();
    s.readOnly = true;
    s.multiLine = true;
    s.selectableText = true;
    return s;
}

QString PageViewAccessible::text(QAccessible::Text t) const {
    if (t == QAccessible::Value) {
        return toQString(view()->text());
    }
    return QAccessibleWidget::text(t);
}

void PageViewAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const {
    *startOffset = *endOffset = 0;
    if (selectionIndex == 0 && view()->selLength() > 0) {
        *startOffset = static_cast<int>(view()->selStart());
        *endOffset = static_cast<int>(view()->selStart() + view()->selLength());
    }
}

int PageViewAccessible::selectionCount() const {
    return view()->selLength() > 0 ? 1 : 0;
}

void PageViewAccessible::addSelection(int startOffset, int endOffset) {
    setSelection(0, startOffset, endOffset);
}

void PageViewAccessible::removeSelection(int selectionIndex) {
    if (selectionIndex == 0) {
        view()->select(view()->caretOffset(), 0);
    }
}

void PageViewAccessible::setSelection(int selectionIndex, int startOffset, int endOffset) {
    if (selectionIndex != 0 || startOffset < 0 || endOffset < startOffset) {
        return;
    }
    view()->select(static_cast<std::size_t>(startOffset), static_cast<std::size_t>(endOffset - startOffset));
}

int PageViewAccessible::cursorPosition() const {
    return static_cast<int>(view()->caretOffset());
}

void PageViewAccessible::setCursorPosition(int position) {
    view()->select(static_cast<std::size_t>(std::max(position, 0)), 0);
}

QString PageViewAccessible::text(int startOffset, int endOffset) const {
    if (startOffset < 0 || endOffset <= startOffset) {
        return {};
    }
    return toQString(view()->textBetween(static_cast<std::size_t>(startOffset), static_cast<std::size_t>(endOffset)));
}

std::pair<int, int> PageViewAccessible::unitAt(int offset, QAccessible::TextBoundaryType boundaryType) const {
    PageView& v = *view();
    const std::size_t at = std::min(static_cast<std::size_t>(std::max(offset, 0)), v.length());
    std::pair<std::size_t, std::size_t> unit;
    switch (boundaryType) {
    case QAccessible::CharBoundary:
        unit = {at, v.nextOffset(at)};
        break;
    case QAccessible::WordBoundary:
        unit = v.wordAt(at);
        break;
    case QAccessible::NoBoundary:
        unit = {0, v.length()};
        break;
    default: // a sentence, a paragraph or a line: an entry's line of the text
        unit = v.lineAt(at);
        break;
    }
    return {static_cast<int>(unit.first), static_cast<int>(unit.second)};
}

QString PageViewAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                                         int* endOffset) const {
    const auto [start, end] = unitAt(offset, boundaryType);
    *startOffset = start;
    *endOffset = end;
    return text(start, end);
}

QString PageViewAccessible::textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                                             int* endOffset) const {
    const int start = unitAt(offset, boundaryType).first;
    if (start <= 0) {
        *startOffset = *endOffset = 0;
        return {};
    }
    return textAtOffset(start - 1, boundaryType, startOffset, endOffset);
}

QString PageViewAccessible::textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                                            int* endOffset) const {
    const int end = unitAt(offset, boundaryType).second;
    if (end >= characterCount()) {
        *startOffset = *endOffset = characterCount();
        return {};
    }
    return textAtOffset(end, boundaryType, startOffset, endOffset);
}

int PageViewAccessible::characterCount() const {
    return static_cast<int>(view()->length());
}

QRect PageViewAccessible::characterRect(int offset) const {
    const QRect r = view()->offsetRect(static_cast<std::size_t>(std::max(offset, 0)));
    if (r.isEmpty()) {
        return {};
    }
    return QRect(view()->viewport()->mapToGlobal(r.topLeft()), r.size());
}

int PageViewAccessible::offsetAtPoint(const QPoint& point) const {
    const QPoint inView = view()->viewport()->mapFromGlobal(point);
    if (!view()->viewport()->rect().contains(inView)) {
        return -1;
    }
    return static_cast<int>(view()->offsetAt(inView));
}

void PageViewAccessible::scrollToSubstring(int startIndex, int endIndex) {
    view()->scrollToOffset(static_cast<std::size_t>(std::max(endIndex, 0)));
    view()->scrollToOffset(static_cast<std::size_t>(std::max(startIndex, 0)));
}

QString PageViewAccessible::attributes(int offset, int* startOffset, int* endOffset) const {
    // One font and one colour for the whole text.
    (void)offset;
    *startOffset = 0;
    *endOffset = characterCount();
    return {};
}

} // namespace platform
