#include "app/ui/widgets.h"

#include <QBuffer>
#include <QImageReader>
#include <QMouseEvent>
#include <QPixmap>

#include "system/files.h"

namespace vorlisk {

namespace {
constexpr size_t kLargestPicture = 256u << 20;
}

ClickableLabel::ClickableLabel(QWidget* parent) : QLabel(parent) {}

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

void ClickableLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit doubleClicked();
    QLabel::mouseDoubleClickEvent(event);
}

PictureBox::PictureBox(QWidget* parent) : ClickableLabel(parent) {
    setScaledContents(true);
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
}

bool PictureBox::LoadPicture(const std::string& path) {
    clear();
    showsPicture_ = false;
    if (path.empty()) return true;
    // Read by the path's bytes: a name that is not UTF-8 has no QString that finds the file.
    std::optional<std::string> content = ReadFileBytes(path, kLargestPicture);
    if (!content) return false;
    QByteArray bytes =
        QByteArray::fromRawData(content->data(), static_cast<qsizetype>(content->size()));
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    QImage image = reader.read();
    if (image.isNull()) return false;
    setPixmap(QPixmap::fromImage(image));
    showsPicture_ = true;
    return true;
}

}  // namespace vorlisk
