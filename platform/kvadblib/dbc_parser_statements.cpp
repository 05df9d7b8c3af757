// The statements that define the network: version, symbols, nodes, value
// tables, messages with their signals, transmitters and comments.

#include <charconv>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/kvadblib/dbc_parser.h"
#include "platform/kvadblib/kvadblib.h"

namespace kvadb {

namespace {

// Signals may lie anywhere in the first 2048 bytes (long J1939 transport
// messages); a frame shorter than that simply does not carry them.
constexpr uint64_t kMaxBitPosition = 2048 * 8;
constexpr uint64_t kMaxMessageBytes = 65535;

}  // namespace

bool DbcParser::ParseVersion() {
    Next();
    return String(db_.version, "the version text in quotation marks after VERSION");
}

bool DbcParser::ParseNewSymbols() {
    const int line = Next().line;
    if (IsPunct(Peek(), ':')) {
        Next();
    }
    // The list ends where the next section starts: a keyword at the start of
    // an unindented line that does not stand alone on it.
    while (Peek().kind == TokenKind::Identifier) {
        const Token& t = Peek();
        if (t.text == "BS_" || t.text == "BU_") {
            break;
        }
        const bool alone = Peek(1).line > t.line;
        if (t.line == line || t.indented || (alone && IsKeyword(t.text))) {
            Next();
            continue;
        }
        break;
    }
    return true;
}

bool DbcParser::ParseBitTiming() {
    const int line = Next().line;
    while (Peek().kind != TokenKind::End && Peek().line == line) {
        bool semicolon = IsPunct(Peek(), ';');
        Next();
        if (semicolon) {
            break;
        }
    }
    return true;
}

bool DbcParser::ParseNodes() {
    int line = Next().line;
    if (IsPunct(Peek(), ':')) {
        line = Next().line;
    }
    while (Peek().kind == TokenKind::Identifier) {
        const Token& t = Peek();
        const bool sameLine = t.line == line;
        if (!sameLine && !(t.indented && !IsKeyword(t.text))) {
            break;
        }
        DbcNode node;
        node.name = std::string(t.text);
        db_.nodes.push_back(std::move(node));
        line = Next().line;
    }
    return true;
}

bool DbcParser::ParseValuePairs(std::vector<DbcEnumValue>& values) {
    values.clear();
    // Tools leave out the ';' of a value list now and then; a keyword at the
    // start of the next line ends it as well.
    while (!StatementEnds()) {
        DbcEnumValue v;
        if (!Integer(v.value, "a value or ';'") ||
            !String(v.name, "the description of the value in quotation marks")) {
            return false;
        }
        values.push_back(std::move(v));
    }
    return true;
}

bool DbcParser::ParseValueTable() {
    Next();
    std::string_view name;
    if (!Identifier(name, "the name of the value table")) {
        return false;
    }
    DbcValueTable table;
    table.name = std::string(name);
    if (!ParseValuePairs(table.values)) {
        return false;
    }
    db_.valueTables.push_back(std::move(table));
    return true;
}

bool DbcParser::ParseMessage() {
    Next();
    uint64_t fileId = 0;
    uint64_t dlc = 0;
    std::string_view name;
    if (!Unsigned(fileId, 0xFFFFFFFFu, "the message identifier") ||
        !Identifier(name, "the message name") || !Punct(':', "':' after the message name")) {
        return false;
    }
    const int dlcLine = Peek().line;
    if (!Unsigned(dlc, kMaxMessageBytes, "the message length in bytes")) {
        return false;
    }
    auto message = std::make_unique<DbcMessage>();
    message->fileId = static_cast<uint32_t>(fileId);
    message->name = std::string(name);
    message->dlc = static_cast<uint32_t>(dlc);
    if (fileId & 0x80000000u) {
        message->id = static_cast<uint32_t>(fileId & 0x7FFFFFFFu);
        message->flags |= KVADB_MESSAGE_EXT;
    } else {
        message->id = static_cast<uint32_t>(fileId);
        // No standard frame carries an identifier above 11 bits.
        if (message->id > 0x7FF) {
            message->flags |= KVADB_MESSAGE_EXT;
        }
    }
    if (Peek().kind == TokenKind::Identifier && Peek().line == dlcLine && !IsKeyword(Peek().text)) {
        message->sender = std::string(Next().text);
    }
    current_ = message.get();
    byId_[message->fileId].push_back(message.get());
    db_.messages.push_back(std::move(message));
    return true;
}

bool DbcParser::ParseSignal() {
    const Token& keyword = Next();
    if (current_ == nullptr) {
        return FailWith(keyword, "expected a BO_ message before its SG_ signal, found 'SG_'");
    }
    auto signal = std::make_unique<DbcSignal>();
    std::string_view name;
    if (!Identifier(name, "the signal name")) {
        return false;
    }
    signal->name = std::string(name);
    if (Peek().kind == TokenKind::Identifier && !ParseMultiplexMark(*signal)) {
        return false;
    }
    uint64_t start = 0;
    uint64_t length = 0;
    if (!Punct(':', "':' after the signal name") ||
        !Unsigned(start, kMaxBitPosition - 1, "the start bit") ||
        !Punct('|', "'|' between the start bit and the length")) {
        return false;
    }
    const Token& lengthToken = Peek();
    if (!Unsigned(length, 64, "the signal length in bits")) {
        return false;
    }
    if (length == 0) {
        return Fail(lengthToken, "a signal length of 1 to 64 bits");
    }
    if (!Punct('@', "'@' before the byte order")) {
        return false;
    }
    const Token& order = Peek();
    if (order.kind != TokenKind::Number || (order.text != "0" && order.text != "1")) {
        return Fail(order, "the byte order 0 (Motorola) or 1 (Intel)");
    }
    Next();
    signal->encoding = order.text == "1" ? kvaDb_Intel : kvaDb_Motorola;
    const Token& sign = Peek();
    if (!IsPunct(sign, '+') && !IsPunct(sign, '-')) {
        return Fail(sign, "'+' (unsigned) or '-' (signed) after the byte order");
    }
    Next();
    signal->representationType = sign.text[0] == '-' ? kvaDb_Signed : kvaDb_Unsigned;
    if (!Punct('(', "'(' before the factor") || !Real(signal->factor, "the factor") ||
        !Punct(',', "',' between the factor and the offset") ||
        !Real(signal->offset, "the offset") || !Punct(')', "')' after the offset") ||
        !Punct('[', "'[' before the minimum") || !Real(signal->minimum, "the minimum") ||
        !Punct('|', "'|' between the minimum and the maximum") ||
        !Real(signal->maximum, "the maximum") || !Punct(']', "']' after the maximum") ||
        !String(signal->unit, "the unit in quotation marks")) {
        return false;
    }
    signal->fileStartBit = static_cast<int>(start);
    signal->length = static_cast<int>(length);
    if (signal->encoding == kvaDb_Intel) {
        if (start + length > kMaxBitPosition) {
            return Fail(lengthToken, "a signal that ends within 2048 bytes");
        }
        signal->startBit = static_cast<int>(start);
    } else {
        // Motorola: the file names the most significant bit; walk down to the
        // least significant one, which continues in the following byte.
        uint64_t byte = start / 8;
        uint64_t bit = start % 8;
        for (uint64_t i = 1; i < length; ++i) {
            if (bit == 0) {
                ++byte;
                bit = 7;
            } else {
                --bit;
            }
        }
        if (byte * 8 + bit >= kMaxBitPosition) {
            return Fail(lengthToken, "a signal that ends within 2048 bytes");
        }
        signal->startBit = static_cast<int>(byte * 8 + bit);
    }
    int line = Peek(0).line;
    if (pos_ > 0) {
        line = tokens_[pos_ - 1].endLine;
    }
    while (true) {
        const Token& t = Peek();
        if (IsPunct(t, ',')) {
            line = Next().endLine;
            continue;
        }
        if (t.kind == TokenKind::Identifier && t.line == line && !IsKeyword(t.text)) {
            signal->receivers.emplace_back(t.text);
            line = Next().endLine;
            continue;
        }
        break;
    }
    signalIndex_.emplace(SignalKey(current_->fileId, signal->name), signal.get());
    current_->signals.push_back(std::move(signal));
    return true;
}

bool DbcParser::ParseMultiplexMark(DbcSignal& signal) {
    const Token& mux = Next();
    const std::string_view m = mux.text;
    if (m == "M") {
        signal.mux = MuxKind::Multiplexor;
        return true;
    }
    if (m.empty() || m[0] != 'm') {
        return Fail(mux, "':' after the signal name, or a multiplex mark M or m<value>");
    }
    std::string_view digits = m.substr(1);
    const bool alsoMultiplexor = !digits.empty() && digits.back() == 'M';
    if (alsoMultiplexor) {
        digits.remove_suffix(1);
    }
    if (digits.empty()) {
        // Seen in real files: the mark without its value. Nothing tells which
        // frames carry the signal, so it is read as a plain one.
        Note(mux.line, "the multiplex mark '" + std::string(m) + "' of signal " + signal.name +
                           " has no value; the signal is read as a plain signal");
        return true;
    }
    uint64_t value = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (!IsIntegerText(digits) || ec != std::errc() || value > 0x7FFFFFFF) {
        return Fail(mux, "':' after the signal name, or a multiplex mark M or m<value>");
    }
    signal.mux = MuxKind::Multiplexed;
    signal.alsoMultiplexor = alsoMultiplexor;
    signal.muxValue = static_cast<int64_t>(value);
    return true;
}

bool DbcParser::ParseTransmitters() {
    Next();
    uint64_t fileId = 0;
    if (!Unsigned(fileId, 0xFFFFFFFFu, "the message identifier") ||
        !Punct(':', "':' after the message identifier")) {
        return false;
    }
    std::vector<std::string> transmitters;
    while (!StatementEnds()) {
        if (IsPunct(Peek(), ',')) {
            Next();
            continue;
        }
        std::string_view node;
        if (!Identifier(node, "a node name or ';'")) {
            return false;
        }
        transmitters.emplace_back(node);
    }
    if (DbcMessage* message = FindMessage(fileId)) {
        for (std::string& node : transmitters) {
            message->transmitters.push_back(std::move(node));
        }
    }
    return true;
}

bool DbcParser::ParseComment() {
    Next();
    std::string text;
    const Token& t = Peek();
    if (t.kind == TokenKind::String) {
        if (!String(text, "the comment") || !EndOfStatement()) {
            return false;
        }
        db_.comment = std::move(text);
    } else if (IsWord(t, "BU_") || IsWord(t, "EV_")) {
        const bool node = IsWord(t, "BU_");
        Next();
        std::string_view name;
        if (!Identifier(name, node ? "the node name" : "the variable name") ||
            !String(text, "the comment in quotation marks") || !EndOfStatement()) {
            return false;
        }
        if (node) {
            for (auto& n : db_.nodes) {
                if (n.name == name) {
                    n.comment = text;
                }
            }
        } else {
            for (auto& v : db_.environmentVariables) {
                if (v.name == name) {
                    v.comment = text;
                }
            }
        }
    } else if (IsWord(t, "BO_") || IsWord(t, "SG_")) {
        const bool isSignal = IsWord(t, "SG_");
        Next();
        uint64_t fileId = 0;
        std::string_view signalName;
        if (!Unsigned(fileId, 0xFFFFFFFFu, "the message identifier") ||
            (isSignal && !Identifier(signalName, "the signal name")) ||
            !String(text, "the comment in quotation marks") || !EndOfStatement()) {
            return false;
        }
        DbcMessage* message = FindMessage(fileId);
        if (!isSignal && message != nullptr) {
            message->comment = std::move(text);
        } else if (DbcSignal* s = isSignal ? FindSignal(fileId, signalName) : nullptr) {
            s->comment = std::move(text);
        }
    } else {
        return Fail(t, "a comment text, or BU_, BO_, SG_ or EV_ after CM_");
    }
    return true;
}

}  // namespace kvadb
