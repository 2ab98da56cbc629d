#include "skin/skin_package.h"

#include "core/settings.h"
#include "skin/skin_form.h"

namespace orbita {

bool LoadConfiguredSkin(TSkinForm& skin)
{
    if (!ReadFlag(Setting::UseSkin)) {
        skin.LoadBuiltinSkin();
        return false;
    }
    return skin.LoadSkinPackage(ReadString(Setting::SkinFile));
}

} // namespace orbita
