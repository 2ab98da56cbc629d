#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The update centre's decisions that need no Qt: the answers of the update
// service (package lists and the version block) read under the safety rules
// for outside input, the query addresses, the progress texts, the check
// list's three states and the setup file's rules. Qt-free, so that the
// sanitizer build and the fuzz target exercise them.
namespace orbita::update {

// Answers of list and version queries larger than this are refused whole.
inline constexpr std::size_t kMaxAnswerBytes = 1024 * 1024;
// The longest package name (without its extension).
inline constexpr std::size_t kMaxNameLength = 64;

enum class PackageKind { Skin, Test };

// ".obs" for skins, ".obt" for tests.
std::string_view ExtensionOf(PackageKind kind);
// "KARNACJE" for skins, "TESTY" for tests.
std::string_view FolderNameOf(PackageKind kind);

// A package name that may travel into a query and a file name: 1 to
// kMaxNameLength ASCII letters, digits, "_" or "-".
bool IsPackageName(std::string_view name);

// The package name of one list line when the line is exactly <name> + the
// kind's extension (the extension compared without regard to case; a line
// end "\r" is dropped first); nothing for any other line.
std::optional<std::string> PackageNameOfLine(std::string_view line, PackageKind kind);

struct PackageList {
    bool tooLarge = false; // the answer was above kMaxAnswerBytes: nothing listed
    std::vector<std::string> names; // sorted (without regard to case), no repeats
    std::size_t skipped = 0; // non-empty lines that were not package lines
};

// The package lines of a list answer. Empty lines are skipped silently; an
// empty answer is an empty list.
PackageList ParsePackageList(std::string_view answer, PackageKind kind);

// The file name of a package: name + extension ("Zielony.obs").
std::string PackageFileName(std::string_view name, PackageKind kind);

struct VersionInfo {
    std::string version; // four numbers: "3.5.2.0"
    std::string setupAddress; // http:// or https://
    std::string sha256; // 64 lower-case hex digits, or empty when not given
};

// The version block of a version answer: lines are read until one equals
// "Orbita" (without regard to case, blanks around lines ignored); the next
// line is the version, the one after it the setup file's address, and an
// optional following line "sha256=<64 hex digits>" its digest. Nothing
// ("no version") when the answer is too large, the marker is missing, the
// version is not four dot-separated numbers (1 to 5 digits, at most 65535)
// or the address is not an http(s) address without blanks or control
// characters. A malformed digest line counts as no digest.
std::optional<VersionInfo> ParseVersionBlock(std::string_view answer);

// Whether `text` is four dot-separated numbers as ParseVersionBlock wants.
bool IsFourPartVersion(std::string_view text);

// The first three numbers of a four-part version: "3.10.2.0" gives
// "3.10.2". Any other text is given back unchanged.
std::string ShortVersion(std::string_view version);

// The name the save dialog proposes for the setup file: "orbita-3.5.2.zip".
std::string SetupFileName(std::string_view version);

// The question that offers the new version (Polish, UTF-8).
std::string NewVersionQuestion(std::string_view version);

// Whether the downloaded setup file may be started: only when the version
// block gave a digest and it equals the file's (hex, without regard to case).
bool MayStartSetup(const VersionInfo& info, std::string_view fileDigestHex);

// Percent-encodes everything but ASCII letters, digits and "-", "_", ".", "~".
std::string PercentEncode(std::string_view text);

// The addresses of the service's queries on the base address `base`
// ("https://orbita.example.org/support_orb3").
std::string ListQuery(std::string_view base, PackageKind kind);
std::string VersionQuery(std::string_view base);
// The download of one package; the parameter (name + extension) is
// percent-encoded.
std::string PackageQuery(std::string_view base, PackageKind kind, std::string_view name);

// A byte count grouped by thousands with a space: 1234567 gives "1 234 567",
// 0 gives "0"; negative counts give "0".
std::string GroupedNumber(std::int64_t value);

// "Skopiowano 3 KB z 10 KB" (bytes ÷ 1024, grouped); without a known total
// "Skopiowano 3 KB".
std::string SizeCaption(std::int64_t received, std::int64_t total);
// "30%"; empty when the total is not known.
std::string PercentCaption(std::int64_t received, std::int64_t total);
// The file counter below the bar: "Pozostało 2 z 3 plików", and for the last
// file "To już ostatni plik..."; `done` counts the file being fetched.
std::string TotalCaption(int done, int count);
// The whole percentage of `done` out of `count` files (0 when count is 0).
int TotalPercent(int done, int count);
// "12 składników".
std::string ItemCountCaption(std::size_t count);

// The three states of a check-list item. A click on the box or Space cycles
// them unticked → grey → ticked → unticked.
enum class Mark { Unticked, Grey, Ticked };
Mark NextMark(Mark mark);
// The list menu's commands over every item: all ticked; all unticked (grey
// too); the unticked ones ticked (grey and ticked keep their state).
void TickAll(std::vector<Mark>& marks);
void UntickAll(std::vector<Mark>& marks);
void TickRest(std::vector<Mark>& marks);

// A member name of the setup package as the archive reader gives it (folders
// separated by "\", a "/" taken as a separator too) turned into a relative
// path with "/"; nothing when the
// name could leave the target folder or is not a plain name: empty, absolute,
// a drive letter, a "." or ".." part, an empty part inside, control
// characters or a ":" anywhere. A name ending in
// a separator is a folder: `folder` is set and the path has no trailing "/".
struct MemberPath {
    std::string path;
    bool folder = false;
};
std::optional<MemberPath> SafeMemberPath(std::string_view name);

} // namespace orbita::update
