#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orbita {

// How the last load of a TBigIniFile went.
enum class IniLoadStatus {
    Loaded, // the file was read to its end (or text was handed over)
    Missing, // no file of that name: the object is empty
    ReadError, // the file exists but could not be read: the object is empty
};

// A whole sectioned (INI-style) text held in memory. Text is Windows-1250 bytes.
//
// Loading rules: lines end at CR LF, a lone CR or a lone LF; each line keeps
// at most its first 255 characters; a line that is empty or the single byte
// 1A is skipped; "[name]" (first character "[", last "]") opens a section whose
// name is the text between the brackets, untrimmed; every other line belongs
// verbatim to the section opened last, and lines before the first header are
// dropped. Of several sections whose names are equal without regard to case,
// the first one in the text is kept with its lines and the later ones are
// dropped whole.
//
// Lookups: section names compare without regard to case; the search starts at
// the section found last, runs to the end and wraps to the start, so reading
// the sections in text order compares each section name at most twice per
// lookup. A key matches a line that has an "=" and whose text before its first
// "=" equals the key without regard to case; nothing is trimmed. The first
// matching line wins; its value is the text after that "=", at most 255
// characters.
//
// Writing back: the destructor and UpdateFile write the content to the file
// only when it was changed after loading and a file name is set, through a
// temporary file that replaces the old one only when complete. An object
// whose file could not be read never writes it back, so the file's real
// content is never replaced by the little that the object holds.
class TBigIniFile {
public:
    // Longest line kept when loading and longest value given by ReadString.
    static constexpr std::size_t MaxLineLength = 255;

    // Starts with no sections and no file name.
    TBigIniFile();
    // Loads the file (see LoadFile); a missing file gives an empty object.
    explicit TBigIniFile(std::string fileName);
    virtual ~TBigIniFile();

    TBigIniFile(const TBigIniFile&) = delete;
    TBigIniFile& operator=(const TBigIniFile&) = delete;
    TBigIniFile(TBigIniFile&&) = delete;
    TBigIniFile& operator=(TBigIniFile&&) = delete;

    // The value of `key` in `section`, at most 255 characters; `defaultValue`
    // (cut to 255 characters) when the section or key is missing. An empty
    // value gives the empty text.
    virtual std::string ReadString(
        std::string_view section, std::string_view key, std::string_view defaultValue);
    // Sets `key` in `section` to `value`: the first matching line is replaced,
    // or a line is appended (to a new section at the end when needed). Refuses
    // (gives false, changes nothing) what a later load could not read back as
    // written: a line break anywhere, an empty key, a key holding "=", a line
    // or header longer than 255 characters, a line that would look like a
    // section header.
    virtual bool WriteString(std::string_view section, std::string_view key, std::string_view value);
    // The value read as a 32-bit integer: a leading "0x" or "0X" stands for
    // "$"; then an optional sign and decimal digits, or "$" and hexadecimal
    // digits (up to FFFFFFFF, taken as the 32-bit pattern), and nothing else.
    // Anything else, an empty value included, gives `defaultValue`.
    virtual std::int32_t ReadInteger(
        std::string_view section, std::string_view key, std::int32_t defaultValue);
    virtual bool WriteInteger(std::string_view section, std::string_view key, std::int32_t value);
    // True when the value reads as a non-zero integer; `defaultValue` when it
    // does not read as an integer. Written as "1" or "0".
    virtual bool ReadBool(std::string_view section, std::string_view key, bool defaultValue);
    virtual bool WriteBool(std::string_view section, std::string_view key, bool value);
    // The key names of a section's lines that hold an "=", in order.
    virtual std::vector<std::string> ReadSection(std::string_view section);
    // The section names in order.
    virtual std::vector<std::string> ReadSections() const;
    // The lines of a section, verbatim.
    virtual std::vector<std::string> ReadSectionValues(std::string_view section);
    virtual void EraseSection(std::string_view section);
    virtual bool SectionExists(std::string_view section);
    // Removes the first line of the section that matches `key`.
    virtual void DeleteKey(std::string_view section, std::string_view key);
    // Appends, for every section that has at least one line, "[" + name + "]",
    // the section's lines and one empty line.
    virtual void GetAllLines(std::vector<std::string>& target) const;
    // Writes the content to the file (lines ending in CR LF) when it was
    // modified and a file name is set. True when nothing had to be written or
    // the file was replaced; false when writing failed (the old file is then
    // unchanged) or the object's own load had failed.
    virtual bool UpdateFile();
    // Replaces the content with the file's (see the class comment) and takes
    // its name. Clears the modified flag.
    virtual IniLoadStatus LoadFile(const std::string& fileName);

    // Replaces the content with the sectioned text in `bytes`, by the same
    // rules as a file; the file name becomes empty. Clears the modified flag.
    void LoadText(std::string_view bytes);

    // Creates or replaces one section with `lines`: a new section is appended;
    // a section with as many lines gets every differing line replaced; one with
    // a different number of lines is cleared and refilled. Marks the object
    // modified when anything changed. The lines are taken verbatim.
    void SetSectionLines(std::string_view section, const std::vector<std::string>& lines);

    const std::string& FileName() const { return m_fileName; }
    bool Modified() const { return m_modified; }
    IniLoadStatus LoadStatus() const { return m_loadStatus; }

    // How many section names the lookups have compared so far; lets tests and
    // benchmarks see the cost of the section cursor.
    std::uint64_t SectionComparisons() const { return m_sectionComparisons; }

protected:
    struct Section {
        std::string name;
        std::vector<std::string> lines;
    };

    // The index of the section named `name` (case-insensitive), searched from
    // the cursor with wrap-around; moves the cursor on a hit. -1 when absent.
    std::ptrdiff_t findSection(std::string_view name);
    // The section named `name`, appended when absent.
    Section& sectionForWrite(std::string_view name);
    // The index of the first line of `section` that matches `key`, or -1.
    static std::ptrdiff_t findKey(const Section& section, std::string_view key);

private:
    struct LoadState;
    // The work of the virtual operations of the same names, also run from the
    // constructor and the destructor.
    IniLoadStatus loadFile(const std::string& fileName);
    bool updateFile();
    void appendAllLines(std::vector<std::string>& target) const;
    void clear();
    void addLoadedLine(std::string_view line, LoadState& state);

    std::string m_fileName;
    std::vector<Section> m_sections;
    std::size_t m_cursor = 0; // index of the section found last
    bool m_modified = false;
    IniLoadStatus m_loadStatus = IniLoadStatus::Loaded;
    std::uint64_t m_sectionComparisons = 0;
};

// TBigIniFile with integers stored as eight hexadecimal digits.
class TBiggerIniFile final : public TBigIniFile {
public:
    using TBigIniFile::TBigIniFile;

    // The value read as one to eight hexadecimal digits (no prefix, no sign),
    // taken as a 32-bit pattern; anything else gives `defaultValue`.
    std::int32_t ReadHexInteger(std::string_view section, std::string_view key, std::int32_t defaultValue);
    // Writes the 32-bit pattern of `value` as eight upper-case hexadecimal digits.
    bool WriteHexInteger(std::string_view section, std::string_view key, std::int32_t value);
};

} // namespace orbita
