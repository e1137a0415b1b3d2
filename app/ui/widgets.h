#pragma once
// Small controls the windows are built from.

#include <QLabel>
#include <string>

namespace vorlisk {

// A label that reports clicks and double clicks.
class ClickableLabel : public QLabel {
    Q_OBJECT
  public:
    explicit ClickableLabel(QWidget* parent = nullptr);

  signals:
    void clicked();
    void doubleClicked();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

// A picture stretched to its box, with the path of the picture it shows as its tag.
class PictureBox : public ClickableLabel {
    Q_OBJECT
  public:
    explicit PictureBox(QWidget* parent = nullptr);

    std::string tag;  // bytes, as the record holds them
    // Shows the picture of the file at `path`. The empty path, and a file that cannot be loaded,
    // leave the box empty. False when loading failed.
    bool LoadPicture(const std::string& path);
    // True while the box shows a picture that LoadPicture loaded.
    bool ShowsPicture() const { return showsPicture_; }

  private:
    bool showsPicture_ = false;
};

}  // namespace vorlisk
