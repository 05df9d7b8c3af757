/* A language library built against another layout of the set. */
#include "res/resource_set.h"

static const SorvaneResourceSet kSet = {99u,
                                        (uint32_t)sizeof(SorvaneResourceSet),
                                        1042,
                                        "SorvaneResFuture",
                                        {9, 0, 0, 0},
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
                                        0,
                                        0};

SORVANE_RES_EXPORT const SorvaneResourceSet* SorvaneGetResourceSet(void) {
    return &kSet;
}
