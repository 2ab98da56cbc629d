// The update service's answers from arbitrary bytes: the package list of both
// kinds and the version block. Aborts when a rule that must hold for every
// input is broken: every listed name is safe, sorted and unique and makes its
// own line again; a version found is four numbers with an http(s) address.

#include "net/http_rules.h"
#include "windows/update/update_lists.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

using namespace orbita::update;

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void checkList(std::string_view bytes, PackageKind kind)
{
    const PackageList list = ParsePackageList(bytes, kind);
    check(!list.tooLarge || list.names.empty());
    std::size_t lines = 1;
    for (char c : bytes)
        lines += c == '\n';
    check(list.names.size() + list.skipped <= lines);
    for (std::size_t i = 0; i < list.names.size(); ++i) {
        const std::string& name = list.names[i];
        check(IsPackageName(name));
        check(name.find_first_of("./\\ ") == std::string::npos);
        check(PackageNameOfLine(PackageFileName(name, kind), kind) == name);
        check(i == 0 || list.names[i - 1] != name);
        // The query carries the name unchanged: it needs no encoding.
        const std::string query = PackageQuery("http://h/b", kind, name);
        check(query.size() >= name.size() && query.find(name) != std::string::npos);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    checkList(bytes, PackageKind::Skin);
    checkList(bytes, PackageKind::Test);

    if (const std::optional<VersionInfo> info = ParseVersionBlock(bytes)) {
        check(IsFourPartVersion(info->version));
        const std::string_view scheme = orbita::net::SchemeOf(info->setupAddress);
        check(scheme == "http" || scheme == "https");
        check(info->setupAddress.find_first_of(" \r\n\t") == std::string::npos);
        check(info->sha256.empty() || info->sha256.size() == 64);
        check(!MayStartSetup(*info, ""));
        const std::string name = SetupFileName(info->version);
        check(name.find('/') == std::string::npos);
    }

    // The member-name rule never lets a path out of its folder.
    if (const std::optional<MemberPath> member = SafeMemberPath(bytes)) {
        const std::string& path = member->path;
        check(!path.empty() && path.front() != '/');
        check(path != ".." && path.rfind("../", 0) != 0 && path.find("/../") == std::string::npos);
        check(path.size() < 3 || path.compare(path.size() - 3, 3, "/..") != 0);
    }
    return 0;
}
