#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orbita::test {

// What a run of orbita-tool gave.
struct ToolRun {
    int exitCode = -1;
    std::string standardError;
    std::string standardOutput;
};

// Runs the built orbita-tool with `arguments` and waits for it to end.
ToolRun RunTool(const QStringList& arguments);

// One member of a ZIP archive as libzip reads it back.
struct PackedMember {
    std::string name; // raw name bytes as stored
    std::uint16_t method; // compression method
    std::string data; // the decompressed bytes
};

// Every member of the archive at `path` in directory order, or nothing when
// libzip cannot open it or a member fails to decompress (CRC checked).
std::optional<std::vector<PackedMember>> ReadPackedArchive(const std::string& path);

// The whole file, or nothing when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& bytes);

} // namespace orbita::test
