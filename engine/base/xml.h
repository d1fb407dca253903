// The engine's small XML tree and its tolerant reader and writer.
//
// Every XML file of the system (strings, preferences, animations, levels,
// server replies) goes through TXmlNode. The reader is a tokenizer, not a
// conforming parser, and the stored files depend on its habits:
//  - content words are joined with single blanks (quoted text keeps its
//    spacing, without the quotes); "=" and ">" in text become words;
//  - an attribute's value may be quoted with double quotes or apostrophes;
//    elsewhere only double quotes quote;
//  - <?xml ...>, <!DOCTYPE ...> and comments become childless nodes, so the
//    node parsed into is a holder whose children are the top-level tags:
//    look the document element up by name;
//  - "<>" (an unnamed element, the wrapper of enciphered preferences) is
//    dropped, and an end tag closes the current element whatever its name;
//  - five named entities and decimal references "&#N;" are decoded (the low
//    8 bits of N, so "&#-61;" is the byte 0xC3); a token that begins with an
//    entity is never markup;
//  - UTF-8 sequences are read whole, so their bytes are never markup.
// The writer indents by four blanks a level, writes no self-closing tags and
// no declaration, escapes control bytes and bytes 0x80-0xFF as "&#-NN;", and
// its output reads back into the same tree.
// Tolerant as it is, the reader refuses a document that is plainly not whole
// (EXmlParse): one with no element, one that ends inside an element or a tag,
// one with input after an end tag that closes nothing.
#pragma once

#include <cstdio>

#include "engine/base/str.h"

#include <memory>
#include <string>
#include <vector>

// What reading a document found. Anything but kOk refuses the document: the
// node read into is left as it was, as for a missing file, so that a file cut
// short is never taken for a shorter one.
enum class EXmlParse {
    kOk,
    kUnreadable,   // the file is missing or cannot be read
    kEmpty,        // not one element: nothing, blanks, or only a declaration or comments
    kUnclosed,     // the input ends inside an element or a tag
    kStrayEndTag,  // an end tag with no element open, and more input after it
};

// The problem in words for a log line after the file's name ("ends inside
// an element: cut short?"); "" for kOk.
const char* XmlParseProblem(EXmlParse result);

// The reader's byte source. The tokenizer steps back up to five bytes in a row.
class TGetChar {
public:
    virtual ~TGetChar() = default;
    // The next byte as 0-255, or -1 at the end.
    virtual int DoGetChar() = 0;
    // Steps back one byte; returns c, or -1 when it cannot.
    virtual int UngetChar(int c) = 0;
    // Whether the input broke off by an error rather than ending.
    virtual bool Failed() const { return false; }
};

// The bytes of an open file, read one at a time through the C stream; it
// closes the file. A NUL byte is a byte like any other. ungetc promises one
// byte back and the tokenizer steps back five, so the bytes stepped back
// over are kept here, up to kStepsBack of them.
class TGetCharFile : public TGetChar {
public:
    static constexpr int kStepsBack = 6;
    explicit TGetCharFile(std::FILE* file);
    ~TGetCharFile() override;
    TGetCharFile(const TGetCharFile&) = delete;
    TGetCharFile& operator=(const TGetCharFile&) = delete;
    int DoGetChar() override;
    int UngetChar(int c) override;
    bool Failed() const override;

private:
    std::FILE* mFile;
    unsigned char mBack[kStepsBack] = {};
    int mBackCount = 0;
};

// Bytes in memory. Input ends at its length or at a NUL byte, whichever comes first.
class TGetCharString : public TGetChar {
public:
    TGetCharString(const char* text, int length);
    int DoGetChar() override;
    int UngetChar(int c) override;

private:
    const char* mText;
    int mPosition = 0;
    int mLength;
};

// One token of the reader: the token text and its length in bytes (the text
// may hold a decoded NUL, which str would not count). `quoted`: it was read
// between double quotes, or between apostrophes where `apostrophes` allows
// them (an attribute's value, as XML writes either; in content an
// apostrophe is text); `startsWithEntity`: its first byte came from an
// entity. End of input is the empty unquoted token.
str qmGetToken(TGetChar* source, bool* quoted, bool* startsWithEntity, int* length, bool apostrophes = false);

