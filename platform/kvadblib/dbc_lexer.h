#pragma once

// Splits DBC text into tokens. The whole file is tokenised at once: the
// parser needs a little look-ahead and the positions of line starts (the
// NS_ list and the receivers of a signal end at the line, not at a mark).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kvadb {

enum class TokenKind : uint8_t { Identifier, Number, String, Punct, End };

struct Token {
    TokenKind kind = TokenKind::End;
    bool lineStart = false;  // first token of its line
    bool indented = false;   // blanks stand before it on its line
    bool escaped = false;    // a string holding backslash escapes
    int line = 0;            // 1-based line of the token's first character
    int endLine = 0;         // line of its last character (strings may span lines)
    std::string_view text;   // a string without its quotes, as written
};

// Tokenises text. A text in quotation marks that is never closed would hold
// the rest of the file: the tokens end before it, and false is returned with
// its line and the reason.
bool Tokenise(std::string_view text, std::vector<Token>& tokens, int& errorLine,
              std::string& error);

// A string token's text with \" and \\ resolved and CR LF made LF.
std::string StringValue(const Token& token);

// A short quotation of a token for an error text.
std::string Describe(const Token& token);

}  // namespace kvadb
