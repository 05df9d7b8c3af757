/* A Simplified-Chinese library for the version report tests: only its
 * version and one string; built alone in a folder of its own, so that it is
 * the one language library beside the "program" there. */
#include "res/ids.h"
#include "res/resource_set.h"

static const SorvaneResString kStrings[] = {
    {IDS_CANDB_ROOT, "【消息】"},
};

static const SorvaneResourceSet kSet = {
    SORVANE_RES_FORMAT,
    (uint32_t)sizeof(SorvaneResourceSet),
    2052,
    "SorvaneResCn",
    {1, 2, 7, 0},
    kStrings,
    SORVANE_RES_COUNT(kStrings),
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
};

SORVANE_RES_EXPORT const SorvaneResourceSet* SorvaneGetResourceSet(void) {
    return &kSet;
}
