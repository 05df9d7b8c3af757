#include "vcan_config.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <map>

#include "bit_timing.h"
#include "ini_file.h"

namespace vcan {
namespace {

class Reader {
public:
    Reader(VcanConfig* cfg, const std::string& origin) : cfg_(cfg), origin_(origin) {}

    void Error(int line, const std::string& what) {
        cfg_->errors.push_back(origin_ + ": line " + std::to_string(line) + ": " + what);
    }

    bool Int(const IniEntry& e, int64_t lo, int64_t hi, int64_t* out) {
        int64_t v = 0;
        if (!ParseInteger(e.value, &v) || v < lo || v > hi) {
            Error(e.line, e.key + " must be a whole number from " + std::to_string(lo) + " to " +
                              std::to_string(hi));
            return false;
        }
        *out = v;
        return true;
    }

    bool Bool(const IniEntry& e, bool* out) {
        const std::string v = Lower(e.value);
        if (v == "1" || v == "yes" || v == "true" || v == "on") {
            *out = true;
        } else if (v == "0" || v == "no" || v == "false" || v == "off") {
            *out = false;
        } else {
            Error(e.line, e.key + " must be 0 or 1");
            return false;
        }
        return true;
    }

    bool Real(const IniEntry& e, double lo, double hi, double* out) {
        errno = 0;
        char* end = nullptr;
        const double v = std::strtod(e.value.c_str(), &end);
        if (e.value.empty() || *end != '\0' || errno != 0 || !std::isfinite(v) || v < lo ||
            v > hi) {
            Error(e.line, e.key + " must be a number from " + Format(lo) + " to " + Format(hi));
            return false;
        }
        *out = v;
        return true;
    }

    // Hexadecimal bytes separated by blanks ("01 02 ff"), or one run of digits ("0102ff").
    bool Bytes(const IniEntry& e, uint8_t* out, unsigned capacity) {
        std::string digits;
        for (char c : e.value) {
            if (std::isspace(static_cast<unsigned char>(c)) || c == ',')
                continue;
            if (!std::isxdigit(static_cast<unsigned char>(c))) {
                Error(e.line, "data must be hexadecimal bytes");
                return false;
            }
            digits += c;
        }
        // Blank-separated single digits ("1 2 3") stand for one byte each.
        if (e.value.find_first_of(" ,\t") != std::string::npos) {
            digits.clear();
            std::string word;
            auto flush = [&]() {
                if (word.size() == 1)
                    word = "0" + word;
                if (word.size() % 2)
                    word = "0" + word;
                digits += word;
                word.clear();
            };
            for (char c : e.value) {
                if (std::isspace(static_cast<unsigned char>(c)) || c == ',') {
                    flush();
                } else {
                    word += c;
                }
            }
            flush();
        }
        if (digits.size() % 2 || digits.size() / 2 > capacity) {
            Error(e.line, "data holds more bytes than the frame or an odd digit count");
            return false;
        }
        for (size_t i = 0; i < digits.size(); i += 2) {
            out[i / 2] =
                static_cast<uint8_t>(std::strtoul(digits.substr(i, 2).c_str(), nullptr, 16));
        }
        return true;
    }

