#include "engine/base/xml.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

namespace {

constexpr size_t kUnset = std::numeric_limits<size_t>::max();
constexpr int kTokenReserve = 256;

// Nesting deeper than this is flattened (see Parse), so that hostile input
// cannot exhaust the stack in the reader, the writer or the destructor.
constexpr int kMaxDepth = 200;

// ---------------------------------------------------------------- characters

// One character: a byte, or a UTF-8 lead byte with its followers.
struct Char {
    unsigned char bytes[4];
    int count = 0;
    unsigned char lead() const { return bytes[0]; }
    bool is(char c) const { return count == 1 && bytes[0] == static_cast<unsigned char>(c); }
};

int followersOf(unsigned char lead)
{
    if (lead >= 0xF0)
        return 3;
    if (lead >= 0xE0)
        return 2;
    if (lead >= 0xC0)
        return 1;
    return 0;
}

bool readChar(TGetChar* source, Char* c)
{
    int lead = source->DoGetChar();
    if (lead < 0)
        return false;
    c->bytes[0] = static_cast<unsigned char>(lead);
    c->count = 1;
    for (int k = followersOf(c->bytes[0]); k > 0; --k) {
        int next = source->DoGetChar();
        if (next < 0)
            break;
        c->bytes[c->count++] = static_cast<unsigned char>(next);
    }
    return true;
}

void unreadChar(TGetChar* source, const Char& c)
{
    for (int k = c.count - 1; k >= 0; --k)
        source->UngetChar(c.bytes[k]);
}

bool isSpace(const Char& c)
{
    return std::isspace(c.lead()) != 0;
}

bool endsWord(const Char& c)
{
    return isSpace(c) || c.is('<') || c.is('>') || c.is('=');
}

// ---------------------------------------------------------------- entities

struct NamedEntity {
    const char* text;  // after the '&', including the ';'
    char decoded;
};

constexpr NamedEntity kNamedEntities[] = {
    {"amp;", '&'}, {"lt;", '<'}, {"gt;", '>'}, {"quot;", '"'}, {"apos;", '\''},
};

// The low 8 bits of the decimal number at text (as atoi reads it: blanks, a sign, digits).
unsigned char lowByteOfNumber(const char* text, const char* end)
{
    while (text < end && std::isspace(static_cast<unsigned char>(*text)))
        ++text;
    bool negative = false;
    if (text < end && (*text == '-' || *text == '+'))
        negative = *text++ == '-';
    unsigned value = 0;
    while (text < end && *text >= '0' && *text <= '9')
        value = (value * 10 + static_cast<unsigned>(*text++ - '0')) & 0xFF;
    return static_cast<unsigned char>(negative ? (0x100 - value) & 0xFF : value);
}

// ---------------------------------------------------------------- writing

void appendEscaped(std::string& out, const char* text)
{
    char number[16];
    for (const char* p = text ? text : ""; *p; ++p) {
        signed char value = static_cast<signed char>(*p);
        if (value <= 31) {
            int n = std::snprintf(number, sizeof number, "&#%d;", value);
            out.append(number, static_cast<size_t>(n));
            continue;
        }
        switch (*p) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default: out += *p; break;
        }
    }
}

bool isMarkup(const str& token, int length, bool quoted, bool startsWithEntity, char c)
{
    return !quoted && !startsWithEntity && length == 1 && token[0] == c;
}

}  // namespace

// ---------------------------------------------------------------- TGetCharFile

TGetCharFile::TGetCharFile(std::FILE* file) : mFile(file) {}

TGetCharFile::~TGetCharFile()
{
    if (mFile)
        std::fclose(mFile);
}

int TGetCharFile::DoGetChar()
{
    if (!mFile)
        return -1;
    if (mBackCount > 0)
        return mBack[--mBackCount];
    const int c = std::fgetc(mFile);
    return c == EOF ? -1 : c;
}

