/* Parts of the built-in Japanese resource set, joined by set_ja.c. */
#ifndef SORVANE_RES_JA_BUILTIN_JA_H
#define SORVANE_RES_JA_BUILTIN_JA_H

#include "res/resource_set.h"

#ifdef __cplusplus
extern "C" {
#endif

extern const SorvaneResString kJaStrings[];
extern const uint32_t kJaStringCount;
extern const SorvaneResMenu kJaMenus[];
extern const uint32_t kJaMenuCount;
extern const SorvaneResDialog kJaDialogs[];
extern const uint32_t kJaDialogCount;
extern const SorvaneResToolbar kJaToolbars[];
extern const uint32_t kJaToolbarCount;
extern const SorvaneResAccelTable kJaAccelTables[];
extern const uint32_t kJaAccelTableCount;
extern const SorvaneResImage kJaImages[];
extern const uint32_t kJaImageCount;

#ifdef __cplusplus
}
#endif

#endif /* SORVANE_RES_JA_BUILTIN_JA_H */
