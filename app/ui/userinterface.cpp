#include "app/ui/userinterface.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QUrl>

namespace vorlisk {

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
