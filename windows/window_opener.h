#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

class QWidget;

namespace orbita {

// The one way a window opens another. Every window asks the opener in use
// (Opener()) and passes itself as the owner; no window calls another
// window's class directly. The program installs its own opener once at
// start-up (ProgramWindowOpener, windows/program_window_opener.h) for every
// role that shows windows; tests install a recording double.
//
// Every window is shown modally over its owner and the call returns when it
// closes.
class WindowOpener {
public:
    WindowOpener() = default;
    virtual ~WindowOpener() = default;
    Q_DISABLE_COPY_MOVE(WindowOpener)

    // The pages of the about box.
    enum class AboutPage { Information, Contact };

    // Help window at a topic page ("O_PIERWS"); an empty topic is its start page.
    virtual void ShowHelp(QWidget* owner, const QString& topic) = 0;
    // Element window for an atomic number 1..118.
    virtual void OpenElement(QWidget* owner, int number) = 0;
    // Element choice dialog: the chosen atomic number on OK, nothing otherwise.
    virtual std::optional<int> ChooseElement(QWidget* owner) = 0;
    virtual void OpenFind(QWidget* owner) = 0;
    virtual void OpenDictionary(QWidget* owner) = 0;
    virtual void OpenTables(QWidget* owner) = 0;
    virtual void OpenTest(QWidget* owner) = 0;
    virtual void OpenUnits(QWidget* owner) = 0;
    virtual void OpenMolarMass(QWidget* owner) = 0;
    virtual void OpenPropertyTable(QWidget* owner) = 0;
    virtual void OpenSettings(QWidget* owner) = 0;
    virtual void OpenUpdate(QWidget* owner) = 0;
    virtual void ShowAbout(QWidget* owner, AboutPage page) = 0;
    // Tip of the day; the settings window shows it without its start-up box
    // (which would change StartupTip behind the settings window's back).
    enum class TipStartupBox { Shown, Hidden };
    virtual void ShowTip(QWidget* owner, TipStartupBox box) = 0;
    // Quit prompt: true when the user answered yes.
    virtual bool ConfirmQuit(QWidget* owner) = 0;
    // A user's tool from the tools menu: an address or file through the
    // desktop, an executable (a file, or a command found on PATH, with its
    // arguments) as a new process. A target that is neither is reported.
    virtual void RunTool(QWidget* owner, const QString& target) = 0;
};

// The opener in use. Until one is installed nothing opens: ChooseElement
// gives nothing and ConfirmQuit yes.
WindowOpener& Opener();
// Installs `opener` (owned by the caller; nullptr: none) and gives the one it
// replaces.
WindowOpener* SetWindowOpener(WindowOpener* opener);

// Help topics. A window names its own topic once (SetHelpTopic); its help
// button and F1 call ShowHelpFor(this), which opens the topic of the window
// or, for a dialog without a page of its own (element choice, appearance,
// quit prompt, about box), the topic of the nearest window under it.
void SetHelpTopic(QWidget& window, const QString& topic);
QString HelpTopicOf(const QWidget* window);
void ShowHelpFor(QWidget* window);

} // namespace orbita
