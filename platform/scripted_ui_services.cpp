#include "platform/scripted_ui_services.h"

#include "platform/printing.h"

#include <QCoreApplication>
#include <QDialog>
#include <algorithm>

namespace orbita {
namespace {

ScriptedUiServices::Request makeRequest(
    ScriptedUiServices::Kind kind, const QString& caption, const QString& text)
{
    ScriptedUiServices::Request request;
    request.kind = kind;
    request.caption = caption;
    request.text = text;
    return request;
}

} // namespace

ScriptedUiServices::ScriptedUiServices(bool install)
    : m_installed(install)
{
    if (m_installed)
        SetUiServices(this);
}

ScriptedUiServices::~ScriptedUiServices()
{
    if (m_installed && &Ui() == this)
        SetUiServices(nullptr);
}

void ScriptedUiServices::answerMessage(int result)
{
    m_script.push_back({ Kind::Message, result });
}

void ScriptedUiServices::answerOpenFile(const QString& fileName)
{
    m_script.push_back({ Kind::OpenFile, fileName });
}

void ScriptedUiServices::answerSaveFile(const QString& fileName)
{
    m_script.push_back({ Kind::SaveFile, fileName });
}

void ScriptedUiServices::answerColor(std::optional<QColor> color)
{
    m_script.push_back({ Kind::Color, color });
}

void ScriptedUiServices::answerFolder(const QString& folder)
{
    m_script.push_back({ Kind::Folder, folder });
}

void ScriptedUiServices::answerModal(ModalDriver driver)
{
    m_script.push_back({ Kind::Modal, std::move(driver) });
}

void ScriptedUiServices::answerPrint(const QString& pdfPath)
{
    m_script.push_back({ Kind::Print, pdfPath });
}

void ScriptedUiServices::answerStart(bool started)
{
    m_script.push_back({ Kind::Start, started });
}

int ScriptedUiServices::unexpectedCount() const
{
    return static_cast<int>(
        std::count_if(m_requests.begin(), m_requests.end(), [](const Request& r) { return r.unexpected; }));
}

std::optional<ScriptedUiServices::Answer> ScriptedUiServices::take(Request request)
{
    if (m_script.empty() || m_script.front().kind != request.kind) {
        request.unexpected = true;
        m_requests.push_back(std::move(request));
        return std::nullopt;
    }
    m_requests.push_back(std::move(request));
    Answer answer = std::move(m_script.front());
    m_script.pop_front();
    return answer;
}

int ScriptedUiServices::ShowMessage(
    QWidget*, const QString& caption, const QString& text, MessageIcon icon, MessageButtons buttons)
{
    Request request = makeRequest(Kind::Message, caption, text);
    request.icon = icon;
    request.buttons = buttons;
    const auto answer = take(std::move(request));
    return answer ? std::get<int>(answer->value) : mrCancel;
}

QString ScriptedUiServices::OpenFileName(
    QWidget*, const QString& title, const QString& folder, const QString& filter)
{
    Request request = makeRequest(Kind::OpenFile, title, folder);
    request.filter = filter;
    const auto answer = take(std::move(request));
    return answer ? std::get<QString>(answer->value) : QString();
}

QString ScriptedUiServices::SaveFileName(
    QWidget*, const QString& title, const QString& suggested, const QString& filter)
{
    Request request = makeRequest(Kind::SaveFile, title, suggested);
    request.filter = filter;
    const auto answer = take(std::move(request));
    return answer ? std::get<QString>(answer->value) : QString();
}

std::optional<QColor> ScriptedUiServices::ChooseColor(QWidget*, const QColor& initial)
{
    Request request = makeRequest(Kind::Color, QString(), QString());
    request.initialColor = initial;
    const auto answer = take(std::move(request));
    return answer ? std::get<std::optional<QColor>>(answer->value) : std::nullopt;
}

QString ScriptedUiServices::ChooseFolder(QWidget*, const QString& title)
{
    const auto answer = take(makeRequest(Kind::Folder, title, QString()));
    return answer ? std::get<QString>(answer->value) : QString();
}

int ScriptedUiServices::ShowModal(QDialog& dialog)
{
    auto answer = take(makeRequest(Kind::Modal, dialog.windowTitle(), dialog.objectName()));
    if (!answer)
        return mrCancel;
    dialog.show();
    QCoreApplication::processEvents();
    const int result = std::get<ModalDriver>(answer->value)(dialog);
    if (dialog.isVisible())
        dialog.done(result);
    return result;
}

bool ScriptedUiServices::Print(QWidget*, const PrintJob& job)
{
    Request request = makeRequest(Kind::Print, job.title, QString());
    request.orientation = job.orientation;
    const auto answer = take(std::move(request));
    if (!answer)
        return false;
    const QString path = std::get<QString>(answer->value);
    m_requests.back().text = path;
    return !path.isEmpty() && PrintToPdf(job, path);
}

bool ScriptedUiServices::StartDetached(
    const QString& program, const QStringList& arguments, const QString& folder)
{
    Request request = makeRequest(Kind::Start, program, folder);
    request.arguments = arguments;
    const auto answer = take(std::move(request));
    return answer && std::get<bool>(answer->value);
}

void ScriptedUiServices::QuitApplication()
{
    m_requests.push_back(makeRequest(Kind::Quit, QString(), QString()));
}

} // namespace orbita