    static std::string Format(double v) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%g", v);
        return buf;
    }

private:
    VcanConfig* cfg_;
    const std::string& origin_;
};

// Names the kernel accepts for a network interface; empty maps nothing.
bool ValidInterfaceName(const std::string& name) {
    if (name.size() >= 16 || name == "." || name == "..")
        return false;
    for (char c : name) {
        if (c == '/' || c == ':' || std::isspace(static_cast<unsigned char>(c)))
            return false;
    }
    return true;
}

bool ParseFlood(Reader& r, const IniEntry& e, FloodConfig* flood) {
    const std::string v = Lower(e.value);
    if (v == "off" || v == "0") {
        flood->mode = FloodConfig::Mode::kOff;
    } else if (v == "max") {
        flood->mode = FloodConfig::Mode::kMax;
    } else {
        double rate = 0;
        if (!r.Real(e, 1, 1e9, &rate))
            return false;
        flood->mode = FloodConfig::Mode::kRate;
        flood->rate = rate;
    }
    return true;
}

void ParseChannel(Reader& r, const IniSection& s, ChannelConfig* ch) {
    for (const IniEntry& e : s.entries) {
        int64_t v = 0;
        if (e.key == "present") {
            r.Bool(e, &ch->present);
        } else if (e.key == "bus") {
            if (r.Int(e, 1, 1000, &v))
                ch->bus = static_cast<int>(v);
        } else if (e.key == "fd") {
            r.Bool(e, &ch->fdCapable);
        } else if (e.key == "virtual") {
            r.Bool(e, &ch->isVirtual);
        } else if (e.key == "rx_queue") {
            if (r.Int(e, 1, 1 << 24, &v))
                ch->rxQueue = static_cast<size_t>(v);
        } else if (e.key == "tx_queue") {
            if (r.Int(e, 1, 65536, &v))
                ch->txQueue = static_cast<size_t>(v);
        } else if (e.key == "txack") {
            r.Bool(e, &ch->txAck);
        } else if (e.key == "socketcan") {
            if (ValidInterfaceName(e.value)) {
                ch->socketcan = e.value;
            } else {
                r.Error(e.line,
                        "socketcan must be an interface name of up to 15 characters "
                        "without '/', ':' or blanks; the channel stays virtual");
            }
        } else if (e.key == "flood") {
            ParseFlood(r, e, &ch->flood);
        } else if (e.key == "flood_id") {
            if (r.Int(e, 0, 0x1FFFFFFF, &v))
                ch->flood.id = static_cast<uint32_t>(v);
        } else if (e.key == "flood_extended") {
            r.Bool(e, &ch->flood.extended);
        } else if (e.key == "flood_fd") {
            r.Bool(e, &ch->flood.fd);
        } else if (e.key == "flood_brs") {
            r.Bool(e, &ch->flood.brs);
        } else if (e.key == "flood_length") {
            if (r.Int(e, 0, 64, &v))
                ch->flood.length = static_cast<unsigned>(v);
        } else if (e.key == "flood_burst") {
            if (r.Int(e, 1, 1 << 24, &v))
                ch->flood.burst = static_cast<unsigned>(v);
        } else {
            r.Error(e.line, "unknown key '" + e.key + "' in [" + s.name + "]");
        }
    }
    FloodConfig& f = ch->flood;
    if (!f.extended && f.id > 0x7FF)
        f.extended = true;
    if (f.brs && !f.fd) {
        r.Error(s.line, "[" + s.name + "] flood_brs needs flood_fd = 1");
        f.brs = false;
    }
    if (f.fd && !ch->fdCapable) {
        r.Error(s.line, "[" + s.name + "] an FD flood needs fd = 1");
        f.fd = f.brs = false;
    }
    if (f.fd ? !IsValidFdLength(f.length) : f.length > 8) {
        r.Error(s.line, "[" + s.name + "] flood_length not allowed for the frame type");
        f.length = f.fd ? 64 : 8;
    }
}

void ParseNode(Reader& r, const IniSection& s, NodeConfig* node) {
    for (const IniEntry& e : s.entries) {
        int64_t v = 0;
        if (e.key == "bus") {
            if (r.Int(e, 1, 1000, &v))
                node->bus = static_cast<int>(v);
        } else if (e.key == "bitrate") {
            if (r.Int(e, 1000, 1000000, &v))
                node->bitrate = static_cast<long>(v);
        } else if (e.key == "data_bitrate") {
            if (r.Int(e, 0, 10000000, &v))
                node->dataBitrate = static_cast<long>(v);
        } else if (e.key == "error_rate") {
            r.Real(e, 0, 10000, &node->errorRate);
        } else if (e.key == "seed") {
            if (r.Int(e, 0, 0xFFFFFFFF, &v))
                node->seed = static_cast<uint32_t>(v);
        } else {
            r.Error(e.line, "unknown key '" + e.key + "' in [" + s.name + "]");
        }
    }
}

bool ParseMessage(Reader& r, const IniSection& s, const std::map<std::string, int>& nodes,
                  const std::vector<NodeConfig>& nodeList, MessageConfig* m) {
    bool haveId = false;
    bool extendedSet = false;
    std::vector<const IniEntry*> fields;
    const IniEntry* data = nullptr;
    for (const IniEntry& e : s.entries) {
        int64_t v = 0;
        if (e.key == "node") {
            const auto it = nodes.find(Lower(e.value));
            if (it == nodes.end()) {
                r.Error(e.line, "no [node " + e.value + "] above this message");
            } else {
                m->node = it->second;
            }
        } else if (e.key == "id") {
            if (r.Int(e, 0, 0x1FFFFFFF, &v)) {
                m->id = static_cast<uint32_t>(v);
                haveId = true;
            }
        } else if (e.key == "extended") {
            extendedSet = r.Bool(e, &m->extended);
        } else if (e.key == "fd") {
            r.Bool(e, &m->fd);
        } else if (e.key == "brs") {
            r.Bool(e, &m->brs);
        } else if (e.key == "remote") {
            r.Bool(e, &m->remoteRequest);
        } else if (e.key == "answer") {
            r.Bool(e, &m->answersRemote);
        } else if (e.key == "length") {
            if (r.Int(e, 0, 64, &v))
                m->length = static_cast<unsigned>(v);
        } else if (e.key == "period") {
            r.Real(e, 0, 3600000, &m->periodMs);
        } else if (e.key == "offset") {
            r.Real(e, 0, 3600000, &m->offsetMs);
        } else if (e.key == "data") {
            data = &e;
        } else if (e.key.compare(0, 6, "field.") == 0 && e.key.size() > 6) {
            fields.push_back(&e);
        } else {
            r.Error(e.line, "unknown key '" + e.key + "' in [" + s.name + "]");
        }
    }
    if (m->node < 0 || !haveId) {
        r.Error(s.line, "[" + s.name + "] needs node and id; message left out");
        return false;
    }
    if (m->id > 0x7FF) {
        if (extendedSet && !m->extended) {
            r.Error(s.line, "[" + s.name + "] identifier above 0x7FF needs extended = 1");
        }
        m->extended = true;
    }
    const NodeConfig& node = nodeList[static_cast<size_t>(m->node)];
    if (m->brs && !m->fd) {
        r.Error(s.line, "[" + s.name + "] brs needs fd = 1");
        m->brs = false;
    }
    if (m->fd && node.dataBitrate == 0) {
        r.Error(s.line,
                "[" + s.name + "] FD message on a node without data_bitrate; sent as classic");
        m->fd = m->brs = false;
    }
    if (m->fd && m->remoteRequest) {
        r.Error(s.line, "[" + s.name + "] CAN FD has no remote frames; remote ignored");
        m->remoteRequest = false;
    }
    if (m->fd ? !IsValidFdLength(m->length) : m->length > 8) {
        r.Error(s.line, "[" + s.name + "] length not allowed for the frame type");
        m->length = m->fd ? 64 : 8;
    }
    if (data)
        r.Bytes(*data, m->data, m->length);
    for (const IniEntry* e : fields) {
        FieldGenerator gen;
        std::string why;
        const uint32_t seed =
            node.seed * 2654435761u + static_cast<uint32_t>(m->fields.size()) + m->id;
        if (gen.Parse(e->value, m->remoteRequest ? 0 : m->length, seed, &why)) {
            m->fields.push_back(gen);
        } else {
            r.Error(e->line, e->key + ": " + why);
        }
    }
    return true;
}

// "CAN3" gives 2; anything else -1.
int ChannelSection(const std::string& name) {
    const std::string n = Lower(name);
    if (n.size() < 4 || n.compare(0, 3, "can") != 0)
        return -1;
    int64_t v = 0;
    if (!ParseInteger(n.substr(3), &v) || n[3] == '0' || v < 1 || v > kMaxChannels)
        return -1;
    return static_cast<int>(v) - 1;
}

bool SectionWord(const std::string& name, const char* word, std::string* rest) {
    const std::string n = Lower(name);
    const std::string w = std::string(word) + " ";
    if (n.compare(0, w.size(), w) != 0)
        return false;
    *rest = Trim(name.substr(w.size()));
    return !rest->empty();
}

}  // namespace

