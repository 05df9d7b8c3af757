#pragma once

#include "can/can_frame_record.h"
#include "can/channel_settings.h"

class CFrameBackend;

// What the send dialog reads and drives: the stored channel settings, the
// channels' run state and the transmit queue.
class CSendTarget {
public:
    virtual ~CSendTarget() = default;
    virtual ChannelSettings Channel(int index) const = 0;
    virtual bool Connected() const = 0;
    virtual bool BusOn(int index) const = 0;
    // Queues the frame for the channel it names and wakes that channel's
    // transmit worker; false when the channel does not run and the frame
    // was dropped.
    virtual bool Queue(const CanFrameRecord& record) = 0;
};

// The send target of the running program: the frame backend's settings
// and its channel manager.
class CFrameSendTarget : public CSendTarget {
public:
    explicit CFrameSendTarget(CFrameBackend& backend) : backend_(backend) {}
    ChannelSettings Channel(int index) const override;
    bool Connected() const override;
    bool BusOn(int index) const override;
    bool Queue(const CanFrameRecord& record) override;

private:
    CFrameBackend& backend_;
};
