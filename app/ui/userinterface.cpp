#include "app/ui/userinterface.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QInputDialog>
#include <QMessageBox>
#include <QSortFilterProxyModel>
#include <QUrl>

namespace vorlisk {

namespace {
// The files of a chooser's folder that may run, and every folder; all files while off.
class ProgramFilesOnly : public QSortFilterProxyModel {
  public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    void SetOn(bool on) {
        on_ = on;
        invalidateFilter();
    }

  protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        auto* files = qobject_cast<QFileSystemModel*>(sourceModel());
        if (!on_ || !files) return true;
        QFileInfo file = files->fileInfo(files->index(row, 0, parent));
        return file.isDir() || file.isExecutable();
    }
    // Folders first, as the chooser lists them without a filter.
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override {
        auto* files = qobject_cast<QFileSystemModel*>(sourceModel());
        if (files && files->isDir(left) != files->isDir(right)) return files->isDir(left);
        return QSortFilterProxyModel::lessThan(left, right);
    }

  private:
    bool on_ = true;
};
}  // namespace

void QtUserInterface::ShowMessage(QWidget* owner, const QString& text, const QString& title,
                                  MessageIcon icon) {
    QMessageBox::Icon shown = icon == MessageIcon::Information   ? QMessageBox::Information
                              : icon == MessageIcon::Exclamation ? QMessageBox::Warning
                                                                 : QMessageBox::Question;
    QMessageBox box(shown, title, text, QMessageBox::Ok, owner);
    box.exec();
}

bool QtUserInterface::AskYesNo(QWidget* owner, const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, owner);
    return box.exec() == QMessageBox::Yes;
}

QString QtUserInterface::InputBox(QWidget* owner, const QString& prompt, const QString& title,
                                  const QString& text) {
    bool ok = false;
    QString answer = QInputDialog::getText(owner, title, prompt, QLineEdit::Normal, text, &ok);
    return ok ? answer : QString();
}

QString QtUserInterface::ChooseFile(QWidget* owner, const QStringList& filters,
                                    const QString& title, const QString& startIn) {
    QFileDialog dialog(owner, title, startIn);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilters(filters);
    if (filters.contains(kProgramFilesFilter)) {
        // Which files may run is no name pattern: Qt's own chooser lists them through a filter.
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        auto* programs = new ProgramFilesOnly(&dialog);
        dialog.setProxyModel(programs);
        QObject::connect(
            &dialog, &QFileDialog::filterSelected, programs,
            [programs](const QString& filter) { programs->SetOn(filter == kProgramFilesFilter); });
        programs->SetOn(filters.first() == kProgramFilesFilter);
    }
    if (!filters.isEmpty()) dialog.selectNameFilter(filters.first());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first();
}

QString QtUserInterface::ChooseFolder(QWidget* owner, const QString& title) {
    return QFileDialog::getExistingDirectory(owner, title);
}

void QtUserInterface::OpenAddress(const QString& address) {
    QDesktopServices::openUrl(QUrl(address));
}

void QtUserInterface::EndProgram() { QApplication::exit(0); }

}  // namespace vorlisk
