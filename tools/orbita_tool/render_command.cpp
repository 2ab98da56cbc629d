// orbita-tool render: lays a page out with the program's page engine and
// writes it as a PNG picture, or prints its visible text line by line.

#include "core/cp1250.h"
#include "core/file_io.h"
#include "htmlview/document_builder.h"
#include "htmlview/layout.h"
#include "htmlview/page_qt.h"
#include "platform/fonts.h"
#include "platform/qt_text.h"
#include "tools/orbita_tool/command.h"

#if __has_include("data/archive_members.h")
#include "data/archive_members.h"
#define ORBITA_RENDER_ARCHIVES 1
#endif

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace orbita::tool {
namespace {

// The picture written is at most this large on a side and in all, whatever
// the page's size: the top left part of a larger page is drawn.
constexpr int kMaxSide = html::kMaxPictureSide;
constexpr long long kMaxPixels = html::kMaxPicturePixels;
// Pages and their pictures are read only up to this size.
constexpr std::uint64_t kMaxPageBytes = 16u * 1024u * 1024u;
constexpr std::uint64_t kMaxPictureBytes = 16u * 1024u * 1024u;

// Where the page comes from: a file, or a member of a content archive
// ("ARCHIVE:MEMBER"); pictures are looked up beside it.
struct PageSource {
    std::string file; // a plain file, or the archive
    std::string member; // empty for a plain file
};

// The bytes of a page or picture, or why they cannot be had (Polish).
struct SourceRead {
    std::optional<std::string> bytes;
    std::string problem;
};

SourceRead ReadSourceBytes(const PageSource& source, const std::string& name, std::uint64_t maxBytes)
{
    SourceRead result;
    if (source.member.empty()) {
        FileRead file = ReadRegularFile(name, maxBytes);
        if (file.Ok())
            result.bytes = std::move(file.bytes);
        else
            result.problem = name + ": " + std::string(FileProblemText(file.problem));
        return result;
    }
#ifdef ORBITA_RENDER_ARCHIVES
    MemberRead read = ReadArchiveMember(source.file, name, maxBytes);
    if (read.Ok()) {
        result.bytes = std::move(read.bytes);
    } else if (!read.found) {
        const ArchiveListing listing = ListArchive(source.file);
        result.problem = listing.status == ListStatus::Ok
            ? "archiwum " + source.file + " nie zawiera pliku " + name
            : source.file + ": " + ListingProblemText(listing);
    } else if (read.tooLarge) {
        result.problem = name + ": plik jest za duży";
    } else {
        result.problem = name + ": " + std::string(ExtractStatusText(read.status));
    }
#else
    result.problem = source.file + ": archiwa nie są obsługiwane";
#endif
    return result;
}

// Where a picture of the page is: for a page on disk only a file inside the
// page's folder (no "..", no absolute path or symbolic link leading out);
// in an archive, the member named relative to the page's folder (members are
// named with backslashes). Nothing when the picture may not be read.
std::optional<std::string> PictureName(const PageSource& source, const std::string& src)
{
    if (source.member.empty()) {
        const std::filesystem::path base = std::filesystem::path(source.file).parent_path();
        return PathInsideFolder(base.empty() ? std::string(".") : base.string(), src);
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
            // A picture that is missing or refused shows as the placeholder.
            QImage picture;
            if (!src.empty() && src.find("://") == std::string::npos) {
                if (const auto name = PictureName(m_source, src)) {
                    if (const auto read = ReadSourceBytes(m_source, *name, kMaxPictureBytes); read.bytes)
                        picture = html::DecodePagePicture(*read.bytes);
                }
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

// Qt's own warnings (a missing runtime folder, a picture it cannot
// allocate) are not the tool's messages: the tool says what went wrong.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

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
    std::fputs("usage: orbita-tool render FILE|ARCHIVE:MEMBER --width W (-o OUT.png [--height H] | --text)\n",
        stderr);
    return 2;
}

int Render(const std::vector<std::string>& args)
{
    std::string input;
    std::string output;
    bool text = false;
    int width = 800;
    std::optional<int> askedHeight; // --height: the picture is cut to this height
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if ((arg == "-o" || arg == "--output") && i + 1 < args.size()) {
            output = args[++i];
        } else if (arg == "--width" && i + 1 < args.size()) {
            char* end = nullptr;
            const long value = std::strtol(args[++i].c_str(), &end, 10);
            if (!end || *end != '\0' || value < 50 || value > kMaxSide)
                return RenderUsage();
            width = static_cast<int>(value);
        } else if (arg == "--height" && i + 1 < args.size()) {
            char* end = nullptr;
            const long value = std::strtol(args[++i].c_str(), &end, 10);
            if (!end || *end != '\0' || value < 1 || value > kMaxSide)
                return RenderUsage();
            askedHeight = static_cast<int>(value);
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
    const std::size_t colon = input.rfind(':');
    if (std::filesystem::exists(std::filesystem::symlink_status(input, ignored))
        || colon == std::string::npos) {
        source.file = input;
    } else {
        source.file = input.substr(0, colon);
        source.member = input.substr(colon + 1);
    }
    const SourceRead page
        = ReadSourceBytes(source, source.member.empty() ? source.file : source.member, kMaxPageBytes);
    if (!page.bytes) {
        std::fprintf(stderr, "orbita-tool render: nie można odczytać %s\n", page.problem.c_str());
        return 1;
    }

    qInstallMessageHandler(QuietQtMessages);
    // Qt's own limit (128 MB) would refuse pictures within the caps.
    QImageReader::setAllocationLimit(static_cast<int>(kMaxPixels * 4 / (1024 * 1024)));
    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr
        && std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    PrepareFontConfiguration();
    int argc = 1;
    char name[] = "orbita-tool";
    char* argv[] = { name, nullptr };
    QGuiApplication application(argc, argv);
    InstallFontSubstitutions();

    const html::Document document = html::BuildDocument(*page.bytes);
    FolderImages images(source, document);
    html::QtFontMetrics metrics;
    html::LayoutOptions options;
    options.width = width;
    const html::PageLayout layout = html::LayoutDocument(document, metrics, options, &images);

    if (text) {
        for (const html::TextLine& line : layout.lines)
            std::printf("%s\n",
                Cp1250ToUtf8(std::string_view(layout.text).substr(line.textStart, line.textLength)).c_str());
        return 0;
    }
    // The caps bound the picture; --height cuts it further on request.
    const int pictureWidth = std::clamp(layout.width, 1, kMaxSide);
    const int cappedHeight = static_cast<int>(std::min<long long>(kMaxSide, kMaxPixels / pictureWidth));
    const int pictureHeight
        = std::clamp(layout.height, 1, std::min(askedHeight.value_or(kMaxSide), cappedHeight));
    if (pictureWidth < layout.width
        || (pictureHeight < layout.height && pictureHeight == cappedHeight && askedHeight != pictureHeight))
        std::fprintf(stderr,
            "orbita-tool render: strona ma %d × %d px; obraz obejmuje jej lewą górną część, %d × %d px "
            "(najwyżej %d px na bok i %lld megapiksele)\n",
            layout.width, layout.height, pictureWidth, pictureHeight, kMaxSide, kMaxPixels / (1024 * 1024));
    QImage picture(pictureWidth, pictureHeight, QImage::Format_RGB32);
    if (picture.isNull()) {
        std::fprintf(
            stderr, "orbita-tool render: za mało pamięci na obraz %d × %d px\n", pictureWidth, pictureHeight);
        return 1;
    }
    picture.fill(Qt::white);
    {
        QPainter painter(&picture);
        html::QtPageCanvas canvas(painter, [&images](html::ImageId id) { return images.image(id); });
        html::PaintPage(layout, document, canvas, html::Rect { 0, 0, pictureWidth, pictureHeight });
        // The view places real controls; the picture shows their outlines.
        for (const html::ControlPlacement& place : layout.controls)
            DrawControl(painter, document.controls[place.control], place.rect);
    }
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !picture.save(&buffer, "PNG")) {
        std::fprintf(stderr, "orbita-tool render: nie można zakodować obrazu PNG %d × %d px\n",
            picture.width(), picture.height());
        return 1;
    }
    // The picture replaces OUT.png only once it is written whole.
    const FileProblem written = WriteFileAtomically(
        output, std::string_view(png.constData(), static_cast<std::size_t>(png.size())), 0666);
    if (written != FileProblem::None) {
        std::fprintf(stderr, "orbita-tool render: nie można zapisać %s: %s\n", output.c_str(),
            std::string(FileProblemText(written)).c_str());
        return 1;
    }
    return 0;
}

const CommandRegistrar registrar { Command { "render",
    "render FILE|ARCHIVE:MEMBER --width W -o OUT.png [--height H]   lay a page out and write it as a\n"
    "         picture (of the page's top H pixels when it is higher; at most 16384 px a side and\n"
    "         64 megapixels); pictures come only from regular files in the page's folder\n"
    "render FILE|ARCHIVE:MEMBER --width W --text       print its visible text, one laid-out line a line",
    Render } };

} // namespace
} // namespace orbita::tool
