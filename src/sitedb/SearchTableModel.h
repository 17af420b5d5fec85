#pragma once
// The rows of a search table as the search window's list shows them: the 1-based ID, the stored
// texts, an empty cell for NULL, and the traffic rank as "no data" or with thousands grouping.

#include "sitedb/SiteDatabase.h"

#include <QAbstractTableModel>

// The Alexa cell of a stored traffic rank.
QString ShownAlexa(const SqlText& alexa);

class SearchTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { ID, URL, Title, Description, Keyword, PR, Alexa, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    // ShowSearchTable: the list holds exactly these rows, in this order.
    void ShowRows(QList<SiteRow> rows);
    void Clear() { ShowRows({}); }
    // The text of one cell, as shown.
    QString CellText(int row, int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QList<SiteRow> rows;
};
