// The statement loop of the DBC reader: which statement a keyword starts,
// where a statement ends, and how the reader goes on after one it cannot read.

#include "platform/kvadblib/dbc_parser.h"

#include <charconv>
#include <cmath>
#include <unordered_set>
#include <utility>
#include <vector>

#include "platform/kvadblib/dbc_lexer.h"

namespace kvadb {

namespace {

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

}  // namespace

bool IsKeyword(std::string_view word) {
    return Keywords().count(word) != 0;
}

bool IsIntegerText(std::string_view text) {
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return !text.empty();
}

bool DbcParser::Unsigned(uint64_t& out, uint64_t max, const char* what) {
    const Token& t = Peek();
    if (t.kind != TokenKind::Number || !IsIntegerText(t.text)) {
        return Fail(t, what);
    }
    auto [end, ec] = std::from_chars(t.text.data(), t.text.data() + t.text.size(), out);
    if (ec != std::errc() || out > max) {
        return FailWith(t, std::string(t.text) + " is out of range for " + what + " (at most " +
                               std::to_string(max) + ")");
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

void DbcParser::Note(int line, std::string reason) {
    ++db_.problemCount;
    if (db_.problems.size() < kMaxListedProblems) {
        db_.problems.push_back({line, std::move(reason)});
    }
}

bool DbcParser::StatementEnds() {
    const Token& t = Peek();
    if (IsPunct(t, ';')) {
        Next();
        return true;
    }
    if (t.kind == TokenKind::End) {
        return true;
    }
    if (StartsStatement(t)) {
        Note(pos_ > 0 ? tokens_[pos_ - 1].endLine : t.line,
             "the statement has no ';' at its end; it ends where the next line begins with " +
                 Describe(t));
        return true;
    }
    return false;
}

bool DbcParser::SkipStatement() {
    Next();
    while (!StatementEnds()) {
        Next();
    }
    return true;
}

void DbcParser::Recover(size_t start) {
    pos_ = start;
    Next();
    while (Peek().kind != TokenKind::End && !StartsStatement(Peek())) {
        Next();
    }
}

bool DbcParser::Statement(std::string_view k) {
    if (k == "SG_") {
        return ParseSignal();
    } else if (k == "BO_") {
        return ParseMessage();
    } else if (k == "BA_") {
        return ParseAttribute();
    } else if (k == "VAL_") {
        return ParseValueDescriptions();
    } else if (k == "CM_") {
        return ParseComment();
    } else if (k == "VAL_TABLE_") {
        return ParseValueTable();
    } else if (k == "BA_DEF_" || k == "BA_DEF_REL_") {
        return ParseAttributeDefinition(k == "BA_DEF_REL_");
    } else if (k == "BA_DEF_DEF_" || k == "BA_DEF_DEF_REL_") {
        return ParseAttributeDefault(k == "BA_DEF_DEF_REL_");
    } else if (k == "BO_TX_BU_") {
        return ParseTransmitters();
    } else if (k == "SIG_VALTYPE_") {
        return ParseSignalValueType();
    } else if (k == "SIG_GROUP_") {
        return ParseSignalGroup();
    } else if (k == "EV_") {
        return ParseEnvironmentVariable();
    } else if (k == "SG_MUL_VAL_") {
        return ParseMultiplexValues();
    } else if (k == "VERSION") {
        return ParseVersion();
    } else if (k == "NS_") {
        return ParseNewSymbols();
    } else if (k == "BS_") {
        return ParseBitTiming();
    } else if (k == "BU_") {
        return ParseNodes();
    } else if (SkippedStatements().count(k) != 0) {
        return SkipStatement();
    }
    return Fail(Peek(), "a DBC keyword at the start of a statement");
}

void DbcParser::Run() {
    while (Peek().kind != TokenKind::End) {
        const Token& t = Peek();
        if (IsPunct(t, ';')) {
            Next();
            continue;
        }
        const size_t start = pos_;
        const bool keyword = t.kind == TokenKind::Identifier && IsKeyword(t.text);
        // Anything but a keyword does not end the signal lines of a message.
        if (keyword && t.text != "SG_") {
            current_ = nullptr;
            skippingSignals_ = false;
        }
        if (keyword && t.text == "SG_" && skippingSignals_) {
            Recover(start);  // recorded with its message
            continue;
        }
        const bool message = keyword && t.text == "BO_";
        if (keyword ? Statement(t.text) : Fail(t, "a DBC keyword at the start of a statement")) {
            ++statements_;
            continue;
        }
        // A statement cut off by an unclosed text is reported with the text.
        if (!(truncated_ && failAtEnd_)) {
            if (message) {
                failReason_ += "; the message is skipped with its signals";
            }
            Note(failLine_, std::move(failReason_));
        }
        skippingSignals_ = message;
        Recover(start);
    }
    Finish();
}

bool ParseDbc(std::string_view text, DbcDatabase& db, std::string& error) {
    std::vector<Token> tokens;
    int lexLine = 0;
    std::string lexError;
    const bool complete = Tokenise(text, tokens, lexLine, lexError);
    DbcParser parser(tokens, db, !complete);
    parser.Run();
    if (!complete) {
        parser.Note(lexLine, std::move(lexError));
    }
    if (parser.Statements() == 0 && db.problemCount > 0) {
        const DbcProblem& first = db.problems.front();
        error = "line " + std::to_string(first.line) + ": " + first.reason;
        return false;
    }
    return true;
}

}  // namespace kvadb
