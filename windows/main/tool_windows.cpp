#include "windows/main/tool_windows.h"

#include "core/settings.h"
#include "net/http_get.h"
#include "platform/qt_text.h"
#include "platform/window_services.h"
#include "windows/main/main_commands.h"
#include "windows/window_opener.h"

#include <QAction>
#include <QMenu>
#include <string>

namespace orbita {

void RebuildToolsMenu(QMenu& menu, QWidget* owner)
{
    menu.clear();
    for (const std::string& name : ToolCaptions()) {
        QAction* item = menu.addAction(FromCp1250(name));
        QObject::connect(item, &QAction::triggered, &menu, [owner, name] {
            const std::string target = ReadToolCommand(name);
            Opener().RunTool(owner, FromCp1250(target));
        });
    }
    if (menu.actions().isEmpty())
        menu.addAction(QStringLiteral("Brak"))->setEnabled(false);
    for (int position = 0; position < menu.actions().size(); ++position)
        SetMenuItemImage(QStringLiteral("M_PROGRAM"), menu, position);
}

} // namespace orbita

namespace orbita {

int VirtualKeyOf(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return vk::Return;
    case Qt::Key_Escape:
        return vk::Escape;
    default:
        if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12)
            return vk::F1 + (qtKey - Qt::Key_F1);
        if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
            return qtKey; // 'A'..'Z'
        return 0;
    }
}

THTTPGet* NewHttpGetFile(QObject* owner)
{
    auto* get = new THTTPGet(owner);
    get->setObjectName(QStringLiteral("HttpGetFile"));
    get->Agent = "Orbita";
    get->AcceptTypes = "*/*";
    get->BinaryData = false;
    get->UseCache = false;
    get->WaitThread = true;
    return get;
}

std::string SendStartNotification(THTTPGet& httpGetFile)
{
    httpGetFile.TargetUrl = StartNotificationAddress(UpdateServiceBase());
    httpGetFile.DownloadToString();
    return httpGetFile.TargetUrl;
}

} // namespace orbita
