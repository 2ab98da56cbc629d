// orbita-tool render: lays a page out with the program's page engine and
// writes it as a PNG picture, or prints its visible text line by line.

#include "tools/orbita_tool/command.h"

#include "core/cp1250.h"
#include "htmlview/document_builder.h"
#include "htmlview/layout.h"
#include "htmlview/page_qt.h"
#include "platform/fonts.h"
#include "platform/qt_text.h"

#if __has_include("data/archive_members.h")
#include "data/archive_members.h"
#define ORBITA_RENDER_ARCHIVES 1
#endif

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

namespace orbita::tool {
namespace {

// Where the page comes from: a file, or a member of a content archive
// ("ARCHIVE:MEMBER"); pictures are looked up beside it.
struct PageSource {
    std::string file; // a plain file, or the archive
    std::string member; // empty for a plain file
};

std::optional<std::string> ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream data;
    data << in.rdbuf();
    return data.str();
}

std::optional<std::string> ReadSourceBytes(const PageSource& source, const std::string& name)
{
    if (source.member.empty())
        return ReadFile(name);
#ifdef ORBITA_RENDER_ARCHIVES
    return ReadArchiveStream(source.file, name);
#else
    return std::nullopt;
#endif
}

// Names of pictures relative to the page's folder (in an archive, members
// are named with backslashes).
std::string Sibling(const PageSource& source, const std::string& src)
{
    if (source.member.empty()) {
        const std::filesystem::path base = std::filesystem::path(source.file).parent_path();
        return (base / src).string();
    }
    std::string folder = source.member;
    const std::size_t slash = folder.find_last_of("\\/");
    folder = slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
    std::string name = src;
    for (char& c : name)
        if (c == '/')
            c = '\\';
    return folder + name;
}

class FolderImages final : public html::ImageSizes {
public:
    FolderImages(const PageSource& source, const html::Document& document)
        : m_source(source)
        , m_document(document)
    {
    }
    const QImage* image(html::ImageId id) const
    {
        if (id >= m_document.images.size())
            return nullptr;
        const std::string& src = m_document.images[id].src;
        auto found = m_cache.find(src);
        if (found == m_cache.end()) {
            QImage picture;
            if (!src.empty() && src.find("://") == std::string::npos) {
                if (const auto bytes = ReadSourceBytes(m_source, Sibling(m_source, src)))
                    picture.loadFromData(reinterpret_cast<const uchar*>(bytes->data()), static_cast<int>(bytes->size()));
            }
            found = m_cache.emplace(src, std::move(picture)).first;
        }
        return found->second.isNull() ? nullptr : &found->second;
    }
    std::optional<html::Size> imageSize(const html::Image& picture) const override
    {
        const auto id = static_cast<html::ImageId>(&picture - m_document.images.data());
        const QImage* found = image(id);
        if (!found)
            return std::nullopt;
        return html::Size { found->width(), found->height() };
    }

private:
    PageSource m_source;
    const html::Document& m_document;
    mutable std::map<std::string, QImage> m_cache;
};

void DrawControl(QPainter& painter, const html::FormControl& control, const html::Rect& r)
{
    const QRect rect(r.x, r.y, r.width, r.height);
    painter.setPen(QColor(0x76, 0x76, 0x76));
    painter.setBrush(Qt::white);
    switch (control.kind) {
    case html::ControlKind::Radio:
        painter.drawEllipse(rect.adjusted(0, 0, -1, -1));
        break;
    case html::ControlKind::Submit:
    case html::ControlKind::Reset:
    case html::ControlKind::Button: {
        painter.setBrush(QColor(0xEF, 0xEF, 0xEF));
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
        std::string caption = control.value;
        if (caption.empty())
            caption = control.kind == html::ControlKind::Reset ? "Reset" : "Submit";
        painter.setPen(Qt::black);
        painter.setFont(html::QtFontOf(html::Font {}));
        painter.drawText(rect, Qt::AlignCenter, FromCp1250(caption));
        break;
    }
    default:
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
        break;
    }
    painter.setBrush(Qt::NoBrush);
}

int RenderUsage()
{
    std::fputs("usage: orbita-tool render FILE|ARCHIVE:MEMBER --width W (-o OUT.png [--height H] | --text)\n", stderr);
    return 2;
}

int Render(const std::vector<std::string>& args)
{
    std::string input;
    std::string output;
    bool text = false;
    int width = 800;
    int maxHeight = 32000; // pictures are cut to this height
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if ((arg == "-o" || arg == "--output") && i + 1 < args.size()) {
            output = args[++i];
        } else if (arg == "--width" && i + 1 < args.size()) {
            char* end = nullptr;
            const long value = std::strtol(args[++i].c_str(), &end, 10);
            if (!end || *end != '\0' || value < 50 || value > 20000)
                return RenderUsage();
            width = static_cast<int>(value);
        } else if (arg == "--height" && i + 1 < args.size()) {
            char* end = nullptr;
            const long value = std::strtol(args[++i].c_str(), &end, 10);
            if (!end || *end != '\0' || value < 1 || value > 32000)
                return RenderUsage();
            maxHeight = static_cast<int>(value);
        } else if (arg == "--text") {
            text = true;
        } else if (!arg.empty() && arg[0] != '-' && input.empty()) {
            input = arg;
        } else {
            return RenderUsage();
        }
    }
    if (input.empty() || (output.empty() == !text))
        return RenderUsage();

