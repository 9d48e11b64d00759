#include "search/ResultLines.h"

#include <charconv>

#include "platform/core/NumberText.h"
#include "platform/qt/QtText.h"

QString ResultLines::lineFor(const FoundEntry& found) {
    std::string line = platform::str(found.page) + "     [";
    char number[24];
    line.append(number, std::to_chars(number, number + sizeof number, found.entry).ptr);
    line.append("] ");
    line.append(found.text);
    return platform::toQString(line);
}

void ResultLines::append(std::vector<FoundEntry> found) {
    if (found.empty()) {
        return;
    }
    beginInsertRows(QModelIndex(), count(), count() + static_cast<int>(found.size()) - 1);
    m_lines.reserve(m_lines.size() + static_cast<qsizetype>(found.size()));
    for (FoundEntry& entry : found) {
        m_lines.append(lineFor(entry));
        m_found.push_back(std::move(entry));
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
    return m_lines.at(index.row());
}
