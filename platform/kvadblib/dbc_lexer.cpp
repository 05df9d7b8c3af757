#include "platform/kvadblib/dbc_lexer.h"

namespace kvadb {

namespace {

bool IsIdentStart(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80;
}

bool IsIdentPart(unsigned char c) {
    return IsIdentStart(c) || (c >= '0' && c <= '9');
}

bool IsDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

// "e5", "E-3", "e+07" after digits make the number a real one.
bool IsExponent(std::string_view text, size_t i) {
    if (text[i] != 'e' && text[i] != 'E') {
        return false;
    }
    size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
        ++j;
    }
    return j < text.size() && IsDigit(static_cast<unsigned char>(text[j]));
}

}  // namespace

bool Tokenise(std::string_view text, std::vector<Token>& tokens, int& errorLine,
              std::string& error) {
    tokens.clear();
    tokens.reserve(text.size() / 5 + 16);
    const size_t n = text.size();
    size_t i = 0;
    int line = 1;
    bool atLineStart = true;
    bool sawBlank = false;
    auto newLine = [&]() {
        ++line;
        atLineStart = true;
        sawBlank = false;
    };
    bool complete = true;
    while (i < n && complete) {
        auto c = static_cast<unsigned char>(text[i]);
        if (c == '\n') {
            newLine();
            ++i;
            continue;
        }
        if (c == '\r') {
            // CR LF counts once; a lone CR ends a line as well.
            if (i + 1 < n && text[i + 1] == '\n') {
                ++i;
                continue;
            }
            newLine();
            ++i;
            continue;
        }
        if (c == ' ' || c == '\t' || c == '\f' || c == '\v' || c == 0) {
            sawBlank = true;
            ++i;
            continue;
        }
        if (c == '/' && i + 1 < n && text[i + 1] == '/') {
            while (i < n && text[i] != '\n' && text[i] != '\r') {
                ++i;
            }
            continue;
        }
        Token token;
        token.line = line;
        token.lineStart = atLineStart;
        token.indented = atLineStart && sawBlank;
        atLineStart = false;
        size_t start = i;
        if (c == '"') {
            ++i;
            size_t contentStart = i;
            bool closed = false;
            while (i < n) {
                char d = text[i];
                if (d == '\\' && i + 1 < n && (text[i + 1] == '"' || text[i + 1] == '\\')) {
                    token.escaped = true;
                    i += 2;
                    continue;
                }
                if (d == '"') {
                    closed = true;
                    break;
                }
                if (d == '\n' || (d == '\r' && (i + 1 >= n || text[i + 1] != '\n'))) {
                    ++line;
                }
                ++i;
            }
            if (!closed) {
                errorLine = token.line;
                error =
                    "the text that starts here has no closing quotation mark; the rest of "
                    "the file is not read";
                line = token.line;
                complete = false;
                break;
            }
            token.kind = TokenKind::String;
            token.text = text.substr(contentStart, i - contentStart);
            ++i;
        } else if (IsDigit(c) || (c == '.' && i + 1 < n && IsDigit(text[i + 1]))) {
            while (i < n && IsDigit(text[i])) {
                ++i;
            }
            // Tools write names that begin with digits ("2017_5", "0_COUNTER");
            // digits running straight into a letter or '_' form a name.
            if (i < n && IsIdentStart(static_cast<unsigned char>(text[i])) &&
                !IsExponent(text, i)) {
                while (i < n && IsIdentPart(static_cast<unsigned char>(text[i]))) {
                    ++i;
                }
                token.kind = TokenKind::Identifier;
                token.text = text.substr(start, i - start);
                token.endLine = line;
                tokens.push_back(token);
                continue;
            }
            if (i < n && text[i] == '.') {
                ++i;
                while (i < n && IsDigit(text[i])) {
                    ++i;
                }
            }
            if (i < n && (text[i] == 'e' || text[i] == 'E')) {
                size_t j = i + 1;
                if (j < n && (text[j] == '+' || text[j] == '-')) {
                    ++j;
                }
                if (j < n && IsDigit(text[j])) {
                    i = j;
                    while (i < n && IsDigit(text[i])) {
                        ++i;
                    }
                }
            }
            token.kind = TokenKind::Number;
            token.text = text.substr(start, i - start);
        } else if (IsIdentStart(c)) {
            while (i < n && IsIdentPart(static_cast<unsigned char>(text[i]))) {
                ++i;
            }
            token.kind = TokenKind::Identifier;
            token.text = text.substr(start, i - start);
        } else {
            token.kind = TokenKind::Punct;
            token.text = text.substr(start, 1);
            ++i;
        }
        token.endLine = line;
        tokens.push_back(token);
    }
    Token end;
    end.kind = TokenKind::End;
    end.line = line;
    end.endLine = line;
    end.lineStart = true;
    tokens.push_back(end);
    return complete;
}

std::string StringValue(const Token& token) {
    std::string out;
    out.reserve(token.text.size());
    const std::string_view t = token.text;
    for (size_t i = 0; i < t.size(); ++i) {
        char c = t[i];
        if (c == '\\' && i + 1 < t.size() && (t[i + 1] == '"' || t[i + 1] == '\\')) {
            out.push_back(t[i + 1]);
            ++i;
        } else if (c == '\r') {
            out.push_back('\n');
            if (i + 1 < t.size() && t[i + 1] == '\n') {
                ++i;
            }
        } else {
            out.push_back(c);
        }
    }
    return out;
}

std::string Describe(const Token& token) {
    switch (token.kind) {
        case TokenKind::End:
            return "the end of the file";
        case TokenKind::String: {
            std::string s = "\"";
            s.append(token.text.substr(0, 24));
            s += token.text.size() > 24 ? "...\"" : "\"";
            return s;
        }
        default: {
            std::string s = "'";
            s.append(token.text.substr(0, 40));
            s += "'";
            return s;
        }
    }
}

}  // namespace kvadb
