#pragma once

#include "core/registry.h"
#include "tests/platform/platform_test_environment.h"
#include "tests/support/picture_compare.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QWidget>

namespace orbita::test {

inline const char* const kAdministratorKey = "Software\\Orbita\\Administrator";

// A fresh store with Administrator logged in; no window may be left open.
class DialogsTest : public PlatformTest {
protected:
    void SetUp() override
    {
        PlatformTest::SetUp();
        WriteRegString(Hive::CurrentUser, "Software\\Orbita", "User", "Administrator");
    }
    void TearDown() override
    {
        for (QWidget* widget : QApplication::topLevelWidgets())
            EXPECT_FALSE(widget->isVisible()) << widget->objectName().toStdString() << " left open";
    }
};

// The picture shown by a label, and a resource picture, in one format
// (compared with PicturesMatch: converting rounds differently on other processors).
inline QImage shownImage(const QLabel& label)
{
    return label.pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
}
inline QImage resourceImage(const char* name)
{
    return QImage(QStringLiteral(":/res/") + QString::fromLatin1(name) + QStringLiteral(".png"))
        .convertToFormat(QImage::Format_ARGB32);
}

} // namespace orbita::test
