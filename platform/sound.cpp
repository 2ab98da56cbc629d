#include "platform/sound.h"

#include "core/text_helpers.h"
#include "platform/qt_text.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPointer>
#include <QSoundEffect>
#include <QUrl>

namespace orbita {
namespace {

// One player for the process, owned by the application object.
QPointer<QSoundEffect> g_effect;
SoundListener g_listener;

QSoundEffect* player()
{
    if (!g_effect && QCoreApplication::instance())
        g_effect = new QSoundEffect(QCoreApplication::instance());
    return g_effect;
}

} // namespace

void PlaySoundFile(const std::string& path, bool loop)
{
    StopSound();
    const QFileInfo file(FromPath(NativePath(path)));
    if (path.empty() || !file.isFile() || !file.isReadable())
        return;
    if (g_listener) {
        g_listener(path, loop);
        return;
    }
    QSoundEffect* effect = player();
    if (!effect)
        return;
    effect->setSource(QUrl::fromLocalFile(file.absoluteFilePath()));
    effect->setLoopCount(loop ? QSoundEffect::Infinite : 1);
    effect->play();
}

void StopSound()
{
    if (g_effect)
        g_effect->stop();
}

void SetSoundListener(SoundListener listener)
{
    g_listener = std::move(listener);
}

} // namespace orbita
