/*
 * The parts a language library supplies: its string table, menus and dialogs
 * in its language. language_set.c joins them with the language-neutral
 * toolbars and accelerators into the set the library's entry point returns.
 * Images carry no text, so a library leaves them to the program.
 */
#ifndef SORVANE_RES_LANGUAGE_SET_H
#define SORVANE_RES_LANGUAGE_SET_H

#include "res/resource_set.h"

#ifdef __cplusplus
extern "C" {
#endif

extern const SorvaneResString kLangStrings[];
extern const uint32_t kLangStringCount;
extern const SorvaneResMenu kLangMenus[];
extern const uint32_t kLangMenuCount;
extern const SorvaneResDialog kLangDialogs[];
extern const uint32_t kLangDialogCount;

/* The entry point; the only symbol a language library exports. */
SORVANE_RES_EXPORT const SorvaneResourceSet* SorvaneGetResourceSet(void);

#ifdef __cplusplus
}
#endif

#endif /* SORVANE_RES_LANGUAGE_SET_H */
