#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace orbita {

// How the small dialogs open a help topic ("O_PORADA", "DZIEKI"). The help
// window sets the handler when it exists; until then a request opens nothing.
// Tests set their own handler to see which topic was asked for.
using HelpTopicHandler = std::function<void(QWidget* owner, const QString& topic)>;
void SetHelpTopicHandler(HelpTopicHandler handler);
void OpenHelpTopic(QWidget* owner, const QString& topic);

} // namespace orbita
