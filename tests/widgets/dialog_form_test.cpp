#include "core/registry.h"
#include "platform/scripted_ui_services.h"
#include "platform/ui_services.h"
#include "platform/window_services.h"
#include "tests/platform/platform_test_environment.h"
#include "widgets/dialog_form.h"

#include <QApplication>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

namespace orbita {
namespace {

const char* const kProfile = "Software\\Orbita\\Administrator";
const char* const kPlacement = "Software\\Orbita\\Administrator\\Placement";

class CountingForm final : public TDialogForm {
public:
    explicit CountingForm(const char* name = "HelpForm", bool sizeable = true)
    {
        setObjectName(QString::fromLatin1(name));
        setTitle(QStringLiteral("Pomoc"));
        setSizeable(sizeable);
        edit = new QLineEdit(body());
        bodyLayout()->addWidget(edit);
        bodyLayout()->addStretch();
        resize(300, 326);
    }

    int help = 0;
    int find = 0;
    int appearance = 0;
    QLineEdit* edit = nullptr;

protected:
    void helpRequested() override { ++help; }
    void findRequested() override { ++find; }
    void appearanceRequested() override { ++appearance; }
};

class DialogForm : public test::PlatformTest {
protected:
    void SetUp() override
    {
        PlatformTest::SetUp();
        WriteRegString(Hive::CurrentUser, "Software\\Orbita", "User", "Administrator");
        WriteRegInteger(Hive::CurrentUser, kProfile, "SaveWindowsPlacement", 1);
    }
    void TearDown() override { EXPECT_TRUE(noVisibleWindows()); }

    static bool noVisibleWindows()
    {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget->isVisible())
                return false;
        return true;
    }
    static int placement(const char* name) { return ReadRegInteger(Hive::CurrentUser, kPlacement, name); }
};

TEST_F(DialogForm, TitlePanelShowsTheWindowTitle)
{
    CountingForm form;
    EXPECT_EQ(form.titlePanel()->objectName(), QStringLiteral("TytulOknaPanel"));
    EXPECT_EQ(form.titlePanel()->text(), QStringLiteral("Pomoc"));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Pomoc"));
    form.setWindowTitle(QStringLiteral("Tablice chemiczne"));
    EXPECT_EQ(form.titlePanel()->text(), QStringLiteral("Tablice chemiczne"));
    form.setTitle(QStringLiteral("Słownik"));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Słownik"));
    EXPECT_EQ(form.title(), QStringLiteral("Słownik"));
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::FramelessWindowHint));
    const QFont caption = form.titlePanel()->font();
    EXPECT_EQ(caption.family(), QStringLiteral("Tahoma"));
    EXPECT_EQ(caption.pixelSize(), 13);
    EXPECT_TRUE(caption.bold());
}

TEST_F(DialogForm, KeysArePreviewedBeforeTheFocusedChild)
{
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int help, find, appearance;
        bool closes;
        bool maximised;
    } cases[] = {
        { Qt::Key_F1, Qt::NoModifier, 1, 0, 0, false, false },
        { Qt::Key_F, Qt::ControlModifier, 0, 1, 0, false, false },
        { Qt::Key_U, Qt::ControlModifier, 0, 0, 1, false, false },
        { Qt::Key_F, Qt::NoModifier, 0, 0, 0, false, false },
        { Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier, 0, 0, 0, false, false },
        { Qt::Key_U, Qt::AltModifier, 0, 0, 0, false, false },
        { Qt::Key_Return, Qt::AltModifier, 0, 0, 0, false, true },
        { Qt::Key_Enter, Qt::AltModifier | Qt::KeypadModifier, 0, 0, 0, false, true },
        { Qt::Key_Escape, Qt::NoModifier, 0, 0, 0, true, false },
    };
    for (const auto& c : cases) {
        CountingForm form;
        form.show();
        QApplication::setActiveWindow(&form);
        // A child added after the window was shown is previewed as well.
        auto* late = new QLineEdit(form.body());
        form.bodyLayout()->addWidget(late);
        late->show();
        for (QWidget* target : { static_cast<QWidget*>(form.edit), static_cast<QWidget*>(late) }) {
            if (!form.isVisible())
                break;
            target->setFocus();
            auto* edit = static_cast<QLineEdit*>(target);
            edit->clear();
            QTest::keyClick(target, c.key, c.modifiers);
            // A previewed key never reaches the edit; the others do.
            const bool previewed = c.help || c.find || c.appearance || c.closes || c.maximised;
            if (previewed) {
                EXPECT_TRUE(edit->text().isEmpty()) << c.key;
            } else if (c.modifiers == Qt::NoModifier) {
                EXPECT_FALSE(edit->text().isEmpty()) << c.key;
            }
        }
        const int times = c.closes ? 1 : 2;
        EXPECT_EQ(form.help, c.help * times) << c.key;
        EXPECT_EQ(form.find, c.find * times) << c.key;
        EXPECT_EQ(form.appearance, c.appearance * times) << c.key;
        EXPECT_EQ(form.isVisible(), !c.closes) << c.key;
        if (c.closes) {
            EXPECT_EQ(form.result(), mrCancel);
        }
        EXPECT_FALSE(form.isMaximized()) << c.key; // toggled twice
        if (c.maximised) {
            form.edit->setFocus();
            QTest::keyClick(form.edit, c.key, c.modifiers);
            EXPECT_TRUE(form.isMaximized()) << c.key;
        }
        form.close();
    }
}

