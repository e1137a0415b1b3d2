#include <QApplication>
#include <QStyleFactory>

#include "app/ui/formGameInventory.h"
#include "app/ui/userinterface.h"
#include "system/services.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // Fusion draws the back colour that marks unsaved edits on every platform.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setApplicationName(QStringLiteral("Vorlisk"));

    vorlisk::LetOversizedWritesFail();
    vorlisk::PlatformServices system;
    vorlisk::QtUserInterface ui;
    vorlisk::formGameInventory window(system, ui);
    if (!window.Form_Load()) return 0;
    window.show();
    return app.exec();
}
