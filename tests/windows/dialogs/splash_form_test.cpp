#include "tests/windows/dialogs/dialogs_test_support.h"
#include "windows/dialogs/splash_form.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <climits>

namespace orbita {
namespace {

using SplashForm = test::DialogsTest;

TEST_F(SplashForm, PictureAndNoticeAsDesigned)
{
    auto* splash = new TSplashForm;
    EXPECT_EQ(splash->objectName(), QStringLiteral("SplashForm"));
    const Qt::WindowFlags flags = splash->windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(splash->size(), QSize(600, 180));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_LE((splash->geometry().center() - screen.center()).manhattanLength(), 2) << "centred";

    EXPECT_EQ(splash->SplashImage->geometry(), QRect(0, 0, 600, 180));
    EXPECT_TRUE(test::PicturesMatch(test::shownImage(*splash->SplashImage), test::resourceImage("SPLASH")));

    QLabel& notice = *splash->PrawaEtykieta;
    EXPECT_EQ(notice.geometry(), QRect(112, 115, 377, 57));
    EXPECT_TRUE(notice.wordWrap());
    EXPECT_TRUE(notice.alignment().testFlag(Qt::AlignHCenter));
    EXPECT_FALSE(notice.autoFillBackground());
    EXPECT_EQ(notice.font().family(), QStringLiteral("Tahoma"));
    EXPECT_EQ(notice.font().pointSize(), 8);
    EXPECT_TRUE(notice.font().bold());
    EXPECT_EQ(notice.palette().color(QPalette::WindowText), QColor(Qt::white));
    EXPECT_TRUE(notice.text().contains(QStringLiteral("kopiowanie"), Qt::CaseInsensitive));
    const QRect needed
        = QFontMetrics(notice.font())
              .boundingRect(QRect(0, 0, 377, INT_MAX), Qt::TextWordWrap | Qt::AlignHCenter, notice.text());
    EXPECT_LE(needed.height(), 57) << "the notice fits its label";

    // The entry's use: shown and painted at once, later closed by the main
    // window; a closed splash frees itself.
    QPointer<TSplashForm> watch = splash;
    splash->show();
    splash->repaint();
    EXPECT_TRUE(splash->isVisible());
    splash->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(watch.isNull());
}

} // namespace
} // namespace orbita
