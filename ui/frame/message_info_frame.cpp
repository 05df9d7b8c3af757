#include "ui/frame/message_info_frame.h"

#include <QMainWindow>

#include "controls/item_list.h"
#include "res/ids.h"

CMessageInfoFrame::CMessageInfoFrame(QWidget* parent) : CChildFrmBase(FrameParams(), parent) {
    setObjectName(QStringLiteral("CMessageInfoFrame"));
}

ViewFrameParams CMessageInfoFrame::FrameParams() {
    return {IDR_TOOLBAR_MESSAGEINFO,
            IDB_TOOLBAR_MESSAGEINFO_DISABLED,
            IDR_MENU_MESSAGEINFO,
            IDS_MESSAGEINFO_WINDOW,
            IDI_MESSAGEINFO,
            1004,
            300};
}

bool CMessageInfoFrame::OnCreate() {
    auto* list = new CItemList("CLASS_MESSAGEINFO_LIST", Body());
    if (!list->Create(Body(), kListControlId)) {
        return false;
    }
    SetView(list, list);
    return true;
}
