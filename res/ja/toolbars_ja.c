/* The built-in toolbars and accelerator table. */
#include "res/ids.h"
#include "res/ja/builtin_ja.h"

/* clang-format off */
static const uint32_t kMainButtons[] = {
    ID_CANDB_OPEN, 0, ID_COMM_START, ID_COMM_STOP, 0, ID_SEND_MESSAGE, 0, ID_OPTIONS,
};
static const uint32_t kMonitorButtons[] = {
    ID_MONITOR_SCROLL, 0, ID_MONITOR_COPY, 0, ID_MONITOR_SAVE_SETTING, ID_MONITOR_SAVE, 0,
    ID_MONITOR_CLEAR,
};
static const uint32_t kStatisticsButtons[] = {
    ID_STATISTICS_COPY, 0, ID_STATISTICS_CLEAR,
};
static const uint32_t kMessageInfoButtons[] = {
    ID_MESSAGEINFO_COPY, 0, ID_MESSAGEINFO_CLEAR,
};
static const uint32_t kBusLoadButtons[] = {
    ID_BUSLOAD_LINE_CAN1, ID_BUSLOAD_LINE_CAN2, ID_BUSLOAD_LINE_CAN3, ID_BUSLOAD_LINE_CAN4,
    ID_BUSLOAD_LINE_CAN5, 0, ID_BUSLOAD_CLEAR, 0, ID_BUSLOAD_HIST_30, ID_BUSLOAD_HIST_60,
    ID_BUSLOAD_HIST_120,
};

#define TOOLBAR(id, size, buttons, disabled) \
    {(id), (size), (size), (buttons), SORVANE_RES_COUNT(buttons), (id), (disabled)}

const SorvaneResToolbar kJaToolbars[] = {
    TOOLBAR(IDR_MAINFRAME, 32, kMainButtons, IDB_MAINFRAME_DISABLED),
    TOOLBAR(IDR_TOOLBAR_MONITOR, 24, kMonitorButtons, IDB_TOOLBAR_MONITOR_DISABLED),
    TOOLBAR(IDR_TOOLBAR_STATISTICS, 24, kStatisticsButtons, IDB_TOOLBAR_STATISTICS_DISABLED),
    TOOLBAR(IDR_TOOLBAR_MESSAGEINFO, 24, kMessageInfoButtons, IDB_TOOLBAR_MESSAGEINFO_DISABLED),
    TOOLBAR(IDR_TOOLBAR_BUSLOAD, 24, kBusLoadButtons, IDB_TOOLBAR_BUSLOAD_DISABLED),
};

static const SorvaneResAccel kMainAccels[] = {
    {"Ctrl+D", ID_CANDB_OPEN},
    {"F2", ID_COMM_START},
    {"Shift+F2", ID_COMM_STOP},
    {"Ctrl+M", ID_SEND_MESSAGE},
    {"F10", ID_OPTIONS},
    {"Ctrl+R", ID_COMM_RESET},
};

const SorvaneResAccelTable kJaAccelTables[] = {
    {IDR_MAINFRAME, kMainAccels, SORVANE_RES_COUNT(kMainAccels)},
};
/* clang-format on */

const uint32_t kJaToolbarCount = SORVANE_RES_COUNT(kJaToolbars);
const uint32_t kJaAccelTableCount = SORVANE_RES_COUNT(kJaAccelTables);
