#include "search/ResultLines.h"

void ResultLines::append(const QStringList& lines) {
    if (lines.isEmpty()) {
        return;
    }
    beginInsertRows(QModelIndex(), count(), count() + static_cast<int>(lines.size()) - 1);
    m_lines.append(lines);
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
