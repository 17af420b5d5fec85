#include "sitedb/SearchTableModel.h"

#include <QLocale>

using namespace Qt::StringLiterals;

QString ShownAlexa(const SqlText& alexa)
{
    if (!alexa)
        return {};
    if (*alexa == u"0")
        return u"no data"_s;
    // "###,###": whole numbers with thousands grouping, a zero value shows nothing, and a text
    // that is no number shows as it is.
    bool ok = false;
    const double value = alexa->toDouble(&ok);
    if (!ok)
        return *alexa;
    const qint64 whole = qRound64(value);
    return whole == 0 ? QString() : QLocale(QLocale::English, QLocale::UnitedStates).toString(whole);
}

void SearchTableModel::ShowRows(QList<SiteRow> shown)
{
    beginResetModel();
    rows = std::move(shown);
    endResetModel();
}

QString SearchTableModel::CellText(int row, int column) const
{
    if (row < 0 || row >= rows.size())
        return {};
    const SiteRow& site = rows.at(row);
    switch (column) {
    case ID:
        return QString::number(row + 1);
    case URL:
        return site.URL.value_or(QString());
    case Title:
        return site.Title.value_or(QString());
    case Description:
        return site.Description.value_or(QString());
    case Keyword:
        return site.Keyword.value_or(QString());
    case PR:
        return site.PR.value_or(QString());
    case Alexa:
        return ShownAlexa(site.Alexa);
    default:
        return {};
    }
}

int SearchTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(rows.size());
}

int SearchTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant SearchTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return CellText(index.row(), index.column());
    if (role == Qt::TextAlignmentRole && (index.column() == PR || index.column() == Alexa))
        return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
    return {};
}

QVariant SearchTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const QStringList captions{u"ID"_s,      u"URL"_s, u"Title"_s, u"Description"_s,
                                      u"Keyword"_s, u"PR"_s,  u"Alexa"_s};
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return captions.at(section);
    if (role == Qt::TextAlignmentRole && (section == PR || section == Alexa))
        return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
    return {};
}
