#include "inventory/ui/gamelistmodel.h"

#include "app/ui/text.h"

namespace vorlisk {

GameListModel::GameListModel(GameLists& lists, QObject* parent)
    : QAbstractListModel(parent), lists_(lists) {}

int GameListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : lists_.Count();
}

QVariant GameListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= lists_.Count()) return {};
    if (role == Qt::DisplayRole) return ToQt(lists_.Name(index.row()));
    return {};
}

void GameListModel::RemoveGame(int row) {
    if (row < 0 || row >= lists_.Count()) return;
    beginRemoveRows(QModelIndex(), row, row);
    lists_.RemoveGame(row);
    endRemoveRows();
}

}  // namespace vorlisk
