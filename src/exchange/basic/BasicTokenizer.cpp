#include "exchange/basic/BasicTokenizer.h"

#include <algorithm>

#include "base/UpperAscii.h"
#include "exchange/basic/BasicTokens.h"

namespace tavik::basic {

namespace {

constexpr int kMaxLineNumber = 32767;
constexpr size_t kMaxString = 255;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsNameStart(char c) {
    return IsLetter(c) || c == '@' || c == '_';
}
bool IsNameChar(char c) {
    return IsNameStart(c) || IsDigit(c);
}
bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

class CLineTokenizer {
public:
    CLineTokenizer(std::string_view text, std::vector<uint8_t>& out, std::string& error)
        : m_text(text), m_out(out), m_error(error) {}

    bool Run() {
        while (m_at < m_text.size()) {
            const char c = m_text[m_at];
            bool ok = true;
            if (IsBlank(c)) {
                ++m_at;
            } else if (c == '"') {
                ok = Quoted();
            } else if (IsDigit(c) || (c == '.' && IsDigit(Peek(1)))) {
                ok = Number();
            } else if (IsNameStart(c)) {
                ok = Name();
            } else if (c == ':' && Peek(1) == ':') {
                m_at += 2;
                Emit(kTokenSeparator);
            } else if (c == '!') {
                ++m_at;
                Emit(kTokenTail);
                ok = Rest();
            } else if (const uint8_t symbol = TokenOf(std::string_view(&c, 1))) {
                ++m_at;
                Emit(symbol);
            } else if (static_cast<unsigned char>(c) >= 0x20 &&
                       static_cast<unsigned char>(c) < 0x7F) {
                // Characters without a meaning of their own stay as they are.
                ++m_at;
                Plain(std::string(1, c));
            } else {
                return Fail("character code " + std::to_string(static_cast<unsigned char>(c)) +
                            " has no place outside a string");
            }
            if (!ok) return false;
        }
        return true;
    }

private:
    char Peek(size_t ahead) const {
        return m_at + ahead < m_text.size() ? m_text[m_at + ahead] : '\0';
    }

    bool SignAfterBlanks(size_t at) const {
        while (at < m_text.size() && IsBlank(m_text[at]))
            ++at;
        return at < m_text.size() && (m_text[at] == '+' || m_text[at] == '-');
    }

    bool Fail(const std::string& what) {
        m_error = what;
        return false;
    }

    // A token; what follows it is a line number when it asks for one, or when it continues a
    // list of them (GOTO 100,200; GO TO 100; GO SUB 100; THEN 100 ELSE 200).
    void Emit(uint8_t token) {
        m_out.push_back(token);
        m_lineNumbers = TakesLineNumbers(token) ||
                        (m_lineNumbers && (token == kTokenComma || token == kTokenTo ||
                                           (token == kTokenSub && m_last == kTokenGo)));
        m_last = token;
    }

    void Plain(const std::string& characters) {
        m_out.insert(m_out.end(), characters.begin(), characters.end());
        m_lineNumbers = false;
        m_last = 0;
    }

    bool String(uint8_t token, std::string_view value) {
        if (value.size() > kMaxString)
            return Fail("a string of " + std::to_string(value.size()) +
                        " characters (at most 255)");
        m_out.push_back(token);
        m_out.push_back(static_cast<uint8_t>(value.size()));
        m_out.insert(m_out.end(), value.begin(), value.end());
        m_lineNumbers = false;
        m_last = token;
        return true;
    }

    // A string in quotes from m_at, two quotes inside standing for one; false when it never
    // ends.
    bool ReadQuoted(std::string& value) {
        for (size_t i = m_at + 1; i < m_text.size(); ++i) {
            if (m_text[i] != '"') {
                value += m_text[i];
            } else if (i + 1 < m_text.size() && m_text[i + 1] == '"') {
                value += '"';
                ++i;
            } else {
                m_at = i + 1;
                return true;
            }
        }
        return false;
    }

    bool Quoted() {
        std::string value;
        if (!ReadQuoted(value)) return Fail("a string without its closing quote");
        return String(kTokenQuoted, value);
    }

    bool Number() {
        const size_t start = m_at;
        if (m_lineNumbers && IsDigit(m_text[m_at])) {
            long value = 0;
            while (IsDigit(Peek(0))) {
                value = std::min<long>(value * 10 + (m_text[m_at] - '0'), kMaxLineNumber + 1);
                ++m_at;
            }
            if (value < 1 || value > kMaxLineNumber)
                return Fail("line number " + std::string(m_text.substr(start, m_at - start)) +
                            " outside 1 to 32767");
            m_out.push_back(kTokenLineNumber);
            m_out.push_back(static_cast<uint8_t>(value >> 8));
            m_out.push_back(static_cast<uint8_t>(value));
            m_last = kTokenLineNumber;
            return true;  // a list of line numbers goes on
        }
        while (IsDigit(Peek(0)))
            ++m_at;
        if (Peek(0) == '.') {
            ++m_at;
            while (IsDigit(Peek(0)))
                ++m_at;
        }
        // A capital E goes with the number, and a sign and digits after it (1E-1, and 1.E as
        // well); a small e does not: 1e1 is the number 1 and the name E1. A bare E before a
        // sign stays a name, blanks or not: LIST drops the blanks of "8E+ 8" and "8E +", and
        // 8E+8 or 8 E+ would read back otherwise.
        const bool exponent =
            Peek(1) == '+' || Peek(1) == '-' ? IsDigit(Peek(2)) : !SignAfterBlanks(m_at + 1);
        if (Peek(0) == 'E' && exponent) {
            ++m_at;
            if (Peek(0) == '+' || Peek(0) == '-') ++m_at;
            while (IsDigit(Peek(0)))
                ++m_at;
        }
        return String(kTokenUnquoted, m_text.substr(start, m_at - start));
    }

