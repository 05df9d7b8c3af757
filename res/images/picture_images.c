/* The about dialog's pictures, 300 x 170: the same hills by night (00:00 to
 * 07:59), by day (08:00 to 15:59) and in the evening (16:00 to 23:59), with
 * a CAN bit stream drawn across the sky. The water-drop effect ripples them. */
#include "res/images/image_shapes.h"
#include "res/images/images.h"

/* clang-format off */

#define HILLS_BACK "M0 118 C40 100 80 96 120 106 C160 116 200 90 240 94 C270 97 290 106 300 110 V170 H0 Z"
#define HILLS_FRONT "M0 140 C50 122 100 126 150 136 C200 146 250 124 300 130 V170 H0 Z"
#define BITS "M12 72 H58 V50 H88 V72 H108 V50 H166 V72 H202"

static const SorvaneResShape kDay[] = {
    GRECT(0xFF5AA2E8u, 0xFFD4ECFBu, NONE, 0, 0, 0, 300, 170, 0),
    OVAL(0x30FFF6C8u, NONE, 0, 203, 13, 64, 64),
    GOVAL(0xFFFFF3B0u, 0xFFFFD45Au, NONE, 0, 216, 26, 38, 38),
    OVAL(0xD0FFFFFFu, NONE, 0, 40, 24, 46, 18),
    OVAL(0xD0FFFFFFu, NONE, 0, 62, 16, 40, 22),
    OVAL(0xD0FFFFFFu, NONE, 0, 84, 26, 36, 15),
    OVAL(0xB0FFFFFFu, NONE, 0, 150, 40, 40, 13),
    OVAL(0xB0FFFFFFu, NONE, 0, 166, 34, 30, 15),
    FLAT(0x90FFFFFFu, 2.5, BITS),
    GPATH(0xFF7CC47Au, 0xFF4E9A52u, NONE, 0, HILLS_BACK),
    GPATH(0xFF5BAE5Cu, 0xFF2F7A3Au, NONE, 0, HILLS_FRONT),
};
const SorvaneResVector kAboutDay[1] = {CELL(kDay)};

static const SorvaneResShape kEvening[] = {
    GRECT(0xFF3B3A78u, 0xFFC4587Au, NONE, 0, 0, 0, 300, 80, 0),
    GRECT(0xFFC4587Au, 0xFFF5A25Au, NONE, 0, 0, 80, 300, 50, 0),
    OVAL(0x40FFC27Au, NONE, 0, 206, 70, 84, 84),
    GOVAL(0xFFFFE08Au, 0xFFF07A3Cu, NONE, 0, 222, 86, 52, 52),
    OVAL(0x60F7B0C8u, NONE, 0, 30, 40, 70, 10),
    OVAL(0x50F7B0C8u, NONE, 0, 120, 58, 90, 9),
    FLAT(0x70FFE6D0u, 2.5, BITS),
    GPATH(0xFF6A3F6Eu, 0xFF4A2C52u, NONE, 0, HILLS_BACK),
    GPATH(0xFF45294Du, 0xFF2A1A33u, NONE, 0, HILLS_FRONT),
};
const SorvaneResVector kAboutEvening[1] = {CELL(kEvening)};

static const SorvaneResShape kNight[] = {
    GRECT(0xFF0B1330u, 0xFF243A6Eu, NONE, 0, 0, 0, 300, 170, 0),
    OVAL(0xFFFFFFFFu, NONE, 0, 20, 20, 2, 2),
    OVAL(0xC0FFFFFFu, NONE, 0, 48, 84, 1.5, 1.5),
    OVAL(0xFFFFFFFFu, NONE, 0, 102, 14, 2, 2),
    OVAL(0xA0FFFFFFu, NONE, 0, 130, 36, 1.5, 1.5),
    OVAL(0xFFFFFFFFu, NONE, 0, 158, 22, 2.5, 2.5),
    OVAL(0xC0FFFFFFu, NONE, 0, 186, 86, 1.5, 1.5),
    OVAL(0xFFFFFFFFu, NONE, 0, 214, 12, 2, 2),
    OVAL(0xA0FFFFFFu, NONE, 0, 262, 30, 1.5, 1.5),
    OVAL(0xFFFFFFFFu, NONE, 0, 284, 66, 2, 2),
    OVAL(0xC0FFFFFFu, NONE, 0, 74, 44, 1.5, 1.5),
    OVAL(0x30FFF3C0u, NONE, 0, 222, 14, 56, 56),
    PATH(0xFFFFF1B8u, NONE, 0,
         "M256 22 C240 22 232 33 232 42 C232 53 240 62 256 62 C246 57 242 50 242 42 C242 34 246 27 256 22 Z"),
    FLAT(0x6098C8FFu, 2.5, BITS),
    GPATH(0xFF1E2E52u, 0xFF15213Du, NONE, 0, HILLS_BACK),
    GPATH(0xFF121C36u, 0xFF0A1124u, NONE, 0, HILLS_FRONT),
};
const SorvaneResVector kAboutNight[1] = {CELL(kNight)};
/* clang-format on */
