#include "import/ui/coverfolders.h"

#include <QFileInfo>
#include <QImageReader>

#include "app/ui/text.h"

namespace vorlisk {

namespace {
// How long the folders must stay unchanged before they are listed again.
constexpr int kSettleMs = 300;
}  // namespace

CoverFolders::CoverFolders(const std::string& dataFolder, QObject* parent)
    : QObject(parent), dataFolder_(dataFolder) {
    const char separator = dataFolder.empty() ? '/' : dataFolder.back();
    paths_ = {dataFolder + "covers" + separator, dataFolder + "snaps" + separator};
    settle_.setSingleShot(true);
    settle_.setInterval(kSettleMs);
    connect(&settle_, &QTimer::timeout, this, &CoverFolders::Refresh);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, &settle_,
            qOverload<>(&QTimer::start));
}

CoverFolders::~CoverFolders() {
    if (lister_.joinable()) lister_.join();
}

const std::vector<std::string>& CoverFolders::Extensions() {
    static const std::vector<std::string> extensions = [] {
        std::vector<std::string> found;
        const QList<QByteArray> readable = QImageReader::supportedImageFormats();
        for (const char* type : {"png", "jpg", "jpeg", "bmp", "gif", "webp"})
            if (readable.contains(type)) found.push_back(std::string(".") + type);
        return found;
    }();
    return extensions;
}

void CoverFolders::Refresh() {
    if (lister_.joinable()) {
        again_ = true;
        return;
    }
    const std::array<std::string, 2> paths = paths_;
    lister_ = std::thread([this, paths] {
        std::array<CoverFolder, 2> folders = {CoverFolder::List(paths[0]),
                                              CoverFolder::List(paths[1])};
        QMetaObject::invokeMethod(
            this, [this, listed = std::move(folders)]() mutable { Take(std::move(listed)); },
            Qt::QueuedConnection);
    });
}

void CoverFolders::Take(std::array<CoverFolder, 2> folders) {
    lister_.join();
    folders_ = std::move(folders);
    WatchFolders();
    if (again_) {
        again_ = false;
        Refresh();
    }
    emit changed();
}

void CoverFolders::WatchFolders() {
    // A folder that is not there yet is seen coming through the data folder.
    QStringList wanted;
    bool missing = false;
    for (const std::string& path : paths_) {
        QString folder = ToQt(path);
        if (QFileInfo(folder).isDir())
            wanted << folder;
        else
            missing = true;
    }
    if (missing) wanted << ToQt(dataFolder_);
    const QStringList watched = watcher_.directories();
    for (const QString& folder : watched)
        if (!wanted.contains(folder)) watcher_.removePath(folder);
    for (const QString& folder : wanted)
        if (!watched.contains(folder)) watcher_.addPath(folder);
}

std::string CoverFolders::Find(int index, const CoverKeys& keys) const {
    if (index < 0 || index > 1) return {};
    return folders_[static_cast<size_t>(index)].Find(keys, Extensions());
}

}  // namespace vorlisk
