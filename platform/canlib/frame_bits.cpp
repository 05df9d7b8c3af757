// Frame lengths on the wire, following the frame formats of ISO 11898-1:2015.
//
// Classic frames (clause 10.4): SOF 1, identifier 11 (extended: 11 + SRR 1 + IDE 1 + 18),
// RTR 1, IDE/r1 1, r0 1, DLC 4, data 8n, CRC 15: this is the stuffed region. Then CRC
// delimiter 1, ACK slot 1, ACK delimiter 1, EOF 7 and the intermission of the interframe
// space 3, never stuffed: 13 bits. A remote frame carries no data whatever its DLC.
// Worst-case stuffing of a region of L bits is (L - 1) / 4 (one bit after the first five
// equal bits, then one after every four, each stuff bit starting the next run), which gives
// the well-known 135 bits for a standard and 160 for an extended 8-byte frame.
//
// CAN FD frames (clause 10.4.2): SOF 1, identifier 11 (extended 11 + SRR + IDE + 18), RRS 1,
// IDE 1 (standard only), FDF 1, res 1, BRS 1 are sent at the nominal rate; from ESI on, ESI 1,
// DLC 4, data 8n, stuff count 4, CRC 17 (n <= 16) or 21, CRC delimiter 1 are sent at the data
// rate when BRS is set. ACK 1, ACK delimiter 1, EOF 7 and the intermission 3 are nominal
// again. Dynamic stuffing covers SOF up to the end of the data; the stuff count and CRC carry
// fixed stuff bits instead: one before the stuff count and one after every fourth bit, 6 for
// CRC 17 and 7 for CRC 21. The rate switches at the sample points of BRS and of the CRC
// delimiter; counting BRS as nominal and the CRC delimiter as data is within one bit.
#include "frame_bits.h"

#include "canlib.h"

namespace vcan {
namespace {

constexpr uint32_t kClassicTail = 1 + 1 + 1 + 7 + 3;  // CRC delim, ACK, ACK delim, EOF, IFS
constexpr uint32_t kFdNominalTail = 1 + 1 + 7 + 3;    // ACK, ACK delim, EOF, IFS

uint32_t WorstStuff(uint32_t stuffedBits) {
    return stuffedBits == 0 ? 0 : (stuffedBits - 1) / 4;
}

// Unstuffed bit sequence of the stuffed region; at most 36 + 5 + 512 + 15 bits.
class BitSequence {
public:
    void Push(uint32_t value, unsigned count) {
        for (unsigned i = count; i-- > 0;)
            bits_[size_++] = static_cast<uint8_t>((value >> i) & 1);
    }
    unsigned Size() const { return size_; }
    uint8_t At(unsigned i) const { return bits_[i]; }

    // CRC-15 of ISO 11898-1 (polynomial 0x4599) over the bits so far.
    uint32_t Crc15() const {
        uint32_t crc = 0;
        for (unsigned i = 0; i < size_; ++i) {
            const uint32_t next = bits_[i] ^ ((crc >> 14) & 1);
            crc = (crc << 1) & 0x7FFF;
            if (next)
                crc ^= 0x4599;
        }
        return crc;
    }

