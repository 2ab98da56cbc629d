#include "platform/scripted_ui_services.h"
#include "platform/sound.h"
#include "tests/windows/dialogs/dialogs_test_support.h"
#include "windows/dialogs/about_form.h"
#include "windows/dialogs/quit_form.h"
#include "windows/dialogs/tip_form.h"

#include <QFile>
#include <QTest>
#include <functional>
#include <memory>

namespace orbita {
namespace {

using test::kAdministratorKey;

// The open and close services of the three dialogs: sounds and the saved
// position, by the window's component name.
class DialogServices : public test::DialogsTest {
protected:
    void SetUp() override
    {
        DialogsTest::SetUp();
        for (const char* file : { "otworz.wav", "zamknij.wav" }) {
            QFile wav(path(file));
            ASSERT_TRUE(wav.open(QIODevice::WriteOnly));
            wav.write("RIFF");
        }
        WriteRegInteger(Hive::CurrentUser, kAdministratorKey, "Sounds", 1);
        WriteRegString(Hive::CurrentUser, kAdministratorKey, "WindowOpenSound", stdPath("otworz.wav"));
        WriteRegString(Hive::CurrentUser, kAdministratorKey, "WindowCloseSound", stdPath("zamknij.wav"));
        SetSoundListener([this](const std::string& file, bool) { m_sounds.push_back(file); });
    }
    void TearDown() override
    {
        SetSoundListener({});
        DialogsTest::TearDown();
    }

    std::vector<std::string> m_sounds;
};

TEST_F(DialogServices, OpenAndCloseSoundsAndPlacement)
{
    struct Case {
        const char* name;
        std::function<std::unique_ptr<TDialogForm>()> make;
    };
    const Case cases[] = {
        { "TipForm", [] { return std::make_unique<TTipForm>(nullptr, [](int) { return 0; }); } },
        { "QuitForm", [] { return std::make_unique<TQuitForm>(); } },
        { "AboutForm", [] { return std::make_unique<TAboutForm>(); } },
    };
    const std::string placement = std::string(kAdministratorKey) + "\\Placement";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_sounds.clear();
        const std::unique_ptr<TDialogForm> form = c.make();
        EXPECT_EQ(form->objectName().toStdString(), c.name);
        ScriptedUiServices ui;
        QPoint shownAt;
        ui.answerModal([&](QDialog& dialog) {
            EXPECT_EQ(m_sounds, std::vector<std::string> { stdPath("otworz.wav") });
            dialog.move(dialog.pos() + QPoint(3, 4));
            shownAt = dialog.pos();
            QTest::keyClick(&dialog, Qt::Key_Escape);
            return dialog.result();
        });
        ui.ShowModal(*form);
        EXPECT_EQ(m_sounds, (std::vector<std::string> { stdPath("otworz.wav"), stdPath("zamknij.wav") }));
        EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, placement, std::string(c.name) + "Left"), shownAt.x());
        EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, placement, std::string(c.name) + "Top"), shownAt.y());
        EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, placement, std::string(c.name) + "Width"), -1)
            << "fixed-size windows keep their size";
    }
}

} // namespace
} // namespace orbita
