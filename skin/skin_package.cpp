#include "skin/skin_package.h"

#include "core/registry.h"
#include "skin/skin_form.h"

namespace orbita {

bool LoadConfiguredSkin(TSkinForm& skin, std::string_view accountKey)
{
    if (ReadRegInteger(Hive::CurrentUser, accountKey, "UseSkin") != 1) {
        skin.LoadBuiltinSkin();
        return false;
    }
    return skin.LoadSkinPackage(ReadRegString(Hive::CurrentUser, accountKey, "SkinFile"));
}

} // namespace orbita
