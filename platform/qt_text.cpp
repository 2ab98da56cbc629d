#include "platform/qt_text.h"

#include "core/cp1250.h"

namespace orbita {

QString FromCp1250(std::string_view text)
{
    const std::string utf8 = Cp1250ToUtf8(text);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string ToCp1250(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    return Utf8ToCp1250Lossy(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

QString FromPath(const std::string& path)
{
    return QString::fromStdString(path);
}

std::string ToPath(const QString& path)
{
    return path.toStdString();
}

} // namespace orbita
