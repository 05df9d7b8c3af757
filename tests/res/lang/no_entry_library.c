/* A shared library that is not a language library: no entry point. */
#include "res/resource_set.h"

SORVANE_RES_EXPORT int SorvaneSomethingElse(void) {
    return 42;
}
