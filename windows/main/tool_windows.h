#pragma once

#include <QString>
#include <optional>
#include <string>

class QMenu;
class QWidget;

namespace orbita {

// The windows that the two main windows open, one call each, kept in this one
// place so that the table and the launcher open them alike and tests can
// record what was asked. Every window is shown modally and the caller waits
// for it. The calls marked "not yet in the program" do nothing until their
// windows are built; they are the one place where those windows get wired in.
class ToolWindows {
public:
    ToolWindows() = default;
    virtual ~ToolWindows() = default;
    Q_DISABLE_COPY_MOVE(ToolWindows)

    // Element window for an atomic number 1..118 (not yet in the program).
    virtual void OpenElement(QWidget* owner, int number);
    // Element choice dialog: the chosen atomic number on OK, nothing otherwise
    // (not yet in the program: nothing is chosen).
    virtual std::optional<int> ChooseElement(QWidget* owner);
    // Help window at a page; an empty topic is its start page (not yet in the
    // program).
    virtual void ShowHelp(QWidget* owner, const QString& topic);
    // Element search, update centre, settings, reference tables, test,
    // dictionary, unit converter (not yet in the program).
    virtual void OpenFind(QWidget* owner);
    virtual void OpenUpdate(QWidget* owner);
    virtual void OpenSettings(QWidget* owner);
    virtual void OpenTables(QWidget* owner);
    virtual void OpenTest(QWidget* owner);
    virtual void OpenDictionary(QWidget* owner);
    virtual void OpenUnits(QWidget* owner);
    // About box on its information page.
    virtual void ShowAbout(QWidget* owner);
    // Tip of the day.
    virtual void ShowTip(QWidget* owner);
    // Quit prompt: true when the user answered yes.
    virtual bool ConfirmQuit(QWidget* owner);
    // Opens a user's tool: an address or file through the desktop, an
    // executable (a file, or a command found on PATH, with its arguments) as a
    // new process. A target that is neither is reported to the user.
    virtual void RunTool(QWidget* owner, const QString& target);
};

// The program's windows.
ToolWindows& ProgramToolWindows();

// Rebuilds the tools menu from Software\Orbita\<User>\Tools: one item per
// value name in store order, whose click reads that value anew and runs it
// through `windows`; one disabled item "Brak" when there are none; the
// picture M_PROGRAM beside every item.
void RebuildToolsMenu(QMenu& menu, QWidget* owner, ToolWindows& windows);

} // namespace orbita

namespace orbita {

// Qt's key code as the virtual-key code of the key tables (main_commands.h):
// Return and Enter, Esc, F1..F12, and the letters A..Z whatever modifiers are
// held; 0 for any other key.
int VirtualKeyOf(int qtKey);

// The one-time start notification (a GET of StartNotificationAddress on the
// program's web site, reply ignored). It sends nothing until the HTTP
// component is part of the program; this is where it gets wired in. Gives the
// address it is meant for.
std::string SendStartNotification();

} // namespace orbita
