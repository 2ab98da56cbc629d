// Sectioned text from arbitrary bytes: load it as TBiggerIniFile reads a file,
// read every section and key back as text, integer and flag, write and reload,
// run the profile-string reader over the same bytes, and load them from a file. Aborts when a rule
// that must hold for every input is broken.

#include "core/cp1250.h"
#include "data/big_ini_file.h"
#include "data/ini_file.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

std::vector<std::string> allLines(const orbita::TBigIniFile& ini)
{
    std::vector<std::string> lines;
    ini.GetAllLines(lines);
    return lines;
}

std::string joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text.append(line).append("\r\n");
    return text;
}

// A private folder for the file that the loader reads, made once per run and
// removed when the run ends.
char scratchFolder[] = "/tmp/fuzz_ini.XXXXXX";

const std::string& scratchFile()
{
    static const std::string name = [] {
        check(::mkdtemp(scratchFolder) != nullptr);
        std::atexit([] {
            ::unlink((std::string(scratchFolder) + "/skin.ini").c_str());
            ::rmdir(scratchFolder);
        });
        return std::string(scratchFolder) + "/skin.ini";
    }();
    return name;
}

// The same bytes read from a file through the loader's read buffer must give
// what they give as text. The input is repeated past the buffer size so that
// buffer ends fall inside lines, line ends and cut-off tails.
void checkFileLoad(std::string_view bytes)
{
    std::string content;
    while (!bytes.empty() && content.size() < 30000)
        content.append(bytes);
    std::FILE* file = std::fopen(scratchFile().c_str(), "wb");
    check(file != nullptr);
    check(std::fwrite(content.data(), 1, content.size(), file) == content.size());
    check(std::fclose(file) == 0);

    orbita::TBigIniFile fromFile(scratchFile());
    check(fromFile.LoadStatus() == orbita::IniLoadStatus::Loaded);
    orbita::TBigIniFile fromText;
    fromText.LoadText(content);
    check(allLines(fromFile) == allLines(fromText));
    check(fromFile.ReadSections() == fromText.ReadSections());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    orbita::TBiggerIniFile ini;
    ini.LoadText(bytes);
    check(!ini.Modified());

    // Section names are unique without regard to case; lines are short and whole.
    const std::vector<std::string> sections = ini.ReadSections();
    std::set<std::string> lowered;
    for (const std::string& section : sections) {
        check(lowered.insert(orbita::Cp1250LowerText(section)).second);
        check(ini.SectionExists(section));
        for (const std::string& line : ini.ReadSectionValues(section)) {
            check(!line.empty() && line.size() <= orbita::TBigIniFile::MaxLineLength);
            check(line.find_first_of("\r\n") == std::string::npos);
        }
        // Every listed key is found (a value never holds a line break, so the
        // default "\n" cannot come back) and reads as every type without harm.
        for (const std::string& key : ini.ReadSection(section)) {
            const std::string value = ini.ReadString(section, key, "\n");
            check(value != "\n" && value.size() <= orbita::TBigIniFile::MaxLineLength);
            ini.ReadInteger(section, key, 0);
            ini.ReadHexInteger(section, key, 0);
            ini.ReadBool(section, key, false);
        }
    }

    // What GetAllLines gives loads back to the same content.
    const std::vector<std::string> lines = allLines(ini);
    orbita::TBigIniFile reloaded;
    reloaded.LoadText(joined(lines));
    check(allLines(reloaded) == lines);

    // A write that is accepted reads back, also after a round trip.
    if (!sections.empty() && size > 2) {
        const std::string& section = sections[data[0] % sections.size()];
        const std::string key(bytes.substr(1, data[1] % 16));
        const std::string value(bytes.substr(0, data[2] % 64));
        if (ini.WriteString(section, key, value)) {
            check(ini.ReadString(section, key, "\n") == value);
            orbita::TBigIniFile written;
            written.LoadText(joined(allLines(ini)));
            check(written.ReadString(section, key, "\n") == value);
        }
        ini.DeleteKey(section, key);
        ini.SetSectionLines(section, lines);
        ini.EraseSection(sections.front());
        check(!ini.SectionExists(sections.front()));
    }

    // The profile-string reader over the same bytes, asked for a section and key
    // taken from the input.
    const std::string section = sections.empty() ? std::string() : sections.back();
    const std::string key(bytes.substr(size / 2, 8));
    const std::string result = orbita::TIniFile::ReadStringFromText(bytes, section, key, bytes.substr(0, 40));
    check(result.size() <= orbita::TIniFile::MaxValueLength);

    checkFileLoad(bytes);
    return 0;
}
