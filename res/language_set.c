/* The entry point of a language library: its own texts joined with the
 * toolbars and accelerators every set shares. The build names the language
 * (SORVANE_LANG_ID, SORVANE_LANG_NAME) of each library. */
#include "res/language_set.h"

#include "res/ja/builtin_ja.h"
#include "res/resource_version.h"

#if !defined(SORVANE_LANG_ID) || !defined(SORVANE_LANG_NAME)
#error "a language library names its language id and library name"
#endif

static SorvaneResourceSet gSet;

/* The part counts live in other translation units, which a static
 * initialiser of C cannot read; the set is joined while the library loads,
 * before the loader can hand out the entry point. */
__attribute__((constructor)) static void JoinSet(void) {
    const SorvaneResourceSet set = {
        SORVANE_RES_FORMAT,
        (uint32_t)sizeof(SorvaneResourceSet),
        SORVANE_LANG_ID,
        SORVANE_LANG_NAME,
        /* the same file version as the program */
        {SORVANE_VERSION_MAJOR, SORVANE_VERSION_MINOR, SORVANE_VERSION_BUILD,
         SORVANE_VERSION_REVISION},
        kLangStrings,
        kLangStringCount,
        kLangMenus,
        kLangMenuCount,
        kLangDialogs,
        kLangDialogCount,
        kJaToolbars,
        kJaToolbarCount,
        kJaAccelTables,
        kJaAccelTableCount,
        0,
        0,
    };
    gSet = set;
}

const SorvaneResourceSet* SorvaneGetResourceSet(void) {
    return &gSet;
}