TEST_F(DialogForm, KeysOfAWindowInsideTheDialogAreItsOwn)
{
    CountingForm outer;
    outer.show();
    CountingForm inner("FindForm", false);
    inner.setParent(&outer, inner.windowFlags());
    inner.show();
    QTest::keyClick(inner.edit, Qt::Key_F1);
    QTest::keyClick(inner.edit, Qt::Key_Escape);
    EXPECT_EQ(inner.help, 1);
    EXPECT_FALSE(inner.isVisible());
    EXPECT_EQ(outer.help, 0);
    EXPECT_TRUE(outer.isVisible());
    outer.close();
}

TEST_F(DialogForm, EscClosesAModalDialogAndSavesItsPlacementOnce)
{
    CountingForm form;
    QTimer::singleShot(0, &form, [&form] {
        form.move(33, 44);
        form.resize(310, 400);
        QTest::keyClick(form.edit, Qt::Key_Escape);
    });
    EXPECT_EQ(Ui().ShowModal(form), mrCancel);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(placement("HelpFormLeft"), 33);
    EXPECT_EQ(placement("HelpFormTop"), 44);
    EXPECT_EQ(placement("HelpFormWidth"), 310);
    EXPECT_EQ(placement("HelpFormHeight"), 426);
    // Closing what is already closed saves nothing again.
    WriteRegInteger(Hive::CurrentUser, kPlacement, "HelpFormLeft", 1234);
    form.close();
    form.reject();
    EXPECT_EQ(placement("HelpFormLeft"), 1234);
}

TEST_F(DialogForm, PlacementRoundTrip)
{
    {
        CountingForm form;
        form.show();
        EXPECT_EQ(form.height(), 300); // designed 326, less the caption
        form.move(60, 70);
        form.resize(350, 400);
        form.accept();
        EXPECT_EQ(form.result(), mrOk);
    }
    EXPECT_EQ(placement("HelpFormHeight"), 426);
    {
        CountingForm form;
        form.show();
        EXPECT_EQ(form.pos(), QPoint(60, 70));
        EXPECT_EQ(form.size(), QSize(350, 400));
        form.done(mrOk);
    }
    EXPECT_EQ(placement("HelpFormHeight"), 426);
    EXPECT_EQ(placement("HelpFormWidth"), 350);
}

TEST_F(DialogForm, TitlePanelMovesTheWindow)
{
    CountingForm form;
    form.show();
    form.move(100, 100);
    QApplication::processEvents();
    const QPoint start = form.pos();
    // A click that hardly moves is a click, not a move.
    QTest::mousePress(form.titlePanel(), Qt::LeftButton, {}, QPoint(20, 10));
    QTest::mouseMove(form.titlePanel(), QPoint(21, 11));
    QTest::mouseRelease(form.titlePanel(), Qt::LeftButton, {}, QPoint(21, 11));
    EXPECT_EQ(form.pos(), start);
    QTest::mousePress(form.titlePanel(), Qt::LeftButton, {}, QPoint(20, 10));
    QTest::mouseMove(form.titlePanel(), QPoint(70, 40));
    QTest::mouseRelease(form.titlePanel(), Qt::LeftButton, {}, QPoint(70, 40));
    EXPECT_EQ(form.pos(), start + QPoint(50, 30));
    EXPECT_EQ(form.size(), QSize(300, 300));
    form.close();
}