int TGetCharFile::UngetChar(int c)
{
    if (!mFile || c < 0 || mBackCount == kStepsBack)
        return -1;
    mBack[mBackCount++] = static_cast<unsigned char>(c);
    return c;
}

bool TGetCharFile::Failed() const { return mFile && std::ferror(mFile); }

// ---------------------------------------------------------------- TGetCharString

TGetCharString::TGetCharString(const char* text, int length)
    : mText(text), mLength(text && length > 0 ? static_cast<int>(strnlen(text, static_cast<size_t>(length))) : 0)
{
}

int TGetCharString::DoGetChar()
{
    if (mPosition >= mLength)
        return -1;
    return static_cast<unsigned char>(mText[mPosition++]);
}

int TGetCharString::UngetChar(int c)
{
    if (mPosition <= 0)
        return -1;
    --mPosition;
    return c;
}

// ---------------------------------------------------------------- tokens and escapes

str qmGetToken(TGetChar* source, bool* quoted, bool* startsWithEntity, int* length, bool apostrophes)
{
    // Built in a std::string: appending is O(1) there, whatever the token's length.
    std::string text;
    text.reserve(kTokenReserve);
    *quoted = false;
    *startsWithEntity = false;
    *length = 0;

    Char c;
    do {
        if (!readChar(source, &c))
            return str();
    } while (isSpace(c));

    if (c.is('<') || c.is('>') || c.is('=')) {
        *length = 1;
        return str(reinterpret_cast<const char*>(c.bytes), 1);
    }
    const char quote = c.is('"') ? '"' : apostrophes && c.is('\'') ? '\'' : 0;
    if (quote)
        *quoted = true;
    else
        unreadChar(source, c);

    while (readChar(source, &c)) {
        if (*quoted) {
            if (c.is(quote))
                break;
        } else if (endsWord(c)) {
            unreadChar(source, c);
            // "word/>" reads as word, "/", ">": the slash marks a self-closed tag.
            if (c.is('>') && text.size() >= 2 && text.back() == '/') {
                source->UngetChar('/');
                text.pop_back();
            }
            break;
        }
        text.append(reinterpret_cast<const char*>(c.bytes), static_cast<size_t>(c.count));
    }
    int pos = static_cast<int>(text.size());
    str token(text.data(), pos);
    removeXMLEscapeChars(token, &pos, startsWithEntity);
    *length = pos;
    return token;
}

void removeXMLEscapeChars(str& text, int* length, bool* startsWithEntity)
{
    if (startsWithEntity)
        *startsWithEntity = false;
    // Bytes beyond the string's buffer are never read, whatever *length says.
    int n = std::min(*length, std::max(text.capacity() - 1, 0));
    const char* in = text.c_str();
    std::string out;
    out.reserve(static_cast<size_t>(n));
    bool decodedAny = false;
    for (int i = 0; i < n;) {
        if (in[i] != '&') {
            out += in[i++];
            continue;
        }
        bool decoded = false;
        for (const auto& entity : kNamedEntities) {
            int size = static_cast<int>(std::strlen(entity.text));
            if (i + 1 + size <= n && std::memcmp(in + i + 1, entity.text, static_cast<size_t>(size)) == 0) {
                if (out.empty() && startsWithEntity)
                    *startsWithEntity = true;
                out += entity.decoded;
                i += 1 + size;
                decoded = true;
                break;
            }
        }
        if (!decoded && i + 1 < n && in[i + 1] == '#') {
            const void* semicolon = std::memchr(in + i + 2, ';', static_cast<size_t>(n - i - 2));
            if (semicolon) {
                const char* end = static_cast<const char*>(semicolon);
                if (out.empty() && startsWithEntity)
                    *startsWithEntity = true;
                out += static_cast<char>(lowByteOfNumber(in + i + 2, end));
                i = static_cast<int>(end - in) + 1;
                decoded = true;
            }
        }
        if (!decoded)
            out += in[i++];
        decodedAny = decodedAny || decoded;
    }
    if (decodedAny) {
        text = str(out.data(), static_cast<int>(out.size()));
        *length = static_cast<int>(out.size());
    }
}

