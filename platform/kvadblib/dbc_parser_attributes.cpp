// Attributes, value descriptions and the other statements that refer to
// messages and signals read before them.

#include <cmath>
#include <string>

#include "platform/kvadblib/dbc_parser.h"
#include "platform/kvadblib/kvadblib.h"

namespace kvadb {

bool DbcParser::ParseAttributeDefinition(bool relation) {
    Next();
    DbcAttributeDefinition def;
    const Token& ownerToken = Peek();
    if (ownerToken.kind == TokenKind::Identifier) {
        std::string_view o = ownerToken.text;
        if (relation && (o == "BU_SG_REL_" || o == "BU_BO_REL_" || o == "BU_EV_REL_")) {
            def.owner = AttributeOwner::Relation;
        } else if (!relation && o == "BU_") {
            def.owner = AttributeOwner::Node;
        } else if (!relation && o == "BO_") {
            def.owner = AttributeOwner::Message;
        } else if (!relation && o == "SG_") {
            def.owner = AttributeOwner::Signal;
        } else if (!relation && o == "EV_") {
            def.owner = AttributeOwner::EnvVar;
        } else {
            return Fail(ownerToken, "the object type or the attribute name in quotation marks");
        }
        Next();
    } else if (relation) {
        def.owner = AttributeOwner::Relation;
    }
    if (!String(def.name, "the attribute name in quotation marks")) {
        return false;
    }
    const Token& type = Peek();
    if (IsWord(type, "INT") || IsWord(type, "HEX") || IsWord(type, "FLOAT")) {
        def.kind = IsWord(type, "INT")   ? AttributeKind::Int
                   : IsWord(type, "HEX") ? AttributeKind::Hex
                                         : AttributeKind::Float;
        Next();
        if (!Real(def.minimum, "the minimum of the attribute") ||
            !Real(def.maximum, "the maximum of the attribute")) {
            return false;
        }
    } else if (IsWord(type, "STRING")) {
        def.kind = AttributeKind::String;
        Next();
    } else if (IsWord(type, "ENUM")) {
        def.kind = AttributeKind::Enum;
        Next();
        while (Peek().kind == TokenKind::String || IsPunct(Peek(), ',')) {
            const Token& t = Next();
            if (t.kind == TokenKind::String) {
                def.enumNames.push_back(StringValue(t));
            }
        }
    } else {
        return Fail(type, "the attribute type INT, HEX, FLOAT, STRING or ENUM");
    }
    if (!EndOfStatement()) {
        return false;
    }
    db_.attributeDefinitions.push_back(std::move(def));
    return true;
}

bool DbcParser::ParseAttributeDefault(bool relation) {
    Next();
    std::string name;
    if (!String(name, "the attribute name in quotation marks")) {
        return false;
    }
    std::string text;
    double number = 0;
    const bool isString = Peek().kind == TokenKind::String;
    if (isString ? !String(text, "the default value") : !Real(number, "the default value")) {
        return false;
    }
    if (!EndOfStatement()) {
        return false;
    }
    if (DbcAttributeDefinition* def = relation ? nullptr : FindDefinition(name)) {
        def->hasDefault = true;
        def->defaultText = std::move(text);
        def->defaultNumber = number;
    }
    return true;
}

bool DbcParser::ParseAttribute() {
    Next();
    std::string name;
    if (!String(name, "the attribute name in quotation marks")) {
        return false;
    }
    DbcMessage* message = nullptr;
    bool onMessage = false;
    const Token& target = Peek();
    uint64_t fileId = 0;
    std::string_view objectName;
    if (IsWord(target, "BU_") || IsWord(target, "EV_")) {
        Next();
        if (!Identifier(objectName, "the object name")) {
            return false;
        }
    } else if (IsWord(target, "BO_") || IsWord(target, "SG_")) {
        const bool isSignal = IsWord(target, "SG_");
        Next();
        if (!Unsigned(fileId, 0xFFFFFFFFu, "the message identifier") ||
            (isSignal && !Identifier(objectName, "the signal name"))) {
            return false;
        }
        onMessage = !isSignal;
        message = FindMessage(fileId);
    }
    std::string text;
    double number = 0;
    const bool isString = Peek().kind == TokenKind::String;
    if (isString ? !String(text, "the attribute value") : !Real(number, "the attribute value")) {
        return false;
    }
    if (!EndOfStatement()) {
        return false;
    }
    if (onMessage && message != nullptr && name == "VFrameFormat") {
        frameFormats_.push_back({message, isString, std::move(text), number});
    } else if (target.kind == TokenKind::String || target.kind == TokenKind::Number ||
               IsPunct(target, '-')) {
        if (name == "ProtocolType" && isString) {
            db_.protocolType = text;
        }
    }
    return true;
}

bool DbcParser::ParseValueDescriptions() {
    Next();
    std::vector<DbcEnumValue> values;
    if (Peek().kind == TokenKind::Number) {
        uint64_t fileId = 0;
        std::string_view signalName;
        if (!Unsigned(fileId, 0xFFFFFFFFu, "the message identifier") ||
            !Identifier(signalName, "the signal name") || !ParseValuePairs(values)) {
            return false;
        }
        if (DbcSignal* s = FindSignal(fileId, signalName)) {
            s->enumValues = std::move(values);
        }
        return true;
    }
    std::string_view variable;
    return Identifier(variable, "the message identifier or a variable name") &&
           ParseValuePairs(values);
}

bool DbcParser::ParseSignalValueType() {
    Next();
    uint64_t fileId = 0;
    uint64_t type = 0;
    std::string_view signalName;
    if (!Unsigned(fileId, 0xFFFFFFFFu, "the message identifier") ||
        !Identifier(signalName, "the signal name")) {
        return false;
    }
    if (IsPunct(Peek(), ':')) {
        Next();
    }
    const Token& typeToken = Peek();
    if (!Unsigned(type, 2, "the value type 0 (integer), 1 (float) or 2 (double)") ||
        !EndOfStatement()) {
        return false;
    }
    if (DbcSignal* s = FindSignal(fileId, signalName)) {
        if ((type == 1 && s->length != 32) || (type == 2 && s->length != 64)) {
            return Fail(typeToken, "a value type that fits the signal's length of " +
                                       std::to_string(s->length) + " bits");
        }
        if (type == 1) {
            s->representationType = kvaDb_Float;
        } else if (type == 2) {
            s->representationType = kvaDb_Double;
        }
    }
    return true;
}

bool DbcParser::ParseSignalGroup() {
    Next();
    DbcSignalGroup group;
    uint64_t fileId = 0;
    uint64_t repetitions = 0;
    std::string_view name;
    if (!Unsigned(fileId, 0xFFFFFFFFu, "the message identifier") ||
        !Identifier(name, "the signal group name") ||
        !Unsigned(repetitions, 0xFFFFFFFFu, "the repetition count") ||
        !Punct(':', "':' before the signals of the group")) {
        return false;
    }
    group.messageId = static_cast<uint32_t>(fileId);
    group.name = std::string(name);
    while (!StatementEnds()) {
        if (IsPunct(Peek(), ',')) {
            Next();
            continue;
        }
        std::string_view signal;
        if (!Identifier(signal, "a signal name or ';'")) {
            return false;
        }
        group.signalNames.emplace_back(signal);
    }
    db_.signalGroups.push_back(std::move(group));
    return true;
}

bool DbcParser::ParseEnvironmentVariable() {
    Next();
    DbcEnvironmentVariable var;
    std::string_view name;
    uint64_t type = 0;
    uint64_t id = 0;
    std::string_view access;
    if (!Identifier(name, "the variable name") || !Punct(':', "':' after the variable name") ||
        !Unsigned(type, 2, "the variable type 0, 1 or 2") ||
        !Punct('[', "'[' before the minimum") || !Real(var.minimum, "the minimum") ||
        !Punct('|', "'|' between the minimum and the maximum") ||
        !Real(var.maximum, "the maximum") || !Punct(']', "']' after the maximum") ||
        !String(var.unit, "the unit in quotation marks") ||
        !Real(var.initial, "the initial value") ||
        !Unsigned(id, 0xFFFFFFFFu, "the variable identifier") ||
        !Identifier(access, "the access type")) {
        return false;
    }
    while (!StatementEnds()) {
        if (IsPunct(Peek(), ',')) {
            Next();
            continue;
        }
        std::string_view node;
        if (!Identifier(node, "a node name or ';'")) {
            return false;
        }
    }
    var.name = std::string(name);
    var.type = static_cast<int>(type);
    db_.environmentVariables.push_back(std::move(var));
    return true;
}

bool DbcParser::ParseMultiplexValues() {
    Next();
    uint64_t fileId = 0;
    std::string_view signal;
    std::string_view multiplexor;
    if (!Unsigned(fileId, 0xFFFFFFFFu, "the message identifier") ||
        !Identifier(signal, "the signal name") ||
        !Identifier(multiplexor, "the name of the multiplexor signal")) {
        return false;
    }
    while (true) {
        uint64_t low = 0;
        uint64_t high = 0;
        if (!Unsigned(low, 0xFFFFFFFFu, "the lowest multiplexer value of a range") ||
            !Punct('-', "'-' inside the range") ||
            !Unsigned(high, 0xFFFFFFFFu, "the highest multiplexer value of a range")) {
            return false;
        }
        if (!IsPunct(Peek(), ',')) {
            break;
        }
        Next();
    }
    return EndOfStatement();
}

void DbcParser::Finish() {
    if (db_.protocolType == "J1939") {
        db_.flags |= KVADB_DATABASE_J1939;
    }
    const DbcAttributeDefinition* def = FindDefinition("VFrameFormat");
    auto nameOf = [def](bool isString, const std::string& text, double number) -> std::string {
        if (isString) {
            return text;
        }
        if (def != nullptr && number >= 0 && number < static_cast<double>(def->enumNames.size())) {
            return def->enumNames[static_cast<size_t>(number)];
        }
        return std::string();
    };
    auto apply = [](DbcMessage* message, const std::string& format) {
        if (format.find("FD") != std::string::npos) {
            message->flags |= KVADB_MESSAGE_FD;
        }
        if (format.rfind("Extended", 0) == 0) {
            message->flags |= KVADB_MESSAGE_EXT;
        }
        if (format.rfind("J1939", 0) == 0) {
            message->flags |= KVADB_MESSAGE_J1939 | KVADB_MESSAGE_EXT;
        }
    };
    for (const PendingAttribute& a : frameFormats_) {
        apply(a.message, nameOf(a.isString, a.text, a.number));
        a.message->hasFrameFormat = true;
    }
    if (def != nullptr && def->hasDefault) {
        const bool isString = !def->defaultText.empty();
        const std::string format = nameOf(isString, def->defaultText, def->defaultNumber);
        for (auto& m : db_.messages) {
            if (!m->hasFrameFormat) {
                apply(m.get(), format);
            }
        }
    }
}

}  // namespace kvadb
