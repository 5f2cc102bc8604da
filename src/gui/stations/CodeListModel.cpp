#include "stations/CodeListModel.h"

void CodeListModel::fillOnce(Stations::CodeHalf half)
{
    if (m_codes.count() > 0)
        return;
    beginResetModel();
    m_codes = Stations::EmbeddedCodes(half);
    endResetModel();
}

int CodeListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_codes.count());
}

QVariant CodeListModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid) || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return m_codes.at(index.row());
}
