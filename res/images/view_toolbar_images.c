/* The view windows' toolbar buttons, 24 x 24: monitor, statistics, message
 * info and bus load. Copy and clear look the same in every window. */
#include "res/images/image_shapes.h"
#include "res/images/images.h"

/* clang-format off */

/* ---- shared glyphs ----------------------------------------------------- */

#define PAGE_BACK RECT(PAPER_SHADE, INK_SOFT, 1, 3.5, 2.5, 11, 14, 1)
#define PAGE_FRONT GPATH(PAPER, PAPER_SHADE, INK, 1, "M8.5 7.5 H16 L19.5 11 V21.5 H8.5 Z")
#define PAGE_FOLD PATH(PAPER_SHADE, INK, 1, "M16 7.5 V11 H19.5")
#define PAGE_TEXT LINE(LINE_GREY, 1, "M11.5 13.5 H16.5 M11.5 15.5 H16.5 M11.5 17.5 H14.5")

static const SorvaneResShape kCopy[] = {
    PAGE_BACK,
    LINE(LINE_GREY, 1, "M6.5 6.5 H11.5"),
    PAGE_FRONT, PAGE_FOLD, PAGE_TEXT,
};

/* An eraser lying at 45 degrees: rubber tip below left, sleeve above right. */
static const SorvaneResShape kClear[] = {
    LINE(INK_SOFT, 1, "M10.5 21.5 H21.5"),
    GPATH(BLUE_LIGHT, BLUE, BLUE_DARK, 1, "M8 10 L12.5 5.5 L19.5 12.5 L15 17 Z"),
    GPATH(PINK, 0xFFE0607Fu, PINK_DARK, 1, "M8 10 L15 17 L10.5 21.5 L3.5 14.5 Z"),
};

/* A floppy disk; the label area is left free for a mark. */
#define DISK_BODY GPATH(BLUE_LIGHT, BLUE, BLUE_DARK, 1, "M3.5 3.5 H17 L20.5 7 V20.5 H3.5 Z")
#define DISK_SHUTTER RECT(0xFFDCE6F5u, BLUE_DARK, 1, 7.5, 3.5, 8, 5, 0)
#define DISK_SLOT RECT(BLUE_DARK, NONE, 0, 12, 5, 2, 2, 0)
#define DISK_LABEL RECT(PAPER, BLUE_DARK, 1, 6.5, 12.5, 11, 8, 0.5)

static const SorvaneResShape kSave[] = {
    DISK_BODY, DISK_SHUTTER, DISK_SLOT, DISK_LABEL,
    LINE(LINE_GREY, 1, "M8.5 15.5 H15.5 M8.5 17.5 H15.5"),
};

/* Save while receiving: the disk with a recording mark. */
static const SorvaneResShape kSaveLive[] = {
    DISK_BODY, DISK_SHUTTER, DISK_SLOT, DISK_LABEL,
    OVAL(RED, PAPER, 1.5, 13.25, 13.25, 9.5, 9.5),
};

/* A list whose newest row is followed by the arrow. */
static const SorvaneResShape kAutoScroll[] = {
    RECT(PAPER, INK, 1, 2.5, 2.5, 12, 19, 1),
    LINE(LINE_GREY, 1, "M5.5 6.5 H11.5 M5.5 9.5 H11.5 M5.5 12.5 H11.5"),
    RECT(0xFFCFE2FBu, NONE, 0, 3, 16, 11, 5, 0),
    LINE(BLUE_DARK, 1, "M5.5 18.5 H11.5"),
    PATH(BLUE, BLUE_DARK, 1, "M17.5 3.5 H20.5 V13.5 H23 L19 19.5 L15 13.5 H17.5 Z"),
};

/* ---- bus load: graph line of one channel, history spans ---------------- */

#define AXES LINE(INK_SOFT, 1, "M3.5 3.5 V20.5 H20.5")
#define GRAPH(colour) FLAT(colour, 2, "M5 18 L9 12 L12.5 15.5 L16 9")
#define CHANNEL_LINE(name, colour, digit) \
    static const SorvaneResShape name[] = { \
        AXES, GRAPH(colour), LINE(INK, 1, "M16.5 2.5" digit), \
    }

CHANNEL_LINE(kLine1, CH1, DIGIT_1);
CHANNEL_LINE(kLine2, CH2, DIGIT_2);
CHANNEL_LINE(kLine3, CH3, DIGIT_3);
CHANNEL_LINE(kLine4, CH4, DIGIT_4);
CHANNEL_LINE(kLine5, CH5, DIGIT_5);

#define CLOCK OVAL(PAPER, INK, 1, 2.5, 1.5, 12, 12), LINE(INK, 1, "M8.5 4.5 V7.5 H11.5")

static const SorvaneResShape kHistory30[] = {
    CLOCK, LINE(BLUE_DARK, 1, "M12.5 15.5" DIGIT_3 " M18.5 15.5" DIGIT_0),
};
static const SorvaneResShape kHistory60[] = {
    CLOCK, LINE(BLUE_DARK, 1, "M12.5 15.5" DIGIT_6 " M18.5 15.5" DIGIT_0),
};
static const SorvaneResShape kHistory120[] = {
    CLOCK, LINE(BLUE_DARK, 1, "M5.5 15.5" DIGIT_1 " M12.5 15.5" DIGIT_2 " M18.5 15.5" DIGIT_0),
};

/* ---- the strips, in the order of the toolbars' buttons ---------------- */

const SorvaneResVector kMonitorToolbarCells[MONITOR_TOOLBAR_CELLS] = {
    CELL(kAutoScroll), CELL(kCopy), CELL(kSaveLive), CELL(kSave), CELL(kClear),
};

const SorvaneResVector kStatisticsToolbarCells[STATISTICS_TOOLBAR_CELLS] = {
    CELL(kCopy), CELL(kClear),
};

const SorvaneResVector kMessageInfoToolbarCells[MESSAGEINFO_TOOLBAR_CELLS] = {
    CELL(kCopy), CELL(kClear),
};

const SorvaneResVector kBusLoadToolbarCells[BUSLOAD_TOOLBAR_CELLS] = {
    CELL(kLine1), CELL(kLine2), CELL(kLine3), CELL(kLine4), CELL(kLine5),
    CELL(kClear), CELL(kHistory30), CELL(kHistory60), CELL(kHistory120),
};
/* clang-format on */
