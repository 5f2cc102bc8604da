#pragma once

#include "stations/StationTable.h"

#include <QAbstractListModel>

/// One embedded code list for a list view. The view asks for the codes it draws, a screenful at a time;
/// the others stay bytes in the program's data.
class CodeListModel final : public QAbstractListModel
{
public:
    using QAbstractListModel::QAbstractListModel;

    /// Reads @p half the first time only: its codes never change while the program runs.
    void fillOnce(Stations::CodeHalf half);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    Stations::EmbeddedCodes m_codes;
};
