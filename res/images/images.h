/* The vector cells of the built-in images, joined into the image table by
 * images.c. The counts are constants because C needs them there. */
#ifndef SORVANE_RES_IMAGES_IMAGES_H
#define SORVANE_RES_IMAGES_IMAGES_H

#include "res/resource_set.h"

#define MAIN_TOOLBAR_CELLS 5
#define MENU_IMAGE_CELLS 5
#define MONITOR_TOOLBAR_CELLS 5
#define STATISTICS_TOOLBAR_CELLS 2
#define MESSAGEINFO_TOOLBAR_CELLS 2
#define BUSLOAD_TOOLBAR_CELLS 9
#define PANE_ICON_CELLS 3
#define CANDB_TREE_CELLS 4

extern const SorvaneResVector kMainToolbarCells[MAIN_TOOLBAR_CELLS];
extern const SorvaneResVector kMenuImageCells[MENU_IMAGE_CELLS];
extern const uint32_t kMenuImageCommands[MENU_IMAGE_CELLS];
extern const SorvaneResVector kMonitorToolbarCells[MONITOR_TOOLBAR_CELLS];
extern const SorvaneResVector kStatisticsToolbarCells[STATISTICS_TOOLBAR_CELLS];
extern const SorvaneResVector kMessageInfoToolbarCells[MESSAGEINFO_TOOLBAR_CELLS];
extern const SorvaneResVector kBusLoadToolbarCells[BUSLOAD_TOOLBAR_CELLS];
extern const SorvaneResVector kAppIcon[1];
extern const SorvaneResVector kMonitorIcon[1];
extern const SorvaneResVector kStatisticsIcon[1];
extern const SorvaneResVector kBusLoadIcon[1];
extern const SorvaneResVector kMessageInfoIcon[1];
extern const SorvaneResVector kPaneIconCells[PANE_ICON_CELLS];
extern const SorvaneResVector kCandbTreeCells[CANDB_TREE_CELLS];
extern const SorvaneResVector kProductLogo[1];
extern const SorvaneResVector kAboutDay[1];
extern const SorvaneResVector kAboutEvening[1];
extern const SorvaneResVector kAboutNight[1];

#endif /* SORVANE_RES_IMAGES_IMAGES_H */