void VcanConfig::Parse(const std::string& text, const std::string& origin) {
    *this = VcanConfig();
    Reader r(this, origin);
    IniFile ini;
    std::vector<std::string> iniErrors;
    ini.Parse(text, &iniErrors);
    for (const std::string& e : iniErrors)
        errors.push_back(origin + ": " + e);

    // The channel count first, so that [CANn] sections can be checked against it.
    for (const IniSection& s : ini.Sections()) {
        if (Lower(s.name) != "vcan")
            continue;
        for (const IniEntry& e : s.entries) {
            int64_t v = 0;
            if (e.key == "channels") {
                if (r.Int(e, 0, kMaxChannels, &v))
                    channelCount = static_cast<int>(v);
            } else if (e.key == "stuffing") {
                const std::string val = Lower(e.value);
                if (val == "worst") {
                    stuffing = Stuffing::kWorstCase;
                } else if (val == "actual") {
                    stuffing = Stuffing::kActual;
                } else {
                    r.Error(e.line, "stuffing must be worst or actual");
                }
            } else {
                r.Error(e.line, "unknown key '" + e.key + "' in [vcan]");
            }
        }
    }
    channels.assign(static_cast<size_t>(channelCount), ChannelConfig());

    std::map<std::string, int> nodeIndex;
    for (const IniSection& s : ini.Sections()) {
        std::string rest;
        const int ch = ChannelSection(s.name);
        if (Lower(s.name) == "vcan")
            continue;
        if (ch >= 0) {
            if (ch >= channelCount) {
                r.Error(s.line,
                        "[" + s.name + "] beyond channels = " + std::to_string(channelCount));
                continue;
            }
            ParseChannel(r, s, &channels[static_cast<size_t>(ch)]);
        } else if (SectionWord(s.name, "node", &rest)) {
            if (nodeIndex.count(Lower(rest))) {
                r.Error(s.line, "node '" + rest + "' defined twice");
                continue;
            }
            NodeConfig node;
            node.name = rest;
            ParseNode(r, s, &node);
            nodeIndex[Lower(rest)] = static_cast<int>(nodes.size());
            nodes.push_back(node);
        } else if (SectionWord(s.name, "message", &rest)) {
            MessageConfig m;
            m.name = rest;
            if (ParseMessage(r, s, nodeIndex, nodes, &m))
                messages.push_back(std::move(m));
        } else {
            r.Error(s.line, "unknown section [" + s.name + "]");
        }
    }
}

}  // namespace vcan