str xmlSafeString(const char* text)
{
    std::string out;
    appendEscaped(out, text);
    return str(out.data(), static_cast<int>(out.size()));
}

// ---------------------------------------------------------------- TXmlNode

TXmlNode::TXmlNode() : mChildCursor(kUnset), mAttributeCursor(kUnset) {}

TXmlNode::TXmlNode(const char* name) : mName(name ? name : ""), mChildCursor(kUnset), mAttributeCursor(kUnset) {}

TXmlNode::~TXmlNode() = default;

const char* XmlParseProblem(EXmlParse result)
{
    switch (result) {
    case EXmlParse::kOk: return "";
    case EXmlParse::kUnreadable: return "is missing or cannot be read";
    case EXmlParse::kEmpty: return "holds no XML element";
    case EXmlParse::kUnclosed: return "ends inside an element or a tag (cut short?)";
    case EXmlParse::kStrayEndTag: return "goes on after an end tag that closes nothing";
    }
    return "cannot be read";
}

EXmlParse TXmlNode::ParseFile(const char* path)
{
    std::FILE* file = path ? std::fopen(path, "rb") : nullptr;
    if (!file)
        return EXmlParse::kUnreadable;
    TGetCharFile source(file);
    return ParseSource(&source);
}

EXmlParse TXmlNode::ParseString(const char* text)
{
    return ParseBytes(text, text ? static_cast<int>(std::min(std::strlen(text), size_t{std::numeric_limits<int>::max()}))
                                 : 0);
}

EXmlParse TXmlNode::ParseBytes(const char* text, int length)
{
    TGetCharString source(text, length);
    return ParseSource(&source);
}

EXmlParse TXmlNode::ParseSource(TGetChar* source)
{
    // What the document adds goes again if it is refused.
    const size_t children = mChildren.size();
    const str content = mContent;
    const int contentLength = mContentLength;

    ParseFindings findings;
    Parse(source, 0, &findings);
    EXmlParse result = EXmlParse::kOk;
    if (source->Failed())
        result = EXmlParse::kUnreadable;  // a read error part way: nothing of it stays
    else if (findings.unclosed)
        result = EXmlParse::kUnclosed;
    else if (findings.strayEndTag)
        result = EXmlParse::kStrayEndTag;
    else if (findings.elements == 0)
        result = EXmlParse::kEmpty;
    if (result != EXmlParse::kOk) {
        mChildren.resize(children);
        mContent = content;
        mContentLength = contentLength;
    }
    return result;
}

// One element's body: content words and tags up to its end tag or the end of input.
void TXmlNode::Parse(TGetChar* source, int depth, ParseFindings* findings)
{
    // Elements opened beyond kMaxDepth stay children of this node, but their
    // bodies are read here; count them so that their end tags do not end ours.
    int flattened = 0;
    for (;;) {
        bool quoted, startsWithEntity;
        int length;
        str token = qmGetToken(source, &quoted, &startsWithEntity, &length);
        if (length == 0 && !quoted) {
            // Only the document itself may end with the input.
            if (depth > 0 || flattened > 0)
                findings->unclosed = true;
            return;
        }
        if (!isMarkup(token, length, quoted, startsWithEntity, '<')) {
            OnContent(token, length);
            continue;
        }
        TXmlNode* child = nullptr;
        switch (ParseTag(source, &child, findings)) {
        case TagResult::kEndTag:
            if (flattened == 0) {
                // At the top an end tag closes nothing and ends the reading:
                // whatever follows it would be lost.
                if (depth == 0) {
                    qmGetToken(source, &quoted, &startsWithEntity, &length);
                    findings->strayEndTag = length > 0 || quoted;
                }
                return;
            }
            --flattened;
            break;
        case TagResult::kChild:
            if (depth < kMaxDepth)
                child->Parse(source, depth + 1, findings);
            else
                ++flattened;
            break;
        case TagResult::kNone:
            break;
        }
    }
}

