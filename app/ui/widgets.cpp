#include "app/ui/widgets.h"

#include <QImageReader>
#include <QMouseEvent>
#include <QPixmap>

namespace vorlisk {

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

bool PictureBox::LoadPicture(const QString& path) {
    if (path.isEmpty()) {
        clear();
        return true;
    }
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    QImage image = reader.read();
    if (image.isNull()) return false;
    setPixmap(QPixmap::fromImage(image));
    return true;
}

}  // namespace vorlisk
