#include "windows/dialogs/help_topic.h"

namespace orbita {
namespace {

HelpTopicHandler& handler()
{
    static HelpTopicHandler current;
    return current;
}

} // namespace

void SetHelpTopicHandler(HelpTopicHandler newHandler)
{
    handler() = std::move(newHandler);
}

void OpenHelpTopic(QWidget* owner, const QString& topic)
{
    if (handler())
        handler()(owner, topic);
}

} // namespace orbita
