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

// Counts the raises of a window (each sends it a ZOrderChange event).
class RaiseCounter final : public QObject {
public:
    int raises = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::ZOrderChange)
            ++raises;
        return false;
    }
};

// The main window is shown after the splash and, without a window manager to
// honour the stay-on-top wish, would cover it: the splash raises itself again.
TEST_F(SplashForm, StaysAboveTheMainWindowUntilItCloses)
{
    QPointer<TSplashForm> splash = new TSplashForm;
    QWidget main;
    RaiseCounter counter;
    splash->installEventFilter(&counter);
    splash->show();
    splash->StayAbove(main);
    main.show();
    QCoreApplication::processEvents();
    EXPECT_GE(counter.raises, 1) << "raised after the main window was shown";
    const int shown = counter.raises;
    main.raise();
    QCoreApplication::processEvents();
    EXPECT_GT(counter.raises, shown) << "raised after the main window was raised";

    splash->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(splash.isNull());
    main.raise(); // the closed splash no longer watches
    main.hide();
    main.show();
    QCoreApplication::processEvents();
}

} // namespace
} // namespace orbita
