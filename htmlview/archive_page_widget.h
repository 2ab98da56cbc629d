#pragma once

#include <string>
#include <string_view>

namespace orbita {

class ThtmlLite;

// Puts the archive member `memberName` into the view as a whole page. An empty
// name, or one that begins with "#" (an anchor in the page already shown),
// does nothing. The name is lower-cased and cut at its first "#" (the anchor
// is dropped: the page shows from its top), the member is found as every
// member operation finds it and decoded in two passes. Any failure (no
// archive, no member, a member that does not decode, another archive
// operation in progress) leaves the view as it was, silently.
void LoadArchivePage(const std::string& archivePath, std::string_view memberName, ThtmlLite& view);

} // namespace orbita
