// Parses arbitrary bytes as a settings backup (.reg). Parsing never touches
// the store, so this target writes nothing.
#include "core/reg_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto result = orbita::ParseRegFile(text);
    if (result.ok) {
        for (const auto& op : result.operations) {
            // Every operation names a line of the input and a usable key.
            if (op.line < 1 || (op.kind == orbita::RegFileOperation::Kind::DeleteKey && op.key.empty()))
                std::abort();
        }
    } else if (result.errorLine < 1 || result.error.empty() || !result.operations.empty()) {
        std::abort();
    }
    return 0;
}