    std::string ReadName() {
        std::string name;
        while (IsNameChar(Peek(0)))
            name += UpperAscii(m_text[m_at++]);
        if (Peek(0) == '$') {
            name += '$';
            ++m_at;
        }
        return name;
    }

    bool Name() {
        // Characters just kept that end in a name (or its $).
        const bool afterName = m_last == 0 && !m_out.empty() &&
                               (IsNameChar(static_cast<char>(m_out.back())) || m_out.back() == '$');
        const std::string name = ReadName();
        const uint8_t token = IsLetter(name[0]) ? TokenOf(name) : 0;
        if (!token) {
            // The two would be kept as one name: GOS UB would come back as GOSUB.
            if (afterName) return Fail("two names in a row before " + name);
            Plain(name);
            return true;
        }
        const uint8_t before = m_last;
        Emit(token);
        if (token == kTokenRem) {
            return Rest();
        } else if (token == kTokenData) {
            return Data();
        } else if (token == kTokenImage) {
            return Image();
        } else if (token == kTokenCall || (token == kTokenSub && before != kTokenGo)) {
            // The subprogram's name: CALL CLEAR, SUB MINE(A).
            while (IsBlank(Peek(0)))
                ++m_at;
            if (IsNameStart(Peek(0))) {
                std::string sub;
                while (IsNameChar(Peek(0)))
                    sub += UpperAscii(m_text[m_at++]);
                return String(kTokenUnquoted, sub);
            }
        }
        return true;
    }

    // The rest of the line as typed: the text of REM and "!". A zero byte would end the line.
    bool Rest() {
        const std::string_view rest = m_text.substr(m_at);
        if (rest.find('\0') != std::string_view::npos)
            return Fail("character code 0 has no place in a remark");
        m_out.insert(m_out.end(), rest.begin(), rest.end());
        m_at = m_text.size();
        return true;
    }

    // DATA items to the end of the line, separated by commas: each a string in quotes or the
    // characters up to the next comma, without blanks around them; an empty item stays empty.
    bool Data() {
        for (bool first = true; first || m_at < m_text.size(); first = false) {
            if (!first) {
                ++m_at;  // the comma
                m_out.push_back(kTokenComma);
            }
            while (IsBlank(Peek(0)))
                ++m_at;
            const size_t start = m_at;
            if (Peek(0) == '"') {
                std::string value;
                const bool closed = ReadQuoted(value);
                while (closed && IsBlank(Peek(0)))
                    ++m_at;
                if (closed && (m_at == m_text.size() || Peek(0) == ',')) {
                    if (!String(kTokenQuoted, value)) return false;
                    continue;
                }
                m_at = start;  // text after the quotes: the item is an unquoted one
            }
            const size_t comma = std::min(m_text.find(',', m_at), m_text.size());
            const std::string_view item = Trim(m_text.substr(start, comma - start));
            m_at = comma;
            if (!item.empty() && !String(kTokenUnquoted, item)) return false;
        }
        return true;
    }

    // The IMAGE format: the rest of the line, in quotes when the whole of it is.
    bool Image() {
        const std::string_view rest = Trim(m_text.substr(m_at));
        m_at = m_text.size();
        if (rest.empty()) return true;
        if (rest.front() == '"') {
            CLineTokenizer quoted(rest, m_out, m_error);
            std::string value;
            if (quoted.ReadQuoted(value) && quoted.m_at == rest.size())
                return String(kTokenQuoted, value);
        }
        return String(kTokenUnquoted, rest);
    }

    std::string_view m_text;
    std::vector<uint8_t>& m_out;
    std::string& m_error;
    size_t m_at = 0;
    bool m_lineNumbers = false;
    uint8_t m_last = 0;
};

}  // namespace

bool TokenizeStatements(std::string_view text, std::vector<uint8_t>& tokens, std::string& error) {
    tokens.clear();
    return CLineTokenizer(text, tokens, error).Run();
}

bool TokenizeListing(std::string_view text, std::vector<BasicLine>& lines, std::string& error) {
    lines.clear();
    size_t textLine = 0;
    while (!text.empty()) {
        ++textLine;
        const size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const std::string where = "Text line " + std::to_string(textLine) + ": ";
        size_t at = 0;
        while (at < line.size() && IsBlank(line[at]))
            ++at;
        if (at == line.size()) continue;
        // A line ends at its line feed (after a carriage return or not); a carriage return
        // anywhere else would not come back from the line's listing.
        if (line.find('\r') != std::string_view::npos) {
            error = where + "a carriage return inside the line";
            return false;
        }
        long number = 0;
        const size_t digits = at;
        while (at < line.size() && IsDigit(line[at]))
            number = std::min<long>(number * 10 + (line[at++] - '0'), kMaxLineNumber + 1);
        if (at == digits) {
            error = where + "no line number";
            return false;
        }
        if (number < 1 || number > kMaxLineNumber) {
            error = where + "line number outside 1 to 32767";
            return false;
        }
        BasicLine l;
        l.number = static_cast<int>(number);
        std::string problem;
        if (!TokenizeStatements(line.substr(at), l.tokens, problem)) {
            error = where + "line " + std::to_string(number) + ": " + problem;
            return false;
        }
        lines.push_back(std::move(l));
    }
    std::sort(lines.begin(), lines.end(),
              [](const BasicLine& a, const BasicLine& b) { return a.number < b.number; });
    for (size_t i = 1; i < lines.size(); ++i) {
        if (lines[i].number == lines[i - 1].number) {
            error = "Line " + std::to_string(lines[i].number) + " is given twice";
            return false;
        }
    }
    return true;
}

}  // namespace tavik::basic