    // Stuff bits the transmitter inserts into bits [0, size), counted separately for the
    // bits before `split` and from `split` on (the position of the bit that triggers it).
    void CountStuff(unsigned split, uint32_t* before, uint32_t* after) const {
        int last = -1;
        unsigned run = 0;
        *before = *after = 0;
        for (unsigned i = 0; i < size_; ++i) {
            if (bits_[i] == last) {
                ++run;
            } else {
                last = bits_[i];
                run = 1;
            }
            if (run == 5) {
                ++(i < split ? *before : *after);
                last = !last;  // the stuff bit starts the next run
                run = 1;
            }
        }
    }

private:
    uint8_t bits_[600] = {};
    unsigned size_ = 0;
};

void PushData(BitSequence& seq, const uint8_t* data, unsigned length) {
    for (unsigned i = 0; i < length; ++i)
        seq.Push(data ? data[i] : 0, 8);
}

WireBits ClassicBits(const FrameFormat& f, const uint8_t* data, Stuffing stuffing) {
    const unsigned dataBytes = f.remote ? 0 : (f.length > 8 ? 8 : f.length);
    const uint32_t region = (f.extended ? 54u : 34u) + 8 * dataBytes;
    uint32_t stuff = WorstStuff(region);
    if (stuffing == Stuffing::kActual) {
        BitSequence seq;
        seq.Push(0, 1);  // SOF
        if (f.extended) {
            seq.Push(f.id >> 18, 11);
            seq.Push(1, 1);  // SRR
            seq.Push(1, 1);  // IDE
            seq.Push(f.id & 0x3FFFF, 18);
            seq.Push(f.remote ? 1 : 0, 1);
            seq.Push(0, 2);  // r1, r0
        } else {
            seq.Push(f.id & 0x7FF, 11);
            seq.Push(f.remote ? 1 : 0, 1);
            seq.Push(0, 2);  // IDE, r0
        }
        seq.Push(f.length > 15 ? 15 : f.length, 4);
        PushData(seq, data, dataBytes);
        seq.Push(seq.Crc15(), 15);
        uint32_t unused = 0;
        seq.CountStuff(seq.Size(), &stuff, &unused);
    }
    return {region + stuff + kClassicTail, 0};
}

WireBits FdBits(const FrameFormat& f, const uint8_t* data, Stuffing stuffing) {
    const unsigned n = f.length > 64 ? 64 : f.length;
    const uint32_t arbitration = f.extended ? 36 : 17;  // SOF .. BRS
    const uint32_t dataField = 1 + 4 + 8 * n;           // ESI, DLC, data
    const uint32_t crcBits = n <= 16 ? 17 : 21;
    const uint32_t fixedStuff = n <= 16 ? 6 : 7;
    uint32_t arbStuff = WorstStuff(arbitration);
    uint32_t dataStuff = WorstStuff(arbitration + dataField) - arbStuff;
    if (stuffing == Stuffing::kActual) {
        BitSequence seq;
        seq.Push(0, 1);  // SOF
        if (f.extended) {
            seq.Push(f.id >> 18, 11);
            seq.Push(1, 1);  // SRR
            seq.Push(1, 1);  // IDE
            seq.Push(f.id & 0x3FFFF, 18);
            seq.Push(0, 1);  // RRS
        } else {
            seq.Push(f.id & 0x7FF, 11);
            seq.Push(0, 1);  // RRS
            seq.Push(0, 1);  // IDE
        }
        seq.Push(1, 1);  // FDF
        seq.Push(0, 1);  // res
        seq.Push(f.brs ? 1 : 0, 1);
        seq.Push(f.esi ? 1 : 0, 1);
        seq.Push(FdDlcCode(n), 4);
        PushData(seq, data, n);
        seq.CountStuff(arbitration, &arbStuff, &dataStuff);
    }
    const uint32_t nominal = arbitration + arbStuff + kFdNominalTail;
    const uint32_t fast = dataField + dataStuff + 4 + crcBits + fixedStuff + 1;
    if (!f.brs)
        return {nominal + fast, 0};
    return {nominal, fast};
}

}  // namespace

WireBits MessageWireBits(uint32_t id, uint32_t flags, unsigned length, const uint8_t* data,
                         Stuffing stuffing) {
    if (flags & canMSG_ERROR_FRAME)
        return ErrorFrameWireBits();
    FrameFormat ff;
    ff.id = id;
    ff.extended = (flags & canMSG_EXT) != 0;
    ff.remote = (flags & canMSG_RTR) != 0;
    ff.fd = (flags & canFDMSG_FDF) != 0;
    ff.brs = (flags & canFDMSG_BRS) != 0;
    ff.esi = (flags & canFDMSG_ESI) != 0;
    ff.length = length;
    return FrameWireBits(ff, data, stuffing);
}

uint64_t WireTimeNs(const WireBits& bits, long nominal, long data) {
    uint64_t ns = nominal > 0 ? bits.nominal * 1000000000ull / static_cast<uint64_t>(nominal) : 0;
    if (bits.data && data > 0)
        ns += bits.data * 1000000000ull / static_cast<uint64_t>(data);
    return ns;
}

bool IsValidFdLength(unsigned length) {
    return length <= 8 || length == 12 || length == 16 || length == 20 || length == 24 ||
           length == 32 || length == 48 || length == 64;
}

unsigned FdDlcCode(unsigned length) {
    if (length <= 8)
        return length;
    if (length <= 12)
        return 9;
    if (length <= 16)
        return 10;
    if (length <= 20)
        return 11;
    if (length <= 24)
        return 12;
    if (length <= 32)
        return 13;
    if (length <= 48)
        return 14;
    return 15;
}

WireBits FrameWireBits(const FrameFormat& frame, const uint8_t* data, Stuffing stuffing) {
    return frame.fd ? FdBits(frame, data, stuffing) : ClassicBits(frame, data, stuffing);
}

// Active error flag 6, the other nodes' flags superimposed up to 6 more, delimiter 8,
// intermission 3. The bits of the frame the error interrupted are not counted.
WireBits ErrorFrameWireBits() {
    return {6 + 6 + 8 + 3, 0};
}

}  // namespace vcan
