/* Icons of the application and the view windows, the pane icons, the
 * CANdb tree images and the product logo. 16 x 16 unless said. */
#include "res/images/image_shapes.h"
#include "res/images/images.h"

/* clang-format off */

/* The application: CAN_H and CAN_L of a dominant bit on a blue tile. */
static const SorvaneResShape kApp[] = {
    GRECT(0xFF4C8BEBu, BLUE_DARK, 0xFF173F80u, 1, 0.5, 0.5, 15, 15, 3),
    LINE(0xFF9FD4FFu, 1, "M2.5 8.5 H5.5 V12.5 H10.5 V8.5 H13.5"),
    LINE(PAPER, 1, "M2.5 8.5 H5.5 V3.5 H10.5 V8.5 H13.5"),
};
const SorvaneResVector kAppIcon[1] = {CELL(kApp)};

/* A window frame with a title bar; each view shows its content below it. */
#define WINDOW_FRAME RECT(PAPER, INK, 1, 0.5, 1.5, 15, 13, 1.5)
#define WINDOW_TITLE GRECT(BLUE_LIGHT, BLUE, NONE, 0, 1, 2, 14, 3, 1)

/* Monitor: rows of frames, one of them failed (red). */
static const SorvaneResShape kMonitor[] = {
    WINDOW_FRAME, WINDOW_TITLE,
    LINE(INK_SOFT, 1, "M3.5 7.5 H12.5 M3.5 11.5 H12.5"),
    LINE(RED, 1, "M3.5 9.5 H12.5"),
};
const SorvaneResVector kMonitorIcon[1] = {CELL(kMonitor)};

/* Statistics: a bar chart. */
static const SorvaneResShape kStatistics[] = {
    WINDOW_FRAME, WINDOW_TITLE,
    RECT(BLUE, NONE, 0, 3, 10, 2, 3, 0),
    RECT(GREEN, NONE, 0, 6, 7, 2, 6, 0),
    RECT(AMBER_DARK, NONE, 0, 9, 8, 2, 5, 0),
    RECT(RED, NONE, 0, 12, 6, 1, 7, 0),
};
const SorvaneResVector kStatisticsIcon[1] = {CELL(kStatistics)};

/* Bus load: a load line under its threshold. */
static const SorvaneResShape kBusLoad[] = {
    WINDOW_FRAME, WINDOW_TITLE,
    LINE(RED_LIGHT, 1, "M2.5 7.5 H13.5"),
    FLAT(GREEN, 1.5, "M2 12.5 L5 10 L8 11.5 L11 8.5 L14 9.5"),
};
const SorvaneResVector kBusLoadIcon[1] = {CELL(kBusLoad)};

/* Message info: a table with a header row. */
static const SorvaneResShape kMessageInfo[] = {
    WINDOW_FRAME, WINDOW_TITLE,
    RECT(PAPER_SHADE, NONE, 0, 1, 5, 14, 2, 0),
    LINE(LINE_GREY, 1, "M1.5 7.5 H14.5 M1.5 10.5 H14.5 M5.5 5.5 V13.5 M10.5 5.5 V13.5"),
};
const SorvaneResVector kMessageInfoIcon[1] = {CELL(kMessageInfo)};

/* ---- pane icons: CANdb, output log, message detail --------------------- */

static const SorvaneResShape kPaneCandb[] = {
    GPATH(BLUE_LIGHT, BLUE, BLUE_DARK, 1,
          "M2.5 4 V12.5 C2.5 13.9 5 15 8 15 C11 15 13.5 13.9 13.5 12.5 V4 Z"),
    PATH(NONE, 0xFFCFE2FBu, 1, "M3.5 8.5 C4.5 9.5 6 10 8 10 C10 10 11.5 9.5 12.5 8.5"),
    OVAL(0xFFDCEBFDu, BLUE_DARK, 1, 2.5, 1.5, 11, 4.5),
};

static const SorvaneResShape kPaneLog[] = {
    RECT(PAPER, INK, 1, 1.5, 1.5, 13, 13, 1),
    RECT(BLUE, NONE, 0, 3, 4, 2, 1, 0),
    RECT(AMBER_DARK, NONE, 0, 3, 7, 2, 1, 0),
    RECT(RED, NONE, 0, 3, 10, 2, 1, 0),
    LINE(LINE_GREY, 1, "M6.5 4.5 H12.5 M6.5 7.5 H11.5 M6.5 10.5 H12.5"),
};

static const SorvaneResShape kPaneDetail[] = {
    RECT(PAPER, INK, 1, 0.5, 0.5, 11, 13, 1),
    LINE(LINE_GREY, 1, "M2.5 3.5 H9.5 M2.5 5.5 H7.5"),
    OVAL(0x40FFFFFFu, BLUE_DARK, 1.5, 5.25, 6.25, 6.5, 6.5),
    FLAT(BLUE_DARK, 2, "M11 12 L15 16"),
};

const SorvaneResVector kPaneIconCells[PANE_ICON_CELLS] = {
    CELL(kPaneCandb), CELL(kPaneLog), CELL(kPaneDetail),
};

/* ---- CANdb tree: message, message selected, signal, signal selected ---- */

#define ENVELOPE(paper, ink) \
    RECT(paper, ink, 1, 1.5, 3.5, 13, 9, 1), LINE(ink, 1, "M2.5 4.5 L8 9 L13.5 4.5")

static const SorvaneResShape kTreeMessage[] = {ENVELOPE(PAPER, BLUE_DARK)};
static const SorvaneResShape kTreeMessageSelected[] = {
    RECT(AMBER_LIGHT, AMBER_DARK, 1, 1.5, 3.5, 13, 9, 1),
    LINE(AMBER_DARK, 1, "M2.5 4.5 L8 9 L13.5 4.5"),
};
static const SorvaneResShape kTreeSignal[] = {
    PATH(NONE, CH4, 1.5, "M1 8 C3 2.5 5 2.5 7 8 C9 13.5 11 13.5 13 8 L15 5"),
};
static const SorvaneResShape kTreeSignalSelected[] = {
    RECT(AMBER_LIGHT, AMBER_DARK, 1, 0.5, 1.5, 15, 13, 2),
    PATH(NONE, AMBER_DARK, 1.5, "M1.5 8 C3 3 5 3 7 8 C9 13 11 13 12.5 8 L14.5 5"),
};

const SorvaneResVector kCandbTreeCells[CANDB_TREE_CELLS] = {
    CELL(kTreeMessage), CELL(kTreeMessageSelected), CELL(kTreeSignal), CELL(kTreeSignalSelected),
};

/* ---- product logo, 48 x 48 ---------------------------------------------- */

static const SorvaneResShape kLogo[] = {
    GRECT(0xFF5C97EFu, 0xFF173F80u, 0xFF123266u, 1, 1.5, 1.5, 45, 45, 9),
    RECT(0x22FFFFFFu, NONE, 0, 4, 4, 40, 18, 7),
    /* CAN_L below, CAN_H above: three bits, dominant in the middle */
    FLAT(0xFF9FD4FFu, 3, "M6 25.5 H15.5 V36.5 H24 V25.5 H29 V36.5 H34 V25.5 H42"),
    FLAT(PAPER, 3, "M6 25.5 H15.5 V12.5 H24 V25.5 H29 V12.5 H34 V25.5 H42"),
};
const SorvaneResVector kProductLogo[1] = {CELL(kLogo)};
/* clang-format on */
