#include "htmlview/markup_reader.h"

#include "core/text_helpers.h"

#include <climits>

namespace orbita::html {
namespace {

constexpr int kEnd = -1;

bool IsLetter(int c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsDigit(int c)
{
    return c >= '0' && c <= '9';
}
int Upper(int c)
{
    return (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c;
}

// A decimal integer with an optional sign and nothing else; 0 otherwise
// (also when it does not fit an int).
int ParseDecimal(std::string_view text)
{
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return 0;
    long long value = 0;
    for (char c : text) {
        if (!IsDigit(c))
            return 0;
        value = value * 10 + (c - '0');
        if (value > INT_MAX)
            return 0;
    }
    return static_cast<int>(negative ? -value : value);
}

} // namespace

const Attribute* GetAttribute(const AttributeList& attributes, AttributeId id)
{
    for (const Attribute& attribute : attributes) {
        if (attribute.id == id)
            return &attribute;
    }
    return nullptr;
}

MarkupReader::MarkupReader(std::string_view input)
{
    m_text.reserve(input.size());
    for (std::size_t i = 0; i < input.size(); ++i) {
        const char c = input[i];
        if (c == '\x1A')
            break;
        if (c == '\r') {
            m_text += '\r';
            if (i + 1 < input.size() && input[i + 1] == '\n')
                ++i;
        } else if (c == '\n') {
            m_text += '\r';
            if (i + 1 < input.size() && input[i + 1] == '\r')
                ++i;
        } else if (c == '\t') {
            m_text += ' ';
        } else {
            m_text += c;
        }
    }
}

int MarkupReader::peekRaw(std::size_t ahead) const
{
    const std::size_t at = m_pos + ahead;
    return at < m_text.size() ? static_cast<unsigned char>(m_text[at]) : kEnd;
}

// The next character, after dropping any comments and declarations that start
// here. At the end of the input (or after the parse error) gives kEnd.
int MarkupReader::peek()
{
    while (m_pos < m_text.size()) {
        if (m_text[m_pos] == '<' && peekRaw(1) == '!') {
            skipCommentOrDeclaration();
            continue;
        }
        return static_cast<unsigned char>(m_text[m_pos]);
    }
    return kEnd;
}

// At "<!": drops a comment (up to a run of two or more "-" followed, after
// blanks and line ends, by ">") or a declaration (up to ">"). A comment left
// open at the end of the input sets the parse error and ends the reading.
void MarkupReader::skipCommentOrDeclaration()
{
    m_pos += 2;
    if (peekRaw(0) != '-' || peekRaw(1) != '-') {
        const std::size_t close = m_text.find('>', m_pos);
        m_pos = close == std::string::npos ? m_text.size() : close + 1;
        return;
    }
    m_pos += 2;
    const std::size_t size = m_text.size();
    while (m_pos < size) {
        if (m_text[m_pos] != '-') {
            ++m_pos;
            continue;
        }
        std::size_t dashesEnd = m_pos;
        while (dashesEnd < size && m_text[dashesEnd] == '-')
            ++dashesEnd;
        std::size_t after = dashesEnd;
        while (after < size && (m_text[after] == ' ' || m_text[after] == '\r'))
            ++after;
        if (dashesEnd - m_pos >= 2 && after < size && m_text[after] == '>') {
            m_pos = after + 1;
            return;
        }
        m_pos = dashesEnd;
    }
    m_error = std::string(kOpenCommentError);
    m_pos = size;
}

void MarkupReader::skipBlanks()
{
    for (int c = peek(); c == ' ' || c == '\r'; c = peek())
        advance();
}

bool MarkupReader::next(Token& token)
{
    token = Token {};
    while (!failed()) {
        if (m_rawPending) {
            m_rawPending = false;
            readRawText(token);
            if (!token.text.empty())
                return true;
            continue;
        }
        const int c = peek();
        if (c == kEnd)
            return false;
        if (c == '<') {
            const int following = peekRaw(1);
            if (following == '/' || IsLetter(following)) {
                bool emitted = false;
                readTag(token, emitted);
                if (emitted)
                    return true;
                token = Token {};
                continue;
            }
        }
        if (c < ' ' && c != '\r') {
            advance();
            continue;
        }
        readText(token);
        return true;
    }
    return false;
}

void MarkupReader::readTag(Token& token, bool& emitted)
{
    advance(); // "<"
    const bool endTag = peekRaw(0) == '/';
    if (endTag)
        advance();
    std::string name;
    for (int c = peek(); IsLetter(c); c = peek()) {
        if (name.size() < kMaxNameLength)
            name += static_cast<char>(Upper(c));
        advance();
    }
    int level = 0;
    if (name == "H") {
        const int c = peek();
        if (IsDigit(c)) {
            advance();
            if (c >= '1' && c <= '6')
                level = c - '0';
        }
    }
    const std::optional<ElementId> element = FindElement(name, endTag);

    // Attributes up to ">"; anything unreadable before it is skipped.
    while (true) {
        const int c = peek();
        if (c == kEnd)
            break;
        if (c == '>') {
            advance();
            break;
        }
        if (!IsLetter(c) && c != '-') {
            advance();
            continue;
        }
        std::string attributeName;
        for (int n = peek(); IsLetter(n) || n == '-'; n = peek()) {
            if (attributeName.size() < kMaxNameLength)
                attributeName += static_cast<char>(Upper(n));
            advance();
        }
        Attribute attribute;
        skipBlanks();
        if (peek() == '=') {
            advance();
            skipBlanks();
            readAttributeValue(attribute);
        }
        const std::optional<AttributeId> id = FindAttribute(attributeName);
        if (id && element && !endTag) {
            attribute.id = *id;
            token.attributes.push_back(std::move(attribute));
        }
    }

    emitted = element.has_value() && !failed();
    if (!emitted)
        return;
    token.kind = endTag ? TokenKind::EndTag : TokenKind::StartTag;
    token.element = *element;
    token.headingLevel = level;
    if (!endTag) {
        if (*element == ElementId::Pre)
            m_preformatted = true;
        if (*element == ElementId::Textarea || *element == ElementId::Script) {
            m_rawPending = true;
            m_rawElement = *element;
        }
    } else if (*element == ElementId::Pre || *element == ElementId::Td || *element == ElementId::Th) {
        m_preformatted = false;
    }
}

void MarkupReader::readAttributeValue(Attribute& attribute)
{
    int c = peek();
    std::string value;
    if (c == '"' || c == '\'') {
        const int quote = c;
        advance();
        while ((c = peek()) != kEnd) {
            if (c == quote) {
                advance();
                break;
            }
            if (c == '&') {
                appendEntity(value);
                continue;
            }
            if (c != '\r')
                value += static_cast<char>(c);
            advance();
        }
        value = std::string(TrimBlanks(value));
        std::string_view digits = value;
        if (!digits.empty() && digits.back() == '%')
            digits.remove_suffix(1);
        attribute.form = ValueForm::Quoted;
        attribute.number = ParseDecimal(digits);
    } else if (c == '+' || c == '-' || IsDigit(c)) {
        while (c != kEnd && c != ' ' && c != '\r' && c != '%' && c != '>') {
            value += static_cast<char>(c);
            advance();
            c = peek();
        }
        attribute.form = ValueForm::Number;
        attribute.number = ParseDecimal(value);
        if (c == '%') {
            value += '%';
            advance();
        }
    } else {
        while (c != kEnd && c != ' ' && c != '\r' && c != '>') {
            value += static_cast<char>(c);
            advance();
            c = peek();
        }
        attribute.form = ValueForm::Word;
    }
    attribute.text = std::move(value);
}

// At "&": appends the decoded character, or the text as written when it is
// not a known entity (see the class comment).
void MarkupReader::appendEntity(std::string& out)
{
    advance(); // "&"
    if (peek() == '#') {
        advance();
        std::string digits;
        for (int c = peek(); IsDigit(c) && digits.size() <= 6; c = peek()) {
            digits += static_cast<char>(c);
            advance();
        }
        if (digits.size() > 6) {
            out += "&#" + digits;
            return;
        }
        const bool semicolon = peek() == ';';
        if (semicolon)
            advance();
        if (!digits.empty()) {
            const int code = ParseDecimal(digits);
            if (code >= 0xA0 && code <= 0xFF) {
                out += Latin1PageText(static_cast<unsigned char>(code));
                return;
            }
            if ((code >= 32 && code < 0xA0) || code == 10) {
                out += static_cast<char>(code);
                return;
            }
            if (code == 9) {
                out += ' ';
                return;
            }
        }
        out += "&#" + digits;
        if (semicolon)
            out += ';';
        return;
    }
    std::string name;
    for (int c = peek(); (IsLetter(c) || IsDigit(c)) && name.size() <= 7; c = peek()) {
        name += static_cast<char>(c);
        advance();
    }
    if (name.size() > 7) {
        out += '&' + name;
        return;
    }
    const bool semicolon = peek() == ';';
    if (semicolon)
        advance();
    if (const std::optional<unsigned char> code = FindEntity(name)) {
        if (*code >= 0xA0)
            out += Latin1PageText(*code);
        else
            out += static_cast<char>(*code);
        return;
    }
    out += '&' + name;
    if (semicolon)
        out += ';';
}

void MarkupReader::readText(Token& token)
{
    token.kind = TokenKind::Text;
    std::string& run = token.text;
    while (run.size() < kMaxTextRun) {
        const int c = peek();
        if (c == kEnd)
            break;
        if (c == '&') {
            if (!run.empty())
                break;
            appendEntity(run);
            continue;
        }
        if (c == '<' || c == '>') {
            if (!run.empty())
                break;
            run += static_cast<char>(c);
            advance();
            continue;
        }
        if (c < ' ' && c != '\r')
            break;
        if (!m_preformatted && (c == ' ' || c == '\r')) {
            run += ' ';
            advance();
            skipBlanks();
            continue;
        }
        run += static_cast<char>(c);
        advance();
    }
}

// The text of TEXTAREA or SCRIPT up to "</" + its name (any case) not followed
// by a letter, or to the end of the input.
void MarkupReader::readRawText(Token& token)
{
    const std::string_view name = ElementName(m_rawElement);
    std::size_t at = m_pos;
    std::size_t stop = m_text.size();
    while ((at = m_text.find("</", at)) != std::string::npos) {
        std::size_t i = 0;
        while (i < name.size() && at + 2 + i < m_text.size()
            && Upper(static_cast<unsigned char>(m_text[at + 2 + i])) == name[i])
            ++i;
        const std::size_t after = at + 2 + i;
        if (i == name.size()
            && (after >= m_text.size() || !IsLetter(static_cast<unsigned char>(m_text[after])))) {
            stop = at;
            break;
        }
        at += 2;
    }
    token.kind = TokenKind::Text;
    token.text = m_text.substr(m_pos, stop - m_pos);
    m_pos = stop;
}

MarkupTokens ReadMarkup(std::string_view input)
{
    MarkupTokens result;
    MarkupReader reader(input);
    Token token;
    while (reader.next(token))
        result.tokens.push_back(std::move(token));
    result.error = reader.error();
    return result;
}

} // namespace orbita::html
