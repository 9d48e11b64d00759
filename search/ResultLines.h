#pragma once

#include <QAbstractListModel>
#include <QStringList>

// The lines of the find results list, in the order Find listed them. A search can list
// thousands of entries; the list view shows them straight from here.
class ResultLines : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    int count() const { return static_cast<int>(m_lines.size()); }
    const QString& line(int row) const { return m_lines.at(row); }

    // Adds lines after those already listed.
    void append(const QStringList& lines);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    QStringList m_lines;
};
