#pragma once

// Reads DBC text into a DbcDatabase. Accepts the format as real files use
// it: sections in any order, header sections missing, blank lines anywhere,
// statements of tools we do not interpret skipped whole.

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/kvadblib/dbc_database.h"
#include "platform/kvadblib/dbc_lexer.h"

namespace kvadb {

// On failure returns false, leaves db in an unspecified state and sets error
// to "line N: expected ..., found ...".
bool ParseDbc(std::string_view text, DbcDatabase& db, std::string& error);

// A VFrameFormat value, applied once the whole file is read.
struct PendingAttribute {
    DbcMessage* message;
    bool isString;
    std::string text;
    double number;
};

// The statement parser behind ParseDbc, over the tokens of one file.
class DbcParser {
public:
    DbcParser(const std::vector<Token>& tokens, DbcDatabase& db) : tokens_(tokens), db_(db) {}

    bool Run();
    std::string error;

private:
    const Token& Peek(size_t ahead = 0) const {
        size_t p = pos_ + ahead;
        return p < tokens_.size() ? tokens_[p] : tokens_.back();
    }
    const Token& Next() {
        const Token& t = tokens_[pos_];
        if (pos_ + 1 < tokens_.size()) {
            ++pos_;
        }
        return t;
    }
    static bool IsPunct(const Token& t, char c) {
        return t.kind == TokenKind::Punct && t.text[0] == c;
    }
    static bool IsWord(const Token& t, std::string_view word) {
        return t.kind == TokenKind::Identifier && t.text == word;
    }
    bool Fail(const Token& at, const std::string& expected) {
        error = "line " + std::to_string(at.line) + ": expected " + expected + ", found " +
                Describe(at);
        return false;
    }
    bool Punct(char c, const char* what) {
        if (!IsPunct(Peek(), c)) {
            return Fail(Peek(), what);
        }
        Next();
        return true;
    }
    bool Identifier(std::string_view& out, const char* what) {
        if (Peek().kind != TokenKind::Identifier) {
            return Fail(Peek(), what);
        }
        out = Next().text;
        return true;
    }
    bool String(std::string& out, const char* what) {
        if (Peek().kind != TokenKind::String) {
            return Fail(Peek(), what);
        }
        const Token& t = Next();
        out = t.escaped ? StringValue(t) : std::string(t.text);
        if (!t.escaped && out.find('\r') != std::string::npos) {
            out = StringValue(t);
        }
        return true;
    }
    bool Unsigned(uint64_t& out, uint64_t max, const char* what);
    bool Integer(int64_t& out, const char* what);
    bool Real(double& out, const char* what);
    // The last statement of a file often lacks its ';'; the end closes it.
    bool EndOfStatement() {
        if (Peek().kind == TokenKind::End) {
            return true;
        }
        return Punct(';', "';' at the end of the statement");
    }
    bool SkipStatement();

    bool ParseVersion();
    bool ParseNewSymbols();
    bool ParseBitTiming();
    bool ParseNodes();
    bool ParseValueTable();
    bool ParseMessage();
    bool ParseSignal();
    bool ParseTransmitters();
    bool ParseComment();
    bool ParseAttributeDefinition(bool relation);
    bool ParseAttributeDefault(bool relation);
    bool ParseAttribute();
    bool ParseValueDescriptions();
    bool ParseSignalValueType();
    bool ParseSignalGroup();
    bool ParseEnvironmentVariable();
    bool ParseMultiplexValues();
    bool ParseValuePairs(std::vector<DbcEnumValue>& values);
    void Finish();

    // Files may define two messages with one identifier; statements that
    // name the identifier refer to the first, a signal to the first that has it.
    DbcMessage* FindMessage(uint64_t fileId) {
        auto it = byId_.find(static_cast<uint32_t>(fileId));
        return it == byId_.end() ? nullptr : it->second.front();
    }
    DbcSignal* FindSignal(uint64_t fileId, std::string_view name) {
        auto it = signalIndex_.find(SignalKey(fileId, name));
        return it == signalIndex_.end() ? nullptr : it->second;
    }
    static std::string SignalKey(uint64_t fileId, std::string_view name) {
        std::string key(reinterpret_cast<const char*>(&fileId), sizeof fileId);
        key.append(name);
        return key;
    }
    DbcAttributeDefinition* FindDefinition(std::string_view name) {
        for (auto& d : db_.attributeDefinitions) {
            if (d.name == name && d.owner != AttributeOwner::Relation) {
                return &d;
            }
        }
        return nullptr;
    }

    const std::vector<Token>& tokens_;
    DbcDatabase& db_;
    size_t pos_ = 0;
    DbcMessage* current_ = nullptr;  // the message whose SG_ lines follow
    std::unordered_map<uint32_t, std::vector<DbcMessage*>> byId_;
    // (identifier, signal name) to the first such signal: files refer to
    // signals thousands of times, a scan per reference would be quadratic.
    std::unordered_map<std::string, DbcSignal*> signalIndex_;
    std::vector<PendingAttribute> frameFormats_;
};

}  // namespace kvadb
