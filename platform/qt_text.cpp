#include "platform/qt_text.h"

#include "core/cp1250.h"

namespace orbita {

QString FromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString FromCp1250(std::string_view text)
{
    return FromUtf8(Cp1250ToUtf8(text));
}

std::string ToCp1250(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    return Utf8ToCp1250Lossy(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

QString FromPath(const std::string& path)
{
    return FromUtf8(path);
}

std::string ToPath(const QString& path)
{
    return path.toStdString();
}

} // namespace orbita
