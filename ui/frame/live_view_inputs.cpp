#include "ui/frame/live_view_inputs.h"

#include "settings/app_settings.h"
#include "ui/frame/child_frm_base.h"
#include "ui/frame/frame_backend.h"

CLiveViewInputs::CLiveViewInputs(const CChildFrmBase* frame)
    : frame_(frame), ownSettings_(std::make_unique<AppSettings>()) {}

CLiveViewInputs::~CLiveViewInputs() = default;

AppSettings& CLiveViewInputs::Settings() const {
    CFrameBackend* backend = frame_->Backend();
    AppSettings* settings = backend != nullptr ? backend->Settings() : nullptr;
    return settings != nullptr ? *settings : *ownSettings_;
}

bool CLiveViewInputs::Connected() const {
    return frame_->Backend() != nullptr && frame_->Backend()->Connected();
}

bool CLiveViewInputs::Enabled(int index) const {
    return frame_->Backend() != nullptr && frame_->Backend()->Channel(index).enabled != 0;
}

bool CLiveViewInputs::EnabledAndActive(int index) const {
    return Enabled(index) && (!Connected() || frame_->Backend()->ChannelActive(index));
}

bool CLiveViewInputs::EnabledAndOnBus(int index) const {
    return Enabled(index) && (!Connected() || frame_->Backend()->ChannelBusOn(index));
}

CStatisticsSource* CLiveViewInputs::Source() {
    if (source_ != nullptr) {
        return source_;
    }
    CCanManager* manager = frame_->Backend() != nullptr ? frame_->Backend()->Manager() : nullptr;
    if (manager == nullptr) {
        return nullptr;
    }
    if (!managerSource_) {
        managerSource_ = std::make_unique<CManagerStatisticsSource>(manager);
    }
    return managerSource_.get();
}
