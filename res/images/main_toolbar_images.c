/* The main toolbar's buttons (32 x 32) and the same commands as 16 x 16
 * menu images: open CANdb, start, stop, send message, options. */
#include "res/ids.h"
#include "res/images/image_shapes.h"
#include "res/images/images.h"

/* clang-format off */

/* ---- 32 x 32 ---------------------------------------------------------- */

static const SorvaneResShape kOpenCandb32[] = {
    GPATH(AMBER_LIGHT, AMBER, AMBER_DARK, 1, "M2.5 6.5 H11 L13.5 9.5 H26.5 V26.5 H2.5 Z"),
    GPATH(0xFFFCE6AEu, AMBER_LIGHT, AMBER_DARK, 1, "M2.5 26.5 L6.5 13.5 H29.5 L26.5 26.5 Z"),
    GPATH(BLUE_LIGHT, BLUE, BLUE_DARK, 1,
          "M16.5 17.5 V27 C16.5 28.7 19.4 30 23 30 C26.6 30 29.5 28.7 29.5 27 V17.5 Z"),
    PATH(NONE, 0xFFCFE2FBu, 1, "M17.5 23 C18.6 24.2 20.6 24.8 23 24.8 C25.4 24.8 27.4 24.2 28.5 23"),
    OVAL(0xFFDCEBFDu, BLUE_DARK, 1, 16.5, 15.5, 13, 4.5),
};

static const SorvaneResShape kStart32[] = {
    GOVAL(GREEN_LIGHT, GREEN_DARK, GREEN_DARK, 1, 2.5, 2.5, 27, 27),
    PATH(PAPER, PAPER, 1.5, "M12.5 9.5 L22.5 16 L12.5 22.5 Z"),
};

static const SorvaneResShape kStop32[] = {
    GOVAL(RED_LIGHT, RED_DARK, RED_DARK, 1, 2.5, 2.5, 27, 27),
    RECT(PAPER, NONE, 0, 10, 10, 12, 12, 1.5),
};

static const SorvaneResShape kSend32[] = {
    GPATH(PAPER, 0xFFD6E6FCu, BLUE_DARK, 1, "M2.5 13.5 L29.5 2.5 L20.5 28.5 L14.5 18.5 Z"),
    GPATH(BLUE_LIGHT, BLUE, BLUE_DARK, 1, "M14.5 18.5 L29.5 2.5 L13.5 28.5 Z"),
};

static const SorvaneResShape kOptions32[] = {
    GPATH(0xFFDDE3EAu, STEEL, STEEL_DARK, 1,
          "M26.04 12.91 L29.81 13.70 L29.81 18.30 L26.04 19.09 L25.28 20.91 L27.39 24.14 "
          "L24.14 27.39 L20.91 25.28 L19.09 26.04 L18.30 29.81 L13.70 29.81 L12.91 26.04 "
          "L11.09 25.28 L7.86 27.39 L4.61 24.14 L6.72 20.91 L5.96 19.09 L2.19 18.30 L2.19 13.70 "
          "L5.96 12.91 L6.72 11.09 L4.61 7.86 L7.86 4.61 L11.09 6.72 L12.91 5.96 L13.70 2.19 "
          "L18.30 2.19 L19.09 5.96 L20.91 6.72 L24.14 4.61 L27.39 7.86 L25.28 11.09 Z "
          "M20.5 16 C20.5 18.49 18.49 20.5 16 20.5 C13.51 20.5 11.5 18.49 11.5 16 "
          "C11.5 13.51 13.51 11.5 16 11.5 C18.49 11.5 20.5 13.51 20.5 16 Z"),
};

const SorvaneResVector kMainToolbarCells[MAIN_TOOLBAR_CELLS] = {
    CELL(kOpenCandb32), CELL(kStart32), CELL(kStop32), CELL(kSend32), CELL(kOptions32),
};

/* ---- 16 x 16 ---------------------------------------------------------- */

static const SorvaneResShape kOpenCandb16[] = {
    GPATH(AMBER_LIGHT, AMBER, AMBER_DARK, 1, "M0.5 2.5 H5 L6.5 4.5 H12.5 V13.5 H0.5 Z"),
    GPATH(0xFFFCE6AEu, AMBER_LIGHT, AMBER_DARK, 1, "M0.5 13.5 L2.5 7.5 H14.5 L12.5 13.5 Z"),
    GPATH(BLUE_LIGHT, BLUE, BLUE_DARK, 1, "M8.5 10 V14 C8.5 14.8 9.8 15.5 11.75 15.5 C13.7 15.5 15 14.8 15 14 V10 Z"),
    OVAL(0xFFDCEBFDu, BLUE_DARK, 1, 8.5, 8.5, 6.5, 2.5),
};

static const SorvaneResShape kStart16[] = {
    GOVAL(GREEN_LIGHT, GREEN_DARK, GREEN_DARK, 1, 1.5, 1.5, 13, 13),
    PATH(PAPER, PAPER, 1, "M6.5 5 L11 8 L6.5 11 Z"),
};

static const SorvaneResShape kStop16[] = {
    GOVAL(RED_LIGHT, RED_DARK, RED_DARK, 1, 1.5, 1.5, 13, 13),
    RECT(PAPER, NONE, 0, 5, 5, 6, 6, 0.5),
};

static const SorvaneResShape kSend16[] = {
    GPATH(PAPER, 0xFFD6E6FCu, BLUE_DARK, 1, "M0.5 6.5 L15.5 0.5 L10.5 14.5 L7.5 9 Z"),
    GPATH(BLUE_LIGHT, BLUE, BLUE_DARK, 1, "M7.5 9 L15.5 0.5 L6.5 14.5 Z"),
};

static const SorvaneResShape kOptions16[] = {
    GPATH(0xFFDDE3EAu, STEEL, STEEL_DARK, 1,
          "M12.97 6.47 L14.91 6.85 L14.91 9.15 L12.97 9.53 L12.60 10.43 L13.70 12.07 "
          "L12.07 13.70 L10.43 12.60 L9.53 12.97 L9.15 14.91 L6.85 14.91 L6.47 12.97 L5.57 12.60 "
          "L3.93 13.70 L2.30 12.07 L3.40 10.43 L3.03 9.53 L1.09 9.15 L1.09 6.85 L3.03 6.47 "
          "L3.40 5.57 L2.30 3.93 L3.93 2.30 L5.57 3.40 L6.47 3.03 L6.85 1.09 L9.15 1.09 L9.53 3.03 "
          "L10.43 3.40 L12.07 2.30 L13.70 3.93 L12.60 5.57 Z "
          "M10.3 8 C10.3 9.27 9.27 10.3 8 10.3 C6.73 10.3 5.7 9.27 5.7 8 "
          "C5.7 6.73 6.73 5.7 8 5.7 C9.27 5.7 10.3 6.73 10.3 8 Z"),
};

const SorvaneResVector kMenuImageCells[MENU_IMAGE_CELLS] = {
    CELL(kOpenCandb16), CELL(kStart16), CELL(kStop16), CELL(kSend16), CELL(kOptions16),
};

const uint32_t kMenuImageCommands[MENU_IMAGE_CELLS] = {
    ID_CANDB_OPEN, ID_COMM_START, ID_COMM_STOP, ID_SEND_MESSAGE, ID_OPTIONS,
};
/* clang-format on */