// The tokens after '<' up to '>'. An end tag ends the caller's body; a tag
// that opens an element whose body follows returns that element.
TXmlNode::TagResult TXmlNode::ParseTag(TGetChar* source, TXmlNode** childOut, ParseFindings* findings)
{
    enum class State { kFirst, kAttributes, kValue };
    State state = State::kFirst;
    TXmlNode* child = nullptr;
    bool endTag = false;
    bool skipped = false;
    str pendingName;

    for (;;) {
        bool quoted, startsWithEntity;
        int length;
        str token = qmGetToken(source, &quoted, &startsWithEntity, &length, state == State::kValue);
        if (length == 0 && !quoted)
            break;
        // Checked first, so that "<>" (an unnamed element) opens nothing.
        if (isMarkup(token, length, quoted, startsWithEntity, '>')) {
            if (endTag)
                return TagResult::kEndTag;
            if (!child)
                return TagResult::kNone;
            if (skipped || pendingName[0] == '/' || pendingName[0] == '?') {
                child->OnEndTag(child->GetName());
                return TagResult::kNone;
            }
            *childOut = child;
            return TagResult::kChild;
        }
        switch (state) {
        case State::kFirst:
            if (!quoted && !startsWithEntity && token[0] == '/') {
                endTag = true;
                OnEndTag(token);
            } else {
                child = OnOpenTag(token);
                skipped = token == str("?xml") || token == str("!DOCTYPE") || std::strncmp(token.c_str(), "!--", 3) == 0;
                if (!skipped)
                    ++findings->elements;
            }
            state = State::kAttributes;
            break;
        case State::kAttributes:
            if (isMarkup(token, length, quoted, startsWithEntity, '='))
                state = State::kValue;
            else
                pendingName = token;
            break;
        case State::kValue:
            if (child) {
                child->OnAttribute(pendingName, token, quoted);
                pendingName = str();
            }
            state = State::kAttributes;
            break;
        }
    }
    // Cut off by the end of input: an element opened here gets the (empty) rest as its body.
    findings->unclosed = true;
    if (endTag)
        return TagResult::kEndTag;
    if (!child)
        return TagResult::kNone;
    *childOut = child;
    return TagResult::kChild;
}

TXmlNode* TXmlNode::OnOpenTag(const str& name)
{
    return CreateChild(name.c_str());
}

void TXmlNode::OnEndTag(const str&)
{
}

void TXmlNode::OnContent(const str& text, int)
{
    // Written at the length already known: measuring the content again for
    // every word would make a long text quadratic to read.
    if (mContentLength > 0)
        mContentLength = mContent.insert(mContentLength, " ", 1, true);
    mContentLength = mContent.insert(mContentLength, text.c_str(), text.length(), true);
}

void TXmlNode::OnAttribute(const str& name, const str& value, bool quoted)
{
    mAttributes.push_back(Attribute{name, value, quoted});
}

// ---------------------------------------------------------------- writing

str TXmlNode::AsString() const
{
    str out;
    out.reserve(256);
    int pos = 0;
    AsString(&out, &pos, 0);
    return out;
}

void TXmlNode::AsString(str* out, int* pos, int indent) const
{
    // Built in a std::string and inserted once: str's positional insert
    // measures the whole text on every call.
    std::string text;
    Write(text, indent);
    *pos = out->insert(*pos, text.data(), static_cast<int>(text.size()), true);
}

