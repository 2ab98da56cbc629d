// The hint gate: ShowHint = 0 keeps every hint off, also in a window that
// shows its hints through a handler of its own installed after the gate.

#include "core/registry.h"
#include "platform/window_services.h"
#include "tests/platform/platform_test_environment.h"
#include "windows/main/hint_gate.h"

#include <QApplication>
#include <QDialog>
#include <QHelpEvent>
#include <QPushButton>
#include <QTest>
#include <QToolTip>
#include <QVBoxLayout>
#include <memory>
#include <optional>

namespace orbita {
namespace {

const char* const kProfile = "Software\\Orbita\\Administrator";

// A dialog that shows its buttons' hints itself, from an application filter
// installed when it opens (after the gate), and counts what it showed.
class OwnHintsDialog final : public QDialog {
public:
    OwnHintsDialog()
    {
        auto* layout = new QVBoxLayout(this);
        button = new QPushButton(QStringLiteral("Przycisk"), this);
        button->setToolTip(QStringLiteral("Podpowiedź [F1]"));
        layout->addWidget(button);
        qApp->installEventFilter(this);
    }
    ~OwnHintsDialog() override { qApp->removeEventFilter(this); }
    Q_DISABLE_COPY_MOVE(OwnHintsDialog)

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::ToolTip || watched != button)
            return false;
        ++shown;
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), button->toolTip(), button);
        return true;
    }

    QPushButton* button = nullptr;
    int shown = 0;
};

class HintGateTest : public test::PlatformTest {
protected:
    void SetUp() override
    {
        PlatformTest::SetUp();
        WriteRegString(Hive::CurrentUser, "Software\\Orbita", "User", "Administrator");
    }
    void TearDown() override { QToolTip::hideText(); }

    // Sends the hint event the application sends when the pointer rests on
    // the widget; gives whether a hint is up afterwards.
    static bool hintShownFor(QWidget* widget)
    {
        QToolTip::hideText();
        EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 30000));
        QHelpEvent hint(QEvent::ToolTip, QPoint(2, 2), widget->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(widget, &hint);
        return QToolTip::isVisible();
    }
    static void setShowHint(std::optional<int> value)
    {
        DeleteRegValue(Hive::CurrentUser, kProfile, "ShowHint");
        if (value)
            WriteRegInteger(Hive::CurrentUser, kProfile, "ShowHint", *value);
    }
};

TEST_F(HintGateTest, ShowHintDecidesAlsoForHandlersInstalledAfterTheGate)
{
    QObject owner;
    new HintGate(&owner);
    OwnHintsDialog dialog;
    SetHintHidePause(600000); // the windows' own hint filter, installed after the gate too
    dialog.show();
    const struct {
        std::optional<int> showHint;
        bool shown;
    } rows[] = { { 0, false }, { 1, true }, { std::nullopt, true }, { 0, false } };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.showHint.value_or(-1));
        setShowHint(row.showHint);
        const int before = dialog.shown;
        EXPECT_EQ(hintShownFor(dialog.button), row.shown);
        // Closed, the gate keeps the hint from every handler; open, the hint
        // is up (the windows' own hint filter may take it before the dialog's).
        if (!row.shown) {
            EXPECT_EQ(dialog.shown, before);
        } else {
            EXPECT_EQ(QToolTip::text(), QStringLiteral("Podpowiedź [F1]"));
        }
    }
    dialog.hide();
}

TEST_F(HintGateTest, OneGateForAllAndOpenWhenTheLastGoes)
{
    OwnHintsDialog dialog;
    dialog.show();
    setShowHint(0);
    {
        QObject mainWindow;
        QObject launcher;
        new HintGate(&mainWindow);
        new HintGate(&launcher);
        EXPECT_FALSE(hintShownFor(dialog.button));
        delete mainWindow.children().first(); // one of two gone: still gated
        EXPECT_FALSE(hintShownFor(dialog.button));
    }
    // No main window, no gate: the hint shows whatever ShowHint says.
    EXPECT_TRUE(hintShownFor(dialog.button));
    dialog.hide();
}

} // namespace
} // namespace orbita
