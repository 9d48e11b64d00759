#include "search/ResultLines.h"

#include <charconv>
#include <iterator>

#include "platform/core/NumberText.h"
#include "platform/core/Wipe.h"
#include "platform/qt/QtText.h"

ResultLines::~ResultLines() {
    for (FoundEntry& found : m_found) {
        platform::wipe(found.text);
    }
}

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

void ResultLines::append(std::vector<FoundEntry> found) {
    if (found.empty()) {
        return;
    }
    beginInsertRows(QModelIndex(), count(), count() + static_cast<int>(found.size()) - 1);
    if (m_found.empty()) {
        m_found = std::move(found);
    } else {
        m_found.insert(m_found.end(), std::make_move_iterator(found.begin()), std::make_move_iterator(found.end()));
    }
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
