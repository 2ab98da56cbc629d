// Temporary in-memory stand-in for the configuration store, so that this
// branch builds and its tests run before the SQLite store is merged. Every
// configuration folder ($ORBITA_CONFIG_DIR) gets its own empty store, so tests
// that use a fresh folder each start from an empty registry as with the real
// store. Not shared between processes.
#include "core/registry.h"

#include "core/cp1250.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <mutex>
#include <variant>

namespace orbita {
namespace {

struct Value {
    std::string name;
    std::variant<std::int32_t, std::string> data;
};

struct Key {
    std::string name;
    std::vector<Value> values;
};

using Store = std::map<std::string, Key>; // lower-cased "hive\key" -> key

std::mutex g_mutex;
std::map<std::string, Store> g_stores; // configuration folder -> store

std::string envOr(const char* name, const std::string& fallback)
{
    const char* value = std::getenv(name);
    return value && *value ? std::string(value) : fallback;
}

std::string trimmedKey(std::string_view key)
{
    while (!key.empty() && key.back() == '\\')
        key.remove_suffix(1);
    return std::string(key);
}

std::string fullKey(Hive hive, std::string_view key)
{
    return Cp1250LowerText(std::string(HiveName(hive)) + "\\" + trimmedKey(key));
}

Store& store()
{
    return g_stores[RegistryFolder()];
}

Value* findValue(Hive hive, std::string_view key, std::string_view name)
{
    auto it = store().find(fullKey(hive, key));
    if (it == store().end())
        return nullptr;
    for (Value& value : it->second.values)
        if (Cp1250EqualNoCase(value.name, name))
            return &value;
    return nullptr;
}

Key& createKey(Hive hive, std::string_view key)
{
    std::string path = trimmedKey(key);
    Key* result = nullptr;
    std::size_t start = 0;
    while (true) {
        const std::size_t slash = path.find('\\', start);
        const std::string prefix = path.substr(0, slash);
        Key& k = store()[fullKey(hive, prefix)];
        if (k.name.empty())
            k.name = prefix.substr(prefix.rfind('\\') == std::string::npos ? 0 : prefix.rfind('\\') + 1);
        result = &k;
        if (slash == std::string::npos)
            break;
        start = slash + 1;
    }
    return *result;
}

void writeValue(Hive hive, std::string_view key, std::string_view name, std::variant<std::int32_t, std::string> data)
{
    if (Value* value = findValue(hive, key, name)) {
        value->data = std::move(data);
        return;
    }
    createKey(hive, key).values.push_back(Value { std::string(name), std::move(data) });
}

} // namespace

std::string ReadRegString(Hive hive, std::string_view key, std::string_view name)
{
    std::lock_guard lock(g_mutex);
    const Value* value = findValue(hive, key, name);
    if (!value || !std::holds_alternative<std::string>(value->data))
        return {};
    return std::get<std::string>(value->data);
}

void WriteRegString(Hive hive, std::string_view key, std::string_view name, std::string_view value)
{
    std::lock_guard lock(g_mutex);
    writeValue(hive, key, name, std::string(value));
}

std::int32_t ReadRegInteger(Hive hive, std::string_view key, std::string_view name)
{
    std::lock_guard lock(g_mutex);
    const Value* value = findValue(hive, key, name);
    if (!value || !std::holds_alternative<std::int32_t>(value->data))
        return -1;
    return std::get<std::int32_t>(value->data);
}

void WriteRegInteger(Hive hive, std::string_view key, std::string_view name, std::int32_t value)
{
    std::lock_guard lock(g_mutex);
    writeValue(hive, key, name, value);
}

void DeleteRegValue(Hive hive, std::string_view key, std::string_view name)
{
    std::lock_guard lock(g_mutex);
    auto it = store().find(fullKey(hive, key));
    if (it == store().end())
        return;
    auto& values = it->second.values;
    values.erase(std::remove_if(values.begin(), values.end(),
                     [&](const Value& value) { return Cp1250EqualNoCase(value.name, name); }),
        values.end());
}

void DeleteRegKey(Hive hive, std::string_view key)
{
    std::lock_guard lock(g_mutex);
    const std::string path = fullKey(hive, key);
    Store& s = store();
    for (auto it = s.begin(); it != s.end();) {
        if (it->first == path || it->first.starts_with(path + "\\"))
            it = s.erase(it);
        else
            ++it;
    }
}

void CreateRegKey(Hive hive, std::string_view key)
{
    std::lock_guard lock(g_mutex);
    createKey(hive, key);
}

std::string CurrentUserName()
{
    return ReadRegString(Hive::CurrentUser, "Software\\Orbita", "User");
}

std::vector<std::string> RegSubKeyNames(Hive hive, std::string_view key)
{
    std::lock_guard lock(g_mutex);
    const std::string path = fullKey(hive, key) + "\\";
    std::vector<std::string> names;
    for (const auto& [lowered, k] : store())
        if (lowered.starts_with(path) && lowered.find('\\', path.size()) == std::string::npos)
            names.push_back(k.name);
    return names;
}

std::vector<std::string> RegValueNames(Hive hive, std::string_view key)
{
    std::lock_guard lock(g_mutex);
    std::vector<std::string> names;
    auto it = store().find(fullKey(hive, key));
    if (it != store().end())
        for (const Value& value : it->second.values)
            names.push_back(value.name);
    return names;
}

bool RegKeyExists(Hive hive, std::string_view key)
{
    std::lock_guard lock(g_mutex);
    return store().contains(fullKey(hive, key));
}

std::string_view HiveName(Hive hive)
{
    switch (hive) {
    case Hive::CurrentUser:
        return "HKEY_CURRENT_USER";
    case Hive::LocalMachine:
        return "HKEY_LOCAL_MACHINE";
    case Hive::ClassesRoot:
        return "HKEY_CLASSES_ROOT";
    }
    return {};
}

bool HiveFromName(std::string_view name, Hive& hive)
{
    for (Hive candidate : { Hive::CurrentUser, Hive::LocalMachine, Hive::ClassesRoot })
        if (Cp1250EqualNoCase(HiveName(candidate), name)) {
            hive = candidate;
            return true;
        }
    return false;
}

std::string RegistryFolder()
{
    const std::string home = envOr("HOME", "/tmp");
    return envOr("ORBITA_CONFIG_DIR", envOr("XDG_CONFIG_HOME", home + "/.config") + "/orbita");
}

} // namespace orbita
