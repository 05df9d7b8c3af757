#include "ui/dialogs/send_target.h"

#include "can/can_manager.h"
#include "ui/frame/frame_backend.h"

ChannelSettings CFrameSendTarget::Channel(int index) const {
    return backend_.Channel(index);
}

bool CFrameSendTarget::Connected() const {
    return backend_.Connected();
}

bool CFrameSendTarget::BusOn(int index) const {
    return backend_.ChannelBusOn(index);
}

bool CFrameSendTarget::Queue(const CanFrameRecord& record) {
    CCanManager* manager = backend_.Manager();
    return manager != nullptr && manager->QueueFrame(record);
}
