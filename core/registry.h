#pragma once

#include <cstdint>
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
// read at once, also from another process. No failure is ever reported: a
// missing or unreadable value reads as -1 or "", a write that fails is lost
// silently (and the store never crashes the program).

enum class Hive { CurrentUser, LocalMachine, ClassesRoot };

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

// Closes the calling thread's cached connection to the store; the next access
// opens it again. Lets a caller hand the file to someone else (a test that
// damages it, a copy taken while nothing is open).
void ReleaseRegistryConnection();

} // namespace orbita
