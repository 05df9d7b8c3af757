#include "ui/frame/bus_load_frame.h"

#include <QMainWindow>

#include "res/ids.h"

CBusLoadFrame::CBusLoadFrame(QWidget* parent) : CChildFrmBase(FrameParams(), parent) {
    setObjectName(QStringLiteral("CBusLoadFrame"));
}

ViewFrameParams CBusLoadFrame::FrameParams() {
    return {IDR_TOOLBAR_BUSLOAD,
            IDB_TOOLBAR_BUSLOAD_DISABLED,
            IDR_MENU_BUSLOAD,
            IDS_BUSLOAD_WINDOW,
            IDI_BUSLOAD,
            1002,
            500};
}

bool CBusLoadFrame::OnCreate() {
    // The graph draws itself; until it has content the area stays the
    // window colour.
    auto* graph = new QWidget(Body());
    graph->setObjectName(QStringLiteral("CBusLoadGraph"));
    graph->setProperty("controlId", kGraphControlId);
    graph->setAutoFillBackground(true);
    graph->setBackgroundRole(QPalette::Base);
    graph->setFocusPolicy(Qt::StrongFocus);
    SetView(graph);
    return true;
}
