// The built-in Japanese resource set, joined from its parts.
#include "res/ja/builtin_ja.h"
#include "res/resource_version.h"

extern "C" const SorvaneResourceSet* SorvaneBuiltinResourceSet(void) {
    // The part counts live in other translation units, so the set is
    // initialised on first use (thread-safe for a function-local static).
    static const SorvaneResourceSet set = {
        SORVANE_RES_FORMAT,
        static_cast<uint32_t>(sizeof(SorvaneResourceSet)),
        1041,  // Japanese
        "Sorvane",
        {SORVANE_VERSION_MAJOR, SORVANE_VERSION_MINOR, SORVANE_VERSION_BUILD,
         SORVANE_VERSION_REVISION},
        kJaStrings,
        kJaStringCount,
        kJaMenus,
        kJaMenuCount,
        kJaDialogs,
        kJaDialogCount,
        kJaToolbars,
        kJaToolbarCount,
        kJaAccelTables,
        kJaAccelTableCount,
        kJaImages,
        kJaImageCount,
    };
    return &set;
}