void TXmlNode::Write(std::string& out, int indent) const
{
    const std::string blanks(static_cast<size_t>(std::max(indent, 0)), ' ');
    out += blanks;
    out += '<';
    out += mName.c_str();
    for (const Attribute& attribute : mAttributes) {
        out += '\n';
        out += blanks;
        out += "    ";
        appendEscaped(out, attribute.name.c_str());
        out += '=';
        if (attribute.quoted)
            out += '"';
        appendEscaped(out, attribute.value.c_str());
        if (attribute.quoted)
            out += '"';
    }
    out += ">\n";
    if (mContentLength != 0) {
        out += blanks;
        appendEscaped(out, mContent.c_str());
        out += '\n';
    }
    for (const auto& child : mChildren)
        child->Write(out, indent + 4);
    out += blanks;
    out += "</";
    appendEscaped(out, mName.c_str());
    out += ">\n";
}

// ---------------------------------------------------------------- children

TXmlNode* TXmlNode::CreateChild(const char* name)
{
    mChildren.push_back(std::make_unique<TXmlNode>(name));
    return mChildren.back().get();
}

TXmlNode* TXmlNode::GetChild(const char* name) const
{
    str wanted(name ? name : "");
    for (const auto& child : mChildren)
        if (child->mName == wanted)
            return child.get();
    return nullptr;
}

str TXmlNode::GetChildContent(const char* name) const
{
    TXmlNode* child = GetChild(name);
    return child ? child->mContent : str("");
}

void TXmlNode::DeleteChild(TXmlNode* child)
{
    Unlink(child);  // the returned owner deletes it
}

bool TXmlNode::OrphanChild(TXmlNode* child)
{
    return Unlink(child).release() != nullptr;
}

std::unique_ptr<TXmlNode> TXmlNode::Unlink(TXmlNode* child)
{
    for (size_t i = 0; i < mChildren.size(); ++i) {
        if (mChildren[i].get() != child)
            continue;
        std::unique_ptr<TXmlNode> owner = std::move(mChildren[i]);
        mChildren.erase(mChildren.begin() + static_cast<long>(i));
        // Keep an iteration in progress on the next child.
        if (mChildCursor != kUnset && i < mChildCursor)
            --mChildCursor;
        return owner;
    }
    return nullptr;
}

void TXmlNode::Clear()
{
    mChildren.clear();
    mAttributes.clear();
    mContent = str();
    mContentLength = 0;
    mName = str();
    mChildCursor = kUnset;
    mAttributeCursor = kUnset;
}

void TXmlNode::ResetChildren()
{
    mChildCursor = 0;
}

bool TXmlNode::GetNextChild(str* name, TXmlNode** child)
{
    if (mChildCursor >= mChildren.size())
        return false;
    TXmlNode* next = mChildren[mChildCursor++].get();
    if (name)
        *name = next->mName;
    if (child)
        *child = next;
    return true;
}

// ---------------------------------------------------------------- attributes

void TXmlNode::ResetAttributes()
{
    mAttributeCursor = 0;
}

bool TXmlNode::GetNextAttribute(str* name, str* value)
{
    if (mAttributeCursor >= mAttributes.size())
        return false;
    const Attribute& next = mAttributes[mAttributeCursor++];
    if (name)
        *name = next.name;
    if (value)
        *value = next.value;
    return true;
}

str TXmlNode::GetAttribute(const char* name, bool* quoted) const
{
    str wanted(name ? name : "");
    for (const Attribute& attribute : mAttributes) {
        if (attribute.name == wanted) {
            if (quoted)
                *quoted = attribute.quoted;
            return attribute.value;
        }
    }
    return str("");
}

void TXmlNode::SetAttribute(const char* name, const char* value)
{
    str wanted(name ? name : "");
    for (Attribute& attribute : mAttributes) {
        if (attribute.name == wanted) {
            attribute.value = str(value ? value : "");
            attribute.quoted = true;
            return;
        }
    }
    mAttributes.push_back(Attribute{wanted, str(value ? value : ""), true});
}

void TXmlNode::SetAttribute(const char* name, int value)
{
    SetAttribute(name, str::getFormatted("%d", value).c_str());
}

void TXmlNode::SetContent(const char* text)
{
    mContent = str(text ? text : "");
    mContentLength = mContent.length();
}
