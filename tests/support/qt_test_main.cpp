#include <QApplication>
#include <gtest/gtest.h>

// Qt tests run inside one QApplication, on the offscreen platform unless the
// environment names another.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The main and launcher windows send their start notification to the
    // update service: in tests a closed port on loopback, never the network.
    if (qEnvironmentVariableIsEmpty("ORBITA_UPDATE_URL"))
        qputenv("ORBITA_UPDATE_URL", "http://127.0.0.1:9/support_orb3");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
