// Decoding of a frame record with the loaded model.

#include <algorithm>

#include "candb/candb_manager.h"
#include "candb/signal_decoder.h"

bool CCANdbManager::Decode(const CanFrameRecord& record) {
    decodedTexts.clear();
    const size_t bytes = std::min<size_t>(record.dlc, kMaxFrameBytes);
    for (const CandbMessage& message : messages) {
        // The full identifier decides; a standard and an extended message of
        // one number both contribute.
        if (message.id != record.id || !message.signals) {
            continue;
        }
        // Of a multiplexed message only the signals of the multiplexer value
        // the frame carries are decoded.
        bool multiplexed = false;
        bool haveMux = false;
        uint64_t muxValue = 0;
        for (const CandbSignal& s : *message.signals) {
            if (s.mode == kCandbMultiplexor) {
                multiplexed = true;
                haveMux = candb::ExtractRaw(record.data, bytes, s.encoding, s.startBit, s.length,
                                            muxValue);
                break;
            }
        }
        for (const CandbSignal& s : *message.signals) {
            if (multiplexed && s.mode >= 0 &&
                (!haveMux || static_cast<uint64_t>(s.mode) != muxValue)) {
                continue;
            }
            uint64_t raw = 0;
            candb::ExtractRaw(record.data, bytes, s.encoding, s.startBit, s.length, raw);
            candb::DecodedSignal d = candb::DecodeSignal(s, raw);
            decodedTexts.push_back(s.name);
            decodedTexts.push_back(std::move(d.valueText));
            decodedTexts.push_back(std::move(d.tableText));
        }
    }
    return !decodedTexts.empty();
}
