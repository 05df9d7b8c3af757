#pragma once

// Reads DBC text into a DbcDatabase. Accepts the format as real files use
// it: sections in any order, header sections missing, blank lines anywhere,
// statements of tools we do not interpret skipped whole. A statement that
// cannot be read is skipped up to the next statement keyword at the start of
// a line and recorded in db.problems with its line and reason; the rest of
// the file is kept.

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/kvadblib/dbc_database.h"
#include "platform/kvadblib/dbc_lexer.h"

namespace kvadb {

// False when nothing of the text is a readable DBC statement although it
// holds something (a file that is no DBC must not read as an empty
// database): error is then "line N: " and the first problem's reason. On
// false db is in an unspecified state.
bool ParseDbc(std::string_view text, DbcDatabase& db, std::string& error);

// Whether a word starts a DBC statement.
bool IsKeyword(std::string_view word);
// Decimal digits only.
bool IsIntegerText(std::string_view text);

// A VFrameFormat value, applied once the whole file is read.
struct PendingAttribute {
    DbcMessage* message;
    bool isString;
    std::string text;
    double number;
};

// The statement parser behind ParseDbc, over the tokens of one file. Each
// statement is read whole before it changes the database, so a statement that
// fails leaves nothing of itself behind.
class DbcParser {
public:
    // truncated: the tokens end early (an unclosed text), which is recorded
    // by the caller; a statement cut off there is not recorded again.
    DbcParser(const std::vector<Token>& tokens, DbcDatabase& db, bool truncated)
        : tokens_(tokens), db_(db), truncated_(truncated) {}

    void Run();
    // Statements read, in whole or with a recorded problem.
    int Statements() const { return statements_; }
    void Note(int line, std::string reason);

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
    // A keyword at the start of a line: where a statement may begin.
    static bool StartsStatement(const Token& t) {
        return t.kind == TokenKind::Identifier && t.lineStart && IsKeyword(t.text);
    }
    bool Fail(const Token& at, const std::string& expected) {
        return FailWith(at, "expected " + expected + ", found " + Describe(at));
    }
    bool FailWith(const Token& at, std::string reason) {
        failLine_ = at.line;
        failAtEnd_ = at.kind == TokenKind::End;
        failReason_ = std::move(reason);
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
    // True at the end of a statement: its ';' (taken), the end of the file
    // (the last statement often lacks its ';'), or a statement keyword at the
    // start of the next line (a missing ';', recorded).
    bool StatementEnds();
    bool EndOfStatement() {
        return StatementEnds() || Fail(Peek(), "';' at the end of the statement");
    }
    bool SkipStatement();
    // After a failed statement: on to the next statement keyword at the start
    // of a line behind the statement's first token.
    void Recover(size_t start);
    bool Statement(std::string_view keyword);

    bool ParseVersion();
    bool ParseNewSymbols();
    bool ParseBitTiming();
    bool ParseNodes();
    bool ParseValueTable();
    bool ParseMessage();
    bool ParseSignal();
    bool ParseMultiplexMark(DbcSignal& signal);
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
    const bool truncated_;
    size_t pos_ = 0;
    int statements_ = 0;
    // The failure of the statement being read.
    int failLine_ = 0;
    bool failAtEnd_ = false;
    std::string failReason_;
    DbcMessage* current_ = nullptr;  // the message whose SG_ lines follow
    bool skippingSignals_ = false;   // the SG_ lines of a message that was skipped
    std::unordered_map<uint32_t, std::vector<DbcMessage*>> byId_;
    // (identifier, signal name) to the first such signal: files refer to
    // signals thousands of times, a scan per reference would be quadratic.
    std::unordered_map<std::string, DbcSignal*> signalIndex_;
    std::vector<PendingAttribute> frameFormats_;
};

}  // namespace kvadb
