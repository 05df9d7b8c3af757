/* File and product version of the program and of its resource sets. */
#ifndef SORVANE_RES_RESOURCE_VERSION_H
#define SORVANE_RES_RESOURCE_VERSION_H

#define SORVANE_VERSION_MAJOR 1
#define SORVANE_VERSION_MINOR 3
#define SORVANE_VERSION_BUILD 0
#define SORVANE_VERSION_REVISION 0

#endif /* SORVANE_RES_RESOURCE_VERSION_H */
