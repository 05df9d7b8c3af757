#include "ui/frame/monitor_frame.h"

#include <QMainWindow>

#include "controls/item_list.h"
#include "res/ids.h"

CMonitorFrame::CMonitorFrame(QWidget* parent) : CChildFrmBase(FrameParams(), parent) {
    setObjectName(QStringLiteral("CMonitorFrame"));
}

ViewFrameParams CMonitorFrame::FrameParams() {
    return {IDR_TOOLBAR_MONITOR,
            IDB_TOOLBAR_MONITOR_DISABLED,
            IDR_MENU_MONITOR,
            IDS_MONITOR_WINDOW,
            IDI_MONITOR,
            1003,
            100};
}

bool CMonitorFrame::OnCreate() {
    auto* list = new CItemList("CLASS_MONITOR_LIST", Body());
    if (!list->Create(Body(), kListControlId)) {
        return false;
    }
    SetView(list, list);
    return true;
}
