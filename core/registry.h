#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orbita {

// The configuration store: a registry of hives, keys and values kept in one
// SQLite database, registry.db in $ORBITA_CONFIG_DIR (default
// $XDG_CONFIG_HOME/orbita). Key paths use "\" (Software\Orbita\Administrator);
// key and value names compare without regard to case (Windows-1250 rules) and
// are kept as first written. Names and strings are Windows-1250 bytes.
//
// Every operation is one short transaction: a write is visible to the next
// read at once, also from another process. A missing or unreadable value
// reads as -1 or "". A store the user cannot write is opened read-only: reads
// work, writes fail, and the first failed write of the process is told to the
// problem handler below once (the program shows it; nothing else reports).
// Only a file that is not a database of this store or fails its integrity
// check is set aside as registry.db.corrupt-<time>; the store never crashes
// the program.

enum class Hive { CurrentUser, LocalMachine, ClassesRoot };

// Limits of names, as the registry has them (the depth is lower than the
// registry's 512: nothing here nests deeper than a few levels). A key path
// deeper than this, a component longer than 255 bytes, a value name longer
// than 16,383 bytes, or a name holding a control character (NUL included) is
// refused by the store and by the .reg reader.
inline constexpr std::size_t kMaxRegKeyDepth = 64;
inline constexpr std::size_t kMaxRegKeyNameLength = 255;
inline constexpr std::size_t kMaxRegValueNameLength = 16383;
// True for a key path (components separated by "\", without the hive; an
// empty path is the hive root) or a value name the store accepts.
bool IsValidRegKeyPath(std::string_view key);
bool IsValidRegValueName(std::string_view name);

std::string ReadRegString(Hive hive, std::string_view key, std::string_view name);
void WriteRegString(Hive hive, std::string_view key, std::string_view name, std::string_view value);
std::int32_t ReadRegInteger(Hive hive, std::string_view key, std::string_view name);
void WriteRegInteger(Hive hive, std::string_view key, std::string_view name, std::int32_t value);
void DeleteRegValue(Hive hive, std::string_view key, std::string_view name);
void DeleteRegKey(Hive hive, std::string_view key);
void CreateRegKey(Hive hive, std::string_view key);

// One value with its type, for callers that copy values whole (the settings
// backup): an integer -1 and a string are told apart here.
struct RegValue {
    enum class Type { String, Integer };
    Type type = Type::String;
    std::string text; // Windows-1250, for String
    std::int32_t integer = 0; // for Integer
};
std::optional<RegValue> ReadRegValue(Hive hive, std::string_view key, std::string_view name);

// Enumeration: sub-key names in case-insensitive alphabetical order; value
// names in the order they were first written. Empty for a missing key.
std::vector<std::string> RegSubKeyNames(Hive hive, std::string_view key);
std::vector<std::string> RegValueNames(Hive hive, std::string_view key);
bool RegKeyExists(Hive hive, std::string_view key);

// "HKEY_CURRENT_USER" etc., and back (the short forms HKCU, HKLM and HKCR are
// accepted too); false for an unknown name.
std::string_view HiveName(Hive hive);
bool HiveFromName(std::string_view name, Hive& hive);

// The folder that holds registry.db (created on first use).
std::string RegistryFolder();

// Runs `writes` (calls of the write operations above) as one transaction:
// either every write is stored or, when one fails or the process dies on the
// way, none is. Reads inside see the writes made so far. True when the whole
// batch was stored. A batch started inside another joins it.
bool RunRegBatch(const std::function<void()>& writes);

// What state the store is in, for the start of the program: writable,
// read-only (reads work, nothing can be saved) or unavailable (settings
// cannot even be read: the program runs on defaults). `reason` says why in
// Polish (UTF-8), empty when writable.
enum class RegistryState { Writable, ReadOnly, Unavailable };
struct RegistryStatus {
    RegistryState state = RegistryState::Writable;
    std::string reason;
};
RegistryStatus CheckRegistry();

// Called once per process with a Polish message (UTF-8) when the first write
// fails because the store cannot be written. The program shows it to the
// user; an empty handler (the default) drops it.
using RegistryProblemHandler = std::function<void(const std::string& message)>;
void SetRegistryProblemHandler(RegistryProblemHandler handler);

// Closes the calling thread's cached connection to the store; the next access
// opens it again. Lets a caller hand the file to someone else (a test that
// damages it, a copy taken while nothing is open).
void ReleaseRegistryConnection();

} // namespace orbita
