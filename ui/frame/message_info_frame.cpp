#include "ui/frame/message_info_frame.h"

#include <QApplication>
#include <QMainWindow>

#include "can/can_manager.h"
#include "controls/clipboard_text.h"
#include "res/ids.h"
#include "res/resources.h"
#include "ui/frame/frame_backend.h"
#include "ui/frame/live_view_text.h"
#include "ui/frame/message_info_list.h"

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

CCanManager* CMessageInfoFrame::Manager() const {
    return Backend() != nullptr ? Backend()->Manager() : nullptr;
}

bool CMessageInfoFrame::OnCreate() {
    list_ = new CMessageInfoList(Body());
    list_->SetSettings(Backend() != nullptr ? Backend()->Settings() : nullptr);
    list_->SetSource(Manager());
    if (!list_->Create(Body(), kListControlId)) {
        return false;
    }
    SetView(list_, list_);
    return true;
}

void CMessageInfoFrame::OnViewTimer() {
    if (list_ != nullptr) {
        list_->UpdateItemCount();
    }
}

void CMessageInfoFrame::OnSettingsChanged() {
    if (list_ != nullptr) {
        list_->ApplyColors();
    }
}

bool CMessageInfoFrame::HasEntries() const {
    const CCanManager* manager = Manager();
    return manager != nullptr && manager->MessageInfoCount() > 0;
}

bool CMessageInfoFrame::OnFrameCommand(uint32_t id, CCmdUI* ui) {
    bool enabled = false;
    if (id == ID_MESSAGEINFO_COPY) {
        // A copy never waits for the workers: it is offered only while idle.
        enabled = HasEntries() && (Backend() == nullptr || !Backend()->Connected());
    } else if (id == ID_MESSAGEINFO_CLEAR) {
        enabled = HasEntries();
    } else {
        return false;
    }
    if (ui != nullptr) {
        ui->Enable(enabled);
    } else if (enabled) {
        if (id == ID_MESSAGEINFO_COPY) {
            CopyToClipboard();
        } else {
            list_->Clear();
        }
    }
    return true;
}

void CMessageInfoFrame::CopyToClipboard() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        std::string text = res::Resources::Instance().String(IDS_MESSAGEINFO_HEADER).toStdString();
        for (const MessageInfoEntry& entry : Manager()->MessageInfo()) {
            text += live_text::MessageInfoCopyLine(entry);
        }
        controls::SetClipboardText(QString::fromStdString(text));
    } catch (const std::exception&) {
        // Out of memory for the text: the clipboard stays as it was.
    }
    QApplication::restoreOverrideCursor();
}
