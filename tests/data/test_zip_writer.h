#pragma once

// A small ZIP writer for tests only: it lays out members exactly as told
// (sizes, CRC, flags and method may be set to lie), so that tests control
// every byte of the archives they read. Not used by the program.

#include <cstdint>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>
#include <zlib.h>

namespace orbita::test {

inline std::uint32_t Crc32Of(std::string_view bytes)
{
    return static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

// Raw deflate (no zlib wrapper) of `bytes`.
inline std::string RawDeflate(std::string_view bytes, int level = 6)
{
    z_stream z {};
    deflateInit2(&z, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&z, static_cast<uLong>(bytes.size())) + 16, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    z.avail_in = static_cast<uInt>(bytes.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

struct TestMember {
    std::string name; // as written in both headers
    std::string data; // the bytes stored after the local header
    std::uint16_t method = 0;
    std::uint16_t flags = 0;
    std::uint32_t crc = 0; // written in both headers (local: 0 when `zeroLocal`)
    std::uint32_t compressedSize = 0;
    std::uint32_t size = 0;
    bool zeroLocal = false; // local header carries zero CRC and sizes (streaming packers)
    std::string descriptor; // bytes written right after the data
    std::string comment; // central-directory file comment
    std::string extra; // extra field, in both headers
    std::optional<std::uint16_t> localMethod; // a different method in the local header
};

inline TestMember Stored(std::string name, std::string content)
{
    TestMember m;
    m.name = std::move(name);
    m.crc = Crc32Of(content);
    m.compressedSize = m.size = static_cast<std::uint32_t>(content.size());
    m.data = std::move(content);
    return m;
}

inline TestMember Deflated(std::string name, std::string_view content)
{
    TestMember m;
    m.name = std::move(name);
    m.method = 8;
    m.crc = Crc32Of(content);
    m.data = RawDeflate(content);
    m.compressedSize = static_cast<std::uint32_t>(m.data.size());
    m.size = static_cast<std::uint32_t>(content.size());
    return m;
}

// A deflated member written by a streaming packer: flag bit 3, zero sizes in
// the local header, a data descriptor with signature after the data.
inline TestMember Streamed(std::string name, std::string_view content)
{
    TestMember m = Deflated(std::move(name), content);
    m.flags |= 0x0008;
    m.zeroLocal = true;
    auto le32 = [](std::uint32_t v) {
        std::string s(4, '\0');
        for (int i = 0; i < 4; ++i)
            s[static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
        return s;
    };
    m.descriptor = std::string("PK\x07\x08", 4) + le32(m.crc) + le32(m.compressedSize) + le32(m.size);
    return m;
}

class TestZipWriter {
public:
    // Bytes written before the first local header.
    std::string prefix;
    std::vector<TestMember> members;
    std::string archiveComment;
    // Bytes written between the last directory record and the end record.
    std::string directoryTail;

    std::string Build() const
    {
        std::string out = prefix;
        std::vector<std::uint32_t> offsets;
        for (const TestMember& m : members) {
            offsets.push_back(static_cast<std::uint32_t>(out.size()));
            Put32(out, 0x04034b50);
            Put16(out, 20);
            Put16(out, m.flags);
            Put16(out, m.localMethod.value_or(m.method));
            Put32(out, 0);
            Put32(out, m.zeroLocal ? 0 : m.crc);
            Put32(out, m.zeroLocal ? 0 : m.compressedSize);
            Put32(out, m.zeroLocal ? 0 : m.size);
            Put16(out, static_cast<std::uint16_t>(m.name.size()));
            Put16(out, static_cast<std::uint16_t>(m.extra.size()));
            out += m.name;
            out += m.extra;
            out += m.data;
            out += m.descriptor;
        }
        const auto directoryStart = static_cast<std::uint32_t>(out.size());
        for (std::size_t i = 0; i < members.size(); ++i) {
            const TestMember& m = members[i];
            Put32(out, 0x02014b50);
            Put16(out, 20);
            Put16(out, 20);
            Put16(out, m.flags);
            Put16(out, m.method);
            Put32(out, 0);
            Put32(out, m.crc);
            Put32(out, m.compressedSize);
            Put32(out, m.size);
            Put16(out, static_cast<std::uint16_t>(m.name.size()));
            Put16(out, static_cast<std::uint16_t>(m.extra.size()));
            Put16(out, static_cast<std::uint16_t>(m.comment.size()));
            Put16(out, 0);
            Put16(out, 0);
            Put32(out, 0x20);
            Put32(out, offsets[i]);
            out += m.name;
            out += m.extra;
            out += m.comment;
        }
        out += directoryTail;
        const auto directorySize = static_cast<std::uint32_t>(out.size() - directoryStart);
        Put32(out, 0x06054b50);
        Put16(out, 0);
        Put16(out, 0);
        Put16(out, static_cast<std::uint16_t>(members.size()));
        Put16(out, static_cast<std::uint16_t>(members.size()));
        Put32(out, directorySize);
        Put32(out, directoryStart);
        Put16(out, static_cast<std::uint16_t>(archiveComment.size()));
        out += archiveComment;
        return out;
    }

private:
    static void Put16(std::string& out, std::uint16_t v)
    {
        out.push_back(static_cast<char>(v & 0xFF));
        out.push_back(static_cast<char>(v >> 8));
    }
    static void Put32(std::string& out, std::uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    }
};

inline void WriteBytes(const std::string& path, std::string_view bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

} // namespace orbita::test
