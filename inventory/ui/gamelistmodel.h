#pragma once
// The game list as the list control shows it: the names of the catalogue, in their order.

#include <QAbstractListModel>

#include "inventory/gamelists.h"

namespace vorlisk {

class GameListModel : public QAbstractListModel {
    Q_OBJECT
  public:
    GameListModel(GameLists& lists, QObject* parent);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // Around any change to the lists other than removing one game.
    void BeginChange() { beginResetModel(); }
    void EndChange() { endResetModel(); }
    void RemoveGame(int row);

  private:
    GameLists& lists_;
};

}  // namespace vorlisk
