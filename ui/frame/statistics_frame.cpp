#include "ui/frame/statistics_frame.h"

#include <QMainWindow>

#include "controls/item_list.h"
#include "res/ids.h"

CStatisticsFrame::CStatisticsFrame(QWidget* parent) : CChildFrmBase(FrameParams(), parent) {
    setObjectName(QStringLiteral("CStatisticsFrame"));
}

ViewFrameParams CStatisticsFrame::FrameParams() {
    return {IDR_TOOLBAR_STATISTICS,
            IDB_TOOLBAR_STATISTICS_DISABLED,
            IDR_MENU_STATISTICS,
            IDS_STATISTICS_WINDOW,
            IDI_STATISTICS,
            1001,
            500};
}

bool CStatisticsFrame::OnCreate() {
    auto* list = new CItemList("CLASS_STATISTICS_LIST", Body());
    if (!list->Create(Body(), kListControlId)) {
        return false;
    }
    SetView(list, list);
    return true;
}
