#pragma once

#include <QAbstractListModel>
#include <QString>

#include "store/FoundEntries.h"

// The entries Find listed, in the order it listed them, each with its line in the find results
// list (" 3     [2] text"). A search can list thousands of entries; the list view shows them
// straight from here.
class ResultLines : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    int count() const { return static_cast<int>(m_found.size()); }
    const FoundEntry& found(int row) const { return m_found.at(static_cast<std::size_t>(row)); }
    QString line(int row) const { return lineFor(found(row)); }

    // Adds entries after those already listed.
    void append(FoundEntries found);

    // The line of the results list that stands for an entry found.
    static QString lineFor(const FoundEntry& found);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    // The lines are made when the list shows them: most of a long list is never looked at. The
    // entries found are the member's text, overwritten when the results go.
    FoundEntries m_found;
};
