#pragma once

#include "core/registry.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orbita {

// The settings backup file: UTF-8 text in the registry editor's export syntax
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_CURRENT_USER\Software\Orbita\Administrator]
//   "Password"="2a0e1a..."
//   "StartupMode"=dword:00000001
//
// Strings in the store are Windows-1250 and UTF-8 in the file. A string that
// holds a line break or a NUL byte is written as hex(1): (UTF-16LE with its
// terminating zero) so that every value comes back exactly. Reading and
// applying are separate: ParseRegFile never touches the store, so a file is
// checked whole before anything is written.

// One change that a .reg file asks for, in file order.
struct RegFileOperation {
    enum class Kind {
        CreateKey, // [KEY]
        DeleteKey, // [-KEY]
        SetString, // "Name"="text"
        SetInteger, // "Name"=dword:0000001a
        DeleteValue // "Name"=-
    };
    Kind kind = Kind::CreateKey;
    Hive hive = Hive::CurrentUser;
    std::string key; // Windows-1250, without the hive, no leading "\"
    std::string name; // Windows-1250; "" for the default value "@"
    std::string text; // Windows-1250, for SetString
    std::int32_t integer = 0; // for SetInteger
    int line = 0; // 1-based line of the file
};

struct RegFileParseResult {
    bool ok = false;
    std::vector<RegFileOperation> operations;
    int errorLine = 0; // 1-based, when !ok
    std::string error; // Polish reason, UTF-8, when !ok
};

// Parses UTF-8 text (a BOM, CR LF or LF line ends, blank lines and ";"
// comments are accepted). Never throws on bad input and never writes.
RegFileParseResult ParseRegFile(std::string_view utf8);

// Writes the operations into the store in order, as one transaction: false
// (and nothing changed) when any of them cannot be stored.
bool ApplyRegFile(const std::vector<RegFileOperation>& operations);

// True for a value (key path, value name; Windows-1250) that an export
// leaves out.
using RegValueFilter = std::function<bool(std::string_view key, std::string_view name)>;

// The export of one key with all its sub-keys (parents before children,
// sub-keys in enumeration order, values in first-write order), CR LF line
// ends. `key` is Windows-1250, relative to the hive. Nothing when the key does
// not exist or a key or value name holds a line break or NUL byte, which the
// syntax cannot carry. Values for which `omit` is true are left out.
std::optional<std::string> ExportRegText(Hive hive, std::string_view key, const RegValueFilter& omit = {});

// Splits "HKEY_CURRENT_USER\Software\Orbita" (UTF-8) into hive and a
// Windows-1250 key path. False for an unknown hive or an unusable path.
bool ParseFullKeyPath(std::string_view utf8, Hive& hive, std::string& key);

// Result of a file operation; `error` is a Polish message (UTF-8) naming the
// file and, for a malformed file, the line.
struct RegFileResult {
    bool ok = false;
    std::string error;
};

// Exports the key into `path`, replacing the file only once it is written
// completely, and reads it back: success only when the file holds exactly
// what was written. Fails when the key does not exist, the store cannot be read,
// `path` names something other than a regular file (a device, a FIFO, a
// folder) or the file cannot be written.
RegFileResult ExportRegFile(
    const std::string& path, Hive hive, std::string_view key, const RegValueFilter& omit = {});

// Reads and checks the whole file without applying it: the operations, or
// the error of ImportRegFile.
struct RegFileRead {
    RegFileResult result;
    std::vector<RegFileOperation> operations;
};
RegFileRead ReadRegFile(const std::string& path);

// Reads and checks the whole file, then applies it as one transaction; a
// malformed file, a file that is not a regular file, or a failed write
// changes nothing.
RegFileResult ImportRegFile(const std::string& path);
// The error of a failed ApplyRegFile of the file `path` (nothing changed).
std::string ApplyFailedText(const std::string& path);

// The question asked before an import: "Czy na pewno chcesz przywrócić
// ustawienia z pliku <path>?" (UTF-8).
std::string RestoreQuestion(const std::string& path);

} // namespace orbita
