#include "platform/kvadblib/dbc_parser.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "platform/kvadblib/dbc_lexer.h"
#include "platform/kvadblib/kvadblib.h"

namespace kvadb {

namespace {

// Signals may lie anywhere in the first 2048 bytes (long J1939 transport
// messages); a frame shorter than that simply does not carry them.
constexpr uint64_t kMaxBitPosition = 2048 * 8;
constexpr uint64_t kMaxMessageBytes = 65535;

const std::unordered_set<std::string_view>& Keywords() {
    static const std::unordered_set<std::string_view> keywords = {"VERSION",
                                                                  "NS_",
                                                                  "BS_",
                                                                  "BU_",
                                                                  "VAL_TABLE_",
                                                                  "BO_",
                                                                  "SG_",
                                                                  "BO_TX_BU_",
                                                                  "CM_",
                                                                  "BA_DEF_",
                                                                  "BA_DEF_REL_",
                                                                  "BA_DEF_DEF_",
                                                                  "BA_DEF_DEF_REL_",
                                                                  "BA_",
                                                                  "BA_REL_",
                                                                  "VAL_",
                                                                  "SIG_VALTYPE_",
                                                                  "SIG_GROUP_",
                                                                  "EV_",
                                                                  "ENVVAR_DATA_",
                                                                  "SG_MUL_VAL_",
                                                                  "SGTYPE_",
                                                                  "SGTYPE_VAL_",
                                                                  "SIG_TYPE_REF_",
                                                                  "BA_DEF_SGTYPE_",
                                                                  "BA_SGTYPE_",
                                                                  "SIGTYPE_VALTYPE_",
                                                                  "CAT_DEF_",
                                                                  "CAT_",
                                                                  "FILTER",
                                                                  "NS_DESC_",
                                                                  "EV_DATA_",
                                                                  "BU_SG_REL_",
                                                                  "BU_EV_REL_",
                                                                  "BU_BO_REL_"};
    return keywords;
}

// Statements we accept but have no use for; each ends with a semicolon.
const std::unordered_set<std::string_view>& SkippedStatements() {
    static const std::unordered_set<std::string_view> skipped = {
        "BA_REL_",       "ENVVAR_DATA_",   "SGTYPE_",    "SGTYPE_VAL_",
        "SIG_TYPE_REF_", "BA_DEF_SGTYPE_", "BA_SGTYPE_", "SIGTYPE_VALTYPE_",
        "CAT_DEF_",      "CAT_",           "FILTER",     "NS_DESC_",
        "EV_DATA_",      "BU_SG_REL_",     "BU_EV_REL_", "BU_BO_REL_"};
    return skipped;
}

bool IsIntegerText(std::string_view text) {
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return !text.empty();
}

}  // namespace

bool DbcParser::Unsigned(uint64_t& out, uint64_t max, const char* what) {
    const Token& t = Peek();
    if (t.kind != TokenKind::Number || !IsIntegerText(t.text)) {
        return Fail(t, what);
    }
    auto [end, ec] = std::from_chars(t.text.data(), t.text.data() + t.text.size(), out);
    if (ec != std::errc() || out > max) {
        error = "line " + std::to_string(t.line) + ": " + std::string(t.text) +
                " is out of range for " + what + " (at most " + std::to_string(max) + ")";
        return false;
    }
    Next();
    return true;
}

bool DbcParser::Integer(int64_t& out, const char* what) {
    bool negative = false;
    if (IsPunct(Peek(), '-') || IsPunct(Peek(), '+')) {
        negative = Next().text[0] == '-';
    }
    const Token& t = Peek();
    if (t.kind != TokenKind::Number) {
        return Fail(t, what);
    }
    if (IsIntegerText(t.text)) {
        uint64_t u = 0;
        auto [end, ec] = std::from_chars(t.text.data(), t.text.data() + t.text.size(), u);
        if (ec != std::errc()) {
            return Fail(t, std::string(what) + " of at most 64 bits");
        }
        // Values past the signed range are kept as their 64-bit pattern.
        out = negative ? static_cast<int64_t>(0 - u) : static_cast<int64_t>(u);
    } else {
        double d = 0;
        auto [end, ec] = std::from_chars(t.text.data(), t.text.data() + t.text.size(), d);
        if (ec != std::errc() || !(std::fabs(d) < 9.2e18)) {
            return Fail(t, what);
        }
        out = static_cast<int64_t>(negative ? -d : d);
    }
    Next();
    return true;
}

bool DbcParser::Real(double& out, const char* what) {
    bool negative = false;
    if (IsPunct(Peek(), '-') || IsPunct(Peek(), '+')) {
        negative = Next().text[0] == '-';
    }
    const Token& t = Peek();
    if (t.kind != TokenKind::Number) {
        return Fail(t, what);
    }
    auto [end, ec] = std::from_chars(t.text.data(), t.text.data() + t.text.size(), out);
    if (ec != std::errc() || end != t.text.data() + t.text.size()) {
        return Fail(t, std::string(what) + " in the range of a double");
    }
    if (negative) {
        out = -out;
    }
    Next();
    return true;
}

bool DbcParser::SkipStatement() {
    const Token& start = Next();
    while (Peek().kind != TokenKind::End && !IsPunct(Peek(), ';')) {
        Next();
    }
    // Like every statement, the last one of a file may end without ';'.
    static_cast<void>(start);
    Next();
    return true;
}

bool DbcParser::Run() {
    while (Peek().kind != TokenKind::End) {
        const Token& t = Peek();
        if (IsPunct(t, ';')) {
            Next();
            continue;
        }
        if (t.kind != TokenKind::Identifier) {
            return Fail(t, "a DBC keyword at the start of a statement");
        }
        const std::string_view k = t.text;
        if (k != "SG_") {
            current_ = nullptr;
        }
        bool ok = false;
        if (k == "SG_") {
            ok = ParseSignal();
        } else if (k == "BO_") {
            ok = ParseMessage();
        } else if (k == "BA_") {
            ok = ParseAttribute();
        } else if (k == "VAL_") {
            ok = ParseValueDescriptions();
        } else if (k == "CM_") {
            ok = ParseComment();
        } else if (k == "VAL_TABLE_") {
            ok = ParseValueTable();
        } else if (k == "BA_DEF_" || k == "BA_DEF_REL_") {
            ok = ParseAttributeDefinition(k == "BA_DEF_REL_");
        } else if (k == "BA_DEF_DEF_" || k == "BA_DEF_DEF_REL_") {
            ok = ParseAttributeDefault(k == "BA_DEF_DEF_REL_");
        } else if (k == "BO_TX_BU_") {
            ok = ParseTransmitters();
        } else if (k == "SIG_VALTYPE_") {
            ok = ParseSignalValueType();
        } else if (k == "SIG_GROUP_") {
            ok = ParseSignalGroup();
        } else if (k == "EV_") {
            ok = ParseEnvironmentVariable();
        } else if (k == "SG_MUL_VAL_") {
            ok = ParseMultiplexValues();
        } else if (k == "VERSION") {
            ok = ParseVersion();
        } else if (k == "NS_") {
            ok = ParseNewSymbols();
        } else if (k == "BS_") {
            ok = ParseBitTiming();
        } else if (k == "BU_") {
            ok = ParseNodes();
        } else if (SkippedStatements().count(k) != 0) {
            ok = SkipStatement();
        } else {
            return Fail(t, "a DBC keyword at the start of a statement");
        }
        if (!ok) {
            return false;
        }
    }
    Finish();
    return true;
}

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
        if (t.line == line || t.indented || (alone && Keywords().count(t.text) != 0)) {
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
        if (!sameLine && !(t.indented && Keywords().count(t.text) == 0)) {
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
    while (!IsPunct(Peek(), ';')) {
        if (Peek().kind == TokenKind::End) {
            return EndOfStatement();
        }
        // Tools leave out the ';' of a value list now and then; a keyword at
        // the start of the next line ends it as well.
        if (Peek().kind == TokenKind::Identifier && Peek().lineStart &&
            Keywords().count(Peek().text) != 0) {
            return true;
        }
        DbcEnumValue v;
        if (!Integer(v.value, "a value or ';'") ||
            !String(v.name, "the description of the value in quotation marks")) {
            return false;
        }
        values.push_back(std::move(v));
    }
    Next();
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
    if (Peek().kind == TokenKind::Identifier && Peek().line == dlcLine &&
        Keywords().count(Peek().text) == 0) {
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
        error = "line " + std::to_string(keyword.line) +
                ": expected a BO_ message before its SG_ signal, found 'SG_'";
        return false;
    }
    auto signal = std::make_unique<DbcSignal>();
    std::string_view name;
    if (!Identifier(name, "the signal name")) {
        return false;
    }
    signal->name = std::string(name);
    if (Peek().kind == TokenKind::Identifier) {
        const Token& mux = Peek();
        std::string_view m = mux.text;
        if (m == "M") {
            signal->mux = MuxKind::Multiplexor;
        } else if (m.size() >= 2 && m[0] == 'm') {
            std::string_view digits = m.substr(1);
            if (digits.back() == 'M') {
                signal->alsoMultiplexor = true;
                digits.remove_suffix(1);
            }
            uint64_t value = 0;
            auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
            if (!IsIntegerText(digits) || ec != std::errc() || value > 0x7FFFFFFF) {
                return Fail(mux, "':' after the signal name, or a multiplex mark M or m<value>");
            }
            signal->mux = MuxKind::Multiplexed;
            signal->muxValue = static_cast<int64_t>(value);
        } else {
            return Fail(mux, "':' after the signal name, or a multiplex mark M or m<value>");
        }
        Next();
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
        if (t.kind == TokenKind::Identifier && t.line == line && Keywords().count(t.text) == 0) {
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

bool DbcParser::ParseTransmitters() {
    Next();
    uint64_t fileId = 0;
    if (!Unsigned(fileId, 0xFFFFFFFFu, "the message identifier") ||
        !Punct(':', "':' after the message identifier")) {
        return false;
    }
    DbcMessage* message = FindMessage(fileId);
    while (!IsPunct(Peek(), ';')) {
        if (IsPunct(Peek(), ',')) {
            Next();
            continue;
        }
        std::string_view node;
        if (!Identifier(node, "a node name or ';'")) {
            return false;
        }
        if (message != nullptr) {
            message->transmitters.emplace_back(node);
        }
    }
    Next();
    return true;
}

bool DbcParser::ParseComment() {
    Next();
    std::string text;
    const Token& t = Peek();
    if (t.kind == TokenKind::String) {
        if (!String(db_.comment, "the comment")) {
            return false;
        }
    } else if (IsWord(t, "BU_") || IsWord(t, "EV_")) {
        const bool node = IsWord(t, "BU_");
        Next();
        std::string_view name;
        if (!Identifier(name, node ? "the node name" : "the variable name") ||
            !String(text, "the comment in quotation marks")) {
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
            !String(text, "the comment in quotation marks")) {
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
    return EndOfStatement();
}

}  // namespace kvadb