TEST_F(DialogForm, DoubleClickOnTitlePanelTogglesMaximisedForSizeableDialogs)
{
    for (bool sizeable : { true, false }) {
        CountingForm form("HelpForm", sizeable);
        form.show();
        QTest::mouseDClick(form.titlePanel(), Qt::LeftButton, {}, QPoint(20, 10));
        EXPECT_EQ(form.isMaximized(), sizeable);
        QTest::mouseDClick(form.titlePanel(), Qt::LeftButton, {}, QPoint(20, 10));
        EXPECT_FALSE(form.isMaximized());
        form.close();
    }
}

TEST_F(DialogForm, SizeableDialogResizesFromItsEdgesDownToItsMinimum)
{
    CountingForm form;
    form.setMinimumSize(200, 150);
    form.show();
    form.move(100, 100);
    QApplication::processEvents();
    const struct {
        QPoint press; // in the dialog
        QPoint drag;
        QRect expected; // relative to the dialog's position before
    } cases[] = {
        { QPoint(298, 298), QPoint(30, 20), QRect(0, 0, 330, 320) }, // bottom-right corner
        { QPoint(298, 150), QPoint(-500, 0), QRect(0, 0, 200, 300) }, // right edge, to the minimum
        { QPoint(1, 150), QPoint(-40, 0), QRect(-40, 0, 340, 300) }, // left edge
        { QPoint(150, 1), QPoint(0, 25), QRect(0, 25, 300, 275) }, // top edge, over the title panel
        { QPoint(150, 1), QPoint(0, 400), QRect(0, 150, 300, 150) }, // top edge, to the minimum
        { QPoint(150, 150), QPoint(40, 40), QRect(0, 0, 300, 300) }, // inside: nothing
    };
    for (const auto& c : cases) {
        form.setGeometry(100, 100, 300, 300);
        QApplication::processEvents();
        QWidget* target = form.childAt(c.press) ? form.childAt(c.press) : &form;
        const QPoint local = target->mapFrom(&form, c.press);
        QTest::mousePress(target, Qt::LeftButton, {}, local);
        QTest::mouseMove(target, local + c.drag);
        QTest::mouseRelease(target, Qt::LeftButton, {}, local + c.drag);
        EXPECT_EQ(QRect(form.pos(), form.size()), c.expected.translated(100, 100))
            << c.press.x() << "," << c.press.y();
    }
    form.close();

    CountingForm fixed("UnitsForm", false);
    fixed.show();
    fixed.setGeometry(100, 100, 300, 300);
    QTest::mousePress(fixed.body(), Qt::LeftButton, {}, fixed.body()->mapFrom(&fixed, QPoint(298, 298)));
    QTest::mouseMove(fixed.body(), fixed.body()->mapFrom(&fixed, QPoint(330, 330)));
    QTest::mouseRelease(fixed.body(), Qt::LeftButton, {}, fixed.body()->mapFrom(&fixed, QPoint(330, 330)));
    EXPECT_EQ(fixed.size(), QSize(300, 300));
    fixed.close();
}

TEST_F(DialogForm, BackgroundIsTiledUnderTheContent)
{
    QImage tile(3, 2, QImage::Format_RGB32);
    const QRgb colours[6] = { 0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF000000, 0xFFFFFFFF, 0xFF808000 };
    for (int i = 0; i < 6; ++i)
        tile.setPixel(i % 3, i / 3, colours[i]);
    ASSERT_TRUE(tile.save(path("FAKTURA.BMP"), "BMP"));
    WriteRegInteger(Hive::CurrentUser, kProfile, "UseBackground", 1);
    WriteRegString(Hive::CurrentUser, kProfile, "BackgroundPath", stdPath("FAKTURA.BMP"));

    CountingForm form;
    form.show();
    const QImage image = form.grab().toImage().convertToFormat(QImage::Format_RGB32);
    // The lower part of the body holds only the stretch: the texture shows.
    const int top = form.edit->geometry().bottom() + form.body()->y() + 10;
    int checked = 0;
    for (int y = top; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x, ++checked)
            ASSERT_EQ(image.pixel(x, y), tile.pixel(x % 3, y % 2)) << x << "," << y;
    EXPECT_GT(checked, 300 * 100);
    // The title panel keeps its own colour.
    EXPECT_EQ(image.pixel(2, 2), form.titlePanel()->palette().color(QPalette::Window).rgb());

    WriteRegInteger(Hive::CurrentUser, kProfile, "UseBackground", 0);
    const QImage plain = form.grab().toImage();
    EXPECT_EQ(plain.pixel(5, plain.height() - 5), 0xFFE4E4E4);
    form.close();
}

