#include "search/ResultLines.h"

void ResultLines::Append(const QStringList& lines) {
    if (lines.isEmpty()) {
        return;
    }
    beginInsertRows(QModelIndex(), Count(), Count() + static_cast<int>(lines.size()) - 1);
    m_lines.append(lines);
    endInsertRows();
}

int ResultLines::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Count();
}

QVariant ResultLines::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= Count()) {
        return {};
    }
    return m_lines.at(index.row());
}
