#include <gtest/gtest.h>

#include <QApplication>
#include <QStyleFactory>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Under Wine the offscreen platform draws with the font files that the test run names
    // (Wine passes no QT_ variable on to the program).
    if (qEnvironmentVariableIsSet("VORLISK_TEST_FONTS"))
        qputenv("QT_QPA_FONTDIR", qgetenv("VORLISK_TEST_FONTS"));
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
