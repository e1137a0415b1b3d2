#pragma once
// The two folders of pictures in the data folder, covers/ for the first picture box and snaps/
// for the second, listed off the window's thread and listed again when either changes.

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>
#include <array>
#include <string>
#include <thread>
#include <vector>

#include "import/covers.h"

namespace vorlisk {

class CoverFolders : public QObject {
    Q_OBJECT
  public:
    // `dataFolder` ends in a separator.
    CoverFolders(const std::string& dataFolder, QObject* parent);
    ~CoverFolders() override;

    // How long after start-up the folders are first listed.
    static constexpr int kFirstListingMs = 250;

    // Lists both folders again in the background; changed() tells when the new lists are in.
    void Refresh();
    // The picture for the box `index` (0 or 1) of the game known by `keys`, or the empty text.
    std::string Find(int index, const CoverKeys& keys) const;
    // The picture types looked for, in this order: those the picture loader can read.
    static const std::vector<std::string>& Extensions();

  signals:
    void changed();

  private:
    void Take(std::array<CoverFolder, 2> folders);
    void WatchFolders();

    std::string dataFolder_;
    std::array<std::string, 2> paths_;
    std::array<CoverFolder, 2> folders_;
    QFileSystemWatcher watcher_;
    QTimer settle_;  // a burst of changes (a copied folder of pictures) is listed once
    std::thread lister_;
    bool again_ = false;  // a change came while listing
};

}  // namespace vorlisk
