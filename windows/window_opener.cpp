#include "windows/window_opener.h"

#include <QVariant>
#include <QWidget>

namespace orbita {
namespace {

constexpr const char* kHelpTopicProperty = "orbitaHelpTopic";

// The opener in use before the program (or a test) installs one.
class NoWindowOpener final : public WindowOpener {
public:
    void ShowHelp(QWidget*, const QString&) override { }
    void OpenElement(QWidget*, int) override { }
    std::optional<int> ChooseElement(QWidget*) override { return std::nullopt; }
    void OpenFind(QWidget*) override { }
    void OpenDictionary(QWidget*) override { }
    void OpenTables(QWidget*) override { }
    void OpenTest(QWidget*) override { }
    void OpenUnits(QWidget*) override { }
    void OpenMolarMass(QWidget*) override { }
    void OpenPropertyTable(QWidget*) override { }
    void OpenSettings(QWidget*) override { }
    void OpenUpdate(QWidget*) override { }
    void ShowAbout(QWidget*, AboutPage) override { }
    void ShowTip(QWidget*, TipStartupBox) override { }
    bool ConfirmQuit(QWidget*) override { return true; }
    void RunTool(QWidget*, const QString&) override { }
};

WindowOpener* g_opener = nullptr;

} // namespace

WindowOpener& Opener()
{
    static NoWindowOpener none;
    return g_opener ? *g_opener : none;
}

WindowOpener* SetWindowOpener(WindowOpener* opener)
{
    WindowOpener* const previous = g_opener;
    g_opener = opener;
    return previous;
}

void SetHelpTopic(QWidget& window, const QString& topic)
{
    window.setProperty(kHelpTopicProperty, topic);
}

QString HelpTopicOf(const QWidget* window)
{
    for (const QWidget* widget = window; widget; widget = widget->parentWidget()) {
        const QVariant topic = widget->property(kHelpTopicProperty);
        if (topic.isValid())
            return topic.toString();
    }
    return {};
}

void ShowHelpFor(QWidget* window)
{
    Opener().ShowHelp(window, HelpTopicOf(window));
}

} // namespace orbita