    PageSource source;
    std::error_code ignored;
    if (std::filesystem::is_regular_file(input, ignored)) {
        source.file = input;
    } else {
        const std::size_t colon = input.rfind(':');
        if (colon == std::string::npos) {
            std::fprintf(stderr, "orbita-tool render: cannot read %s\n", input.c_str());
            return 1;
        }
        source.file = input.substr(0, colon);
        source.member = input.substr(colon + 1);
    }
    const std::optional<std::string> page
        = source.member.empty() ? ReadFile(source.file) : ReadSourceBytes(source, source.member);
    if (!page) {
        std::fprintf(stderr, "orbita-tool render: cannot read %s\n", input.c_str());
        return 1;
    }

    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr
        && std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    PrepareFontConfiguration();
    int argc = 1;
    char name[] = "orbita-tool";
    char* argv[] = { name, nullptr };
    QGuiApplication application(argc, argv);
    InstallFontSubstitutions();

    const html::Document document = html::BuildDocument(*page);
    FolderImages images(source, document);
    html::QtFontMetrics metrics;
    html::LayoutOptions options;
    options.width = width;
    const html::PageLayout layout = html::LayoutDocument(document, metrics, options, &images);

    if (text) {
        for (const html::TextLine& line : layout.lines)
            std::printf("%s\n", Cp1250ToUtf8(std::string_view(layout.text).substr(line.textStart, line.textLength)).c_str());
        return 0;
    }
    const int height = std::clamp(layout.height, 1, maxHeight);
    QImage picture(layout.width, height, QImage::Format_RGB32);
    picture.fill(Qt::white);
    {
        QPainter painter(&picture);
        html::QtPageCanvas canvas(painter, [&images](html::ImageId id) { return images.image(id); });
        html::PaintPage(layout, document, canvas, html::Rect { 0, 0, layout.width, height });
        // The view places real controls; the picture shows their outlines.
        for (const html::ControlPlacement& place : layout.controls)
            DrawControl(painter, document.controls[place.control], place.rect);
    }
    if (!picture.save(FromPath(output), "PNG")) {
        std::fprintf(stderr, "orbita-tool render: cannot write %s\n", output.c_str());
        return 1;
    }
    return 0;
}

const CommandRegistrar registrar { Command { "render",
    "render FILE|ARCHIVE:MEMBER --width W -o OUT.png [--height H]   lay a page out and write it as a\n"
    "         picture (of the page's top H pixels when it is higher)\n"
    "render FILE|ARCHIVE:MEMBER --width W --text       print its visible text, one laid-out line a line",
    Render } };

} // namespace
} // namespace orbita::tool
