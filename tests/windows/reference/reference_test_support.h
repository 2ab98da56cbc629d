#pragma once

// The world of the document-window tests: a fresh store with a logged-in
// user, a program folder with a small content archive written by the test,
// the recording window opener and scripted UI services.

#include "core/cp1250.h"
#include "core/registry.h"
#include "htmlview/html_view_widget.h"
#include "platform/scripted_ui_services.h"
#include "platform/shell_services.h"
#include "tests/data/test_zip_writer.h"
#include "tests/platform/platform_test_environment.h"
#include "tests/support/recording_window_opener.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace orbita::test {

inline constexpr const char* kProfileKey = "Software\\Orbita\\Administrator";
inline constexpr const char* kPlacementKey = "Software\\Orbita\\Administrator\\Placement";

// Windows-1250 bytes of UTF-8 text.
inline std::string Cp(const std::string& utf8)
{
    return *Utf8ToCp1250(utf8);
}

// The text a view shows, without the blanks and line breaks that depend on its width (UTF-8).
inline std::string ShownText(const ThtmlLite& view)
{
    std::string words;
    for (char c : view.Layout().text)
        if (c != '\n' && c != ' ')
            words += c;
    return Cp1250ToUtf8(words);
}

// A page long enough to scroll, with a title and an anchor near its end.
inline std::string TallPage(const std::string& title, const std::string& body, int paragraphs = 80)
{
    std::string page = "<html><head><title>" + title + "</title></head><body><p>" + body;
    for (int i = 0; i < paragraphs; ++i)
        page += "<p>akapit " + std::to_string(i);
    return page + "<a name=\"koniec\"></a><p>koniec</body></html>";
}

class ReferenceWindowTest : public PlatformTest {
protected:
    void SetUp() override
    {
        PlatformTest::SetUp();
        WriteRegString(Hive::CurrentUser, "Software\\Orbita", "User", "Administrator");
        ASSERT_TRUE(QDir(m_root.path()).mkpath(QStringLiteral("program")));
        m_env.set("ORBITA_PROGRAM_DIR", path("program"));
    }
    void TearDown() override
    {
        for (QWidget* widget : QApplication::topLevelWidgets())
            EXPECT_FALSE(widget->isVisible()) << widget->objectName().toStdString();
    }

    // Writes the content archive: member name (with "\") -> UTF-8 text, stored
    // as Windows-1250.
    void writeArchive(const std::vector<std::pair<std::string, std::string>>& members)
    {
        TestZipWriter zip;
        for (const auto& [name, text] : members)
            zip.members.push_back(Deflated(name, Cp(text)));
        WriteBytes(ContentArchivePath(), zip.Build());
    }
    void writeRawArchive(std::vector<TestMember> members)
    {
        TestZipWriter zip;
        zip.members = std::move(members);
        WriteBytes(ContentArchivePath(), zip.Build());
    }

    static void logOut() { WriteRegString(Hive::CurrentUser, "Software\\Orbita", "User", ""); }
    static void keepPlacements()
    {
        WriteRegInteger(Hive::CurrentUser, kProfileKey, "SaveWindowsPlacement", 1);
    }
    // Every value name under Software\Orbita and its sub-keys, with its key.
    static std::vector<std::string> storedValues()
    {
        std::vector<std::string> all;
        std::vector<std::string> keys { "Software\\Orbita" };
        for (std::size_t i = 0; i < keys.size(); ++i) {
            for (const std::string& name : RegValueNames(Hive::CurrentUser, keys[i]))
                all.push_back(keys[i] + ":" + name);
            for (const std::string& sub : RegSubKeyNames(Hive::CurrentUser, keys[i]))
                keys.push_back(keys[i] + "\\" + sub);
        }
        return all;
    }

    static void press(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
        const QString& text = QString())
    {
        QKeyEvent event(QEvent::KeyPress, key, modifiers, text);
        QApplication::sendEvent(widget, &event);
    }
    static void typeText(QWidget* widget, const QString& text)
    {
        for (const QChar ch : text)
            press(widget, 0, Qt::NoModifier, QString(ch));
    }

    RecordingWindowOpener windows;
    ScriptedUiServices ui;
};

} // namespace orbita::test