// The text with control bytes, bytes 0x80-0xFF and & < > " ' escaped.
str xmlSafeString(const char* text);

// Decodes entities in the first *length bytes of text, in place; updates
// *length, and sets *startsWithEntity (when given) to whether the first byte
// was decoded.
void removeXMLEscapeChars(str& text, int* length, bool* startsWithEntity);

class TXmlNode {
public:
    TXmlNode();
    explicit TXmlNode(const char* name);
    virtual ~TXmlNode();
    TXmlNode(const TXmlNode&) = delete;
    TXmlNode& operator=(const TXmlNode&) = delete;

    // Reads the whole file into this node. A missing file, or one that
    // fails to parse (see EXmlParse), leaves it unchanged.
    EXmlParse ParseFile(const char* path);
    // Reads NUL-terminated text into this node; refused text leaves it unchanged.
    EXmlParse ParseString(const char* text);
    // Reads `length` bytes (up to a NUL) into this node; the same.
    EXmlParse ParseBytes(const char* text, int length);
    // Reads what the source gives into this node; the same.
    EXmlParse ParseSource(TGetChar* source);

    // The node as XML text (the layout above), from indent 0.
    str AsString() const;
    // The same, written into *out at *pos (advanced) at `indent` blanks.
    void AsString(str* out, int* pos, int indent) const;

    // Children, owned by this node, in document order.
    TXmlNode* CreateChild(const char* name);
    TXmlNode* GetChild(const char* name) const;
    str GetChildContent(const char* name) const;
    bool HasChildren() const { return !mChildren.empty(); }
    int CountChildren() const { return static_cast<int>(mChildren.size()); }
    // Removes the child and deletes it; nothing when it is not a child.
    void DeleteChild(TXmlNode* child);
    // Removes the child without deleting it: the caller owns it now. False when not a child.
    bool OrphanChild(TXmlNode* child);
    // Deletes every child and attribute and empties the content and the name.
    void Clear();

    // Iteration: call the reset first; the Get calls are false at the end.
    void ResetChildren();
    bool GetNextChild(str* name, TXmlNode** child);
    void ResetAttributes();
    bool GetNextAttribute(str* name, str* value);

    // The value of the first attribute with that name, or "". When found and
    // `quoted` is given, stores whether the value was written in quotes.
    str GetAttribute(const char* name, bool* quoted = nullptr) const;
    // Replaces the first attribute of that name, or appends one; marks it quoted.
    void SetAttribute(const char* name, const char* value);
    void SetAttribute(const char* name, int value);

    const str& GetName() const { return mName; }
    void SetName(const char* name) { mName = str(name ? name : ""); }
    const str& GetContent() const { return mContent; }
    void SetContent(const char* text);

protected:
    // The reader calls these on the node being filled; a subclass may build
    // another structure from them.
    virtual TXmlNode* OnOpenTag(const str& name);
    virtual void OnEndTag(const str& name);
    virtual void OnContent(const str& text, int length);
    virtual void OnAttribute(const str& name, const str& value, bool quoted);

private:
    struct Attribute {
        str name;
        str value;
        bool quoted;
    };
    enum class TagResult { kNone, kEndTag, kChild };
    // What the reader saw that makes a document not whole.
    struct ParseFindings {
        int elements = 0;
        bool unclosed = false;
        bool strayEndTag = false;
    };

    void Parse(TGetChar* source, int depth, ParseFindings* findings);
    TagResult ParseTag(TGetChar* source, TXmlNode** child, ParseFindings* findings);
    std::unique_ptr<TXmlNode> Unlink(TXmlNode* child);
    void Write(std::string& out, int indent) const;

    str mContent;
    int mContentLength = 0;
    str mName;
    std::vector<std::unique_ptr<TXmlNode>> mChildren;
    size_t mChildCursor;
    std::vector<Attribute> mAttributes;
    size_t mAttributeCursor;
};
