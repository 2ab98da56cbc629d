#pragma once

#include "htmlview/markup_names.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace orbita::html {

// How an attribute's value was written.
enum class ValueForm : std::uint8_t {
    None, // the name stood alone (BORDER, CHECKED, NOSHADE)
    Quoted, // in double or single quotes; entities decoded, line ends dropped, trimmed
    Number, // a word that starts with "+", "-" or a digit; a "%" right after it is kept
    Word, // any other bare word
};

struct Attribute {
    AttributeId id = AttributeId::Href;
    ValueForm form = ValueForm::None;
    std::string text; // the value as read (Windows-1250 bytes)
    int number = 0; // Quoted and Number: the text as a decimal integer ("50%" gives 50), else 0
};

using AttributeList = std::vector<Attribute>;

// The first attribute with that name, or null.
const Attribute* GetAttribute(const AttributeList& attributes, AttributeId id);

enum class TokenKind : std::uint8_t { StartTag, EndTag, Text };

struct Token {
    TokenKind kind = TokenKind::Text;
    ElementId element = ElementId::Html; // StartTag, EndTag
    int headingLevel = 0; // element H: 1 to 6, or 0 when no valid digit followed
    AttributeList attributes; // StartTag (end tags carry none)
    std::string text; // Text: one run (see MarkupReader)
};

// Reads page markup into tokens.
//
// The input is normalised first: every line end (CR LF, LF CR, CR, LF) becomes
// one CR, a tab becomes a blank, and a 1A byte ends the text. Then, one token
// at a time:
// - "<!--" starts a comment that ends at a run of two or more "-" followed
//   (after blanks and line ends) by ">"; "<!" otherwise starts a declaration
//   dropped up to ">". Both are recognised wherever a character is read, also
//   inside tags, but not in the text of TEXTAREA and SCRIPT. Input that ends
//   inside a comment stops the reading with the error kOpenCommentError.
// - Start and end tags of the 64 known elements become tokens; unknown tags
//   are read and dropped. Unknown attributes are read and dropped.
// - Text becomes runs of at most 100 bytes. A run ends before "&", "<", ">"
//   and before a control byte other than CR (such bytes are dropped). Outside
//   PRE a blank or CR and all blanks and CRs after it become one blank;
//   inside PRE (from a PRE start tag to the end tag of PRE, TD or TH) they are
//   kept, line ends as CR. Entities are decoded (&#10; gives an LF byte).
// - The text of TEXTAREA and SCRIPT is taken as written up to their end tag
//   and comes as one Text token (no entity decoding, no folding).
// The reader never throws and ends on any input; it reads each byte a bounded
// number of times.
class MarkupReader {
public:
    explicit MarkupReader(std::string_view input);

    // Fills `token` with the next token. False at the end of the input and
    // after the parse error.
    bool next(Token& token);

    bool failed() const { return !m_error.empty(); }
    // Empty while the reading has not failed.
    const std::string& error() const { return m_error; }

private:
    int peek();
    int peekRaw(std::size_t ahead) const;
    void advance() { ++m_pos; }
    void skipCommentOrDeclaration();
    void skipBlanks();
    void readTag(Token& token, bool& emitted);
    void readAttributeValue(Attribute& attribute);
    void appendEntity(std::string& out);
    void readText(Token& token);
    void readRawText(Token& token);

    std::string m_text;
    std::size_t m_pos = 0;
    bool m_preformatted = false;
    bool m_rawPending = false; // the next token is the raw text of m_rawElement
    ElementId m_rawElement = ElementId::Textarea;
    std::string m_error;
};

inline constexpr std::string_view kOpenCommentError = "Open Comment at End of HTML File";
inline constexpr std::size_t kMaxTextRun = 100;
inline constexpr std::size_t kMaxNameLength = 150;

struct MarkupTokens {
    std::vector<Token> tokens;
    std::string error; // empty when the whole input was read
};

// Reads a whole input into tokens (tests and tools; the builder pulls tokens
// from a MarkupReader itself).
MarkupTokens ReadMarkup(std::string_view input);

} // namespace orbita::html
