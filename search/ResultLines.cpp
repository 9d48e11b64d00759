#include "search/ResultLines.h"

#include <charconv>

#include "platform/core/NumberText.h"
#include "platform/core/Wipe.h"
#include "platform/qt/QtText.h"

QString ResultLines::lineFor(const FoundEntry& found) {
    std::string line = platform::str(found.page) + "     [";
    char number[24];
    line.append(number, std::to_chars(number, number + sizeof number, found.entry).ptr);
    line.append("] ");
    line.append(found.text);
    QString shown = platform::toQString(line);
    platform::wipe(line);
    return shown;
}

void ResultLines::append(FoundEntries found) {
    if (found.empty()) {
        return;
    }
    beginInsertRows(QModelIndex(), count(), count() + static_cast<int>(found.size()) - 1);
    m_found.append(std::move(found));
    endInsertRows();
}

int ResultLines::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

QVariant ResultLines::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= count()) {
        return {};
    }
    return lineFor(m_found[static_cast<std::size_t>(index.row())]);
}