TEST_F(DialogForm, ScriptedServicesDriveTheModalDialog)
{
    ScriptedUiServices ui;
    ui.answerModal([](QDialog& dialog) {
        auto& form = static_cast<CountingForm&>(dialog);
        EXPECT_TRUE(form.isVisible());
        QTest::keyClicks(form.edit, QStringLiteral("zelazo"));
        QTest::keyClick(form.edit, Qt::Key_F1);
        return form.help == 1 ? mrOk : mrCancel;
    });
    CountingForm form;
    EXPECT_EQ(Ui().ShowModal(form), mrOk);
    EXPECT_EQ(form.edit->text(), QStringLiteral("zelazo"));
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), mrOk);
    EXPECT_EQ(placement("HelpFormHeight"), 326);
    EXPECT_TRUE(ui.finished());
    ASSERT_EQ(ui.requests().size(), 1u);
    EXPECT_EQ(ui.requests()[0].caption, QStringLiteral("Pomoc"));
    EXPECT_EQ(ui.requests()[0].text, QStringLiteral("HelpForm"));
}

} // namespace
} // namespace orbita

namespace orbita {
namespace {

// A dialog whose height comes from its layout, like the login or search windows.
class LaidOutForm final : public TDialogForm {
public:
    explicit LaidOutForm(QWidget* parent = nullptr)
        : TDialogForm(parent)
    {
        setObjectName(QStringLiteral("ChoiceForm"));
        setTitle(QStringLiteral("Wybór"));
        for (int i = 0; i < 12; ++i)
            bodyLayout()->addWidget(new QLabel(QStringLiteral("Wiersz %1").arg(i)));
        setFixedWidth(330);
    }
};

class DialogPlacement : public test::PlatformTest {
protected:
    void SetUp() override
    {
        PlatformTest::SetUp();
        WriteRegString(Hive::CurrentUser, "Software\\Orbita", "User", "Administrator");
        WriteRegInteger(Hive::CurrentUser, kProfile, "SaveWindowsPlacement", 1);
    }
    static QRect screen() { return QGuiApplication::primaryScreen()->availableGeometry(); }
    static int offCentre(const QWidget& window)
    {
        return (window.frameGeometry().center() - screen().center()).manhattanLength();
    }
};

// One rule for every dialog: centred on the screen at its shown size, over an
// owner placed anywhere, whether sized by its design or by its layout.
TEST_F(DialogPlacement, DialogsOpenCentredOnTheScreen)
{
    QWidget owner;
    owner.setGeometry(screen().left() + 5, screen().top() + 5, 200, 150);
    owner.show();
    {
        LaidOutForm laidOut(&owner);
        laidOut.show();
        QCoreApplication::processEvents();
        EXPECT_GT(laidOut.height(), 200) << "sized by its layout";
        EXPECT_LE(offCentre(laidOut), 2) << laidOut.x() << "," << laidOut.y();
        laidOut.reject();
    }
    {
        CountingForm designed("AboutForm", false); // designed at 300 x 326 with its caption
        designed.show();
        QCoreApplication::processEvents();
        EXPECT_EQ(designed.height(), 300);
        EXPECT_LE(offCentre(designed), 2) << designed.x() << "," << designed.y();
        designed.reject();
    }
    owner.hide();
}

// A saved placement wins over the rule.
TEST_F(DialogPlacement, SavedPlacementWins)
{
    WriteRegInteger(Hive::CurrentUser, kPlacement, "ChoiceFormLeft", 17);
    WriteRegInteger(Hive::CurrentUser, kPlacement, "ChoiceFormTop", 19);
    LaidOutForm form;
    form.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(form.pos(), QPoint(17, 19));
    form.reject();
}

TEST(CentredPosition, CentredAndNeverAboveOrLeftOfTheArea)
{
    EXPECT_EQ(CentredPosition(QSize(200, 100), QRect(0, 0, 1280, 800)), QPoint(540, 350));
    EXPECT_EQ(CentredPosition(QSize(200, 100), QRect(100, 30, 1280, 770)), QPoint(640, 365));
    EXPECT_EQ(CentredPosition(QSize(2000, 900), QRect(10, 20, 1280, 800)), QPoint(10, 20));
}

} // namespace
} // namespace orbita
