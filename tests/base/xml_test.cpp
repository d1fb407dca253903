#include "engine/base/xml.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

struct Attr {
    std::string name, value;
    bool operator==(const Attr&) const = default;
};

std::vector<Attr> attributesOf(TXmlNode* node)
{
    std::vector<Attr> found;
    node->ResetAttributes();
    str name, value;
    while (node->GetNextAttribute(&name, &value))
        found.push_back({name.c_str(), value.c_str()});
    return found;
}

std::vector<TXmlNode*> childrenOf(TXmlNode* node)
{
    std::vector<TXmlNode*> found;
    node->ResetChildren();
    str name;
    TXmlNode* child;
    while (node->GetNextChild(&name, &child))
        found.push_back(child);
    return found;
}

// The tree as one line: name[attr=value (' for quoted)]{content}(children).
std::string shape(TXmlNode* node)
{
    std::string text = node->GetName().c_str();
    for (auto& [name, value] : attributesOf(node)) {
        bool quoted = false;
        node->GetAttribute(name.c_str(), &quoted);
        text += "[" + name + "=" + (quoted ? "'" : "") + value + "]";
    }
    if (node->GetContent().length() > 0)
        text += std::string("{") + node->GetContent().c_str() + "}";
    auto kids = childrenOf(node);
    if (!kids.empty()) {
        text += "(";
        for (size_t i = 0; i < kids.size(); ++i)
            text += (i ? " " : "") + shape(kids[i]);
        text += ")";
    }
    return text;
}

std::string parsed(const std::string& text)
{
    TXmlNode doc;
    doc.ParseString(text.c_str());
    return shape(&doc);
}

// Writes the node and reads it back into a holder; the holder's only child.
TXmlNode* writeAndRead(TXmlNode* node, TXmlNode* holder)
{
    holder->ParseString(node->AsString().c_str());
    EXPECT_EQ(holder->CountChildren(), 1) << node->AsString().c_str();
    auto kids = childrenOf(holder);
    return kids.empty() ? nullptr : kids[0];
}

}  // namespace

// ---------------------------------------------------------------- reading

TEST(XmlRead, TheReadersRulesOnePerRow)
{
    const std::pair<const char*, const char*> cases[] = {
        // attributes keep their quoting; words join with one blank
        {"<a x=\"1\" y=2>hello   big  world</a>", "(a[x='1][y=2]{hello big world})"},
        // self-closed elements have no body, with or without a blank before the slash
        {"<a><b/></a>", "(a(b))"},
        {"<a><b x=\"1\" /><c y=2/>after</a>", "(a{after}(b[x='1] c[y=2]))"},
        // the declaration, doctype and comments are childless children of the holder
        {"<?xml version=\"1.0\"?>\n<!DOCTYPE r>\n<!-- a note -->\n<r/>", "(?xml[version='1.0] !DOCTYPE !-- r)"},
        // a comment ends at its first '>'
        {"<a><!-- 1 > 0 --><b/></a>", "(a{0 -- >}(!-- b))"},
        // entities in content are text, not tags; unknown ones and bare '&' stay
        {"<a>&lt;b&gt; &amp; &quot;q&quot; &apos; &#65;&#-61;&#-87;</a>", "(a{<b> & \"q\" ' A\xC3\xA9})"},
        {"<a>&lt; x &gt;</a>", "(a{< x >})"},
        {"<a>R&D &nbsp; &#12 x</a>", "(a{R&D &nbsp; &#12 x})"},
        // text breaks at '=' and '>'; quoted text keeps its spacing
        {"<a>1>0 and x=y</a>", "(a{1 > 0 and x = y})"},
        {"<a>say \"two  blanks <b>\" now</a>", "(a{say two  blanks <b> now})"},
        // high bytes are data; a UTF-8 lead byte takes its followers even when they look like markup
        {"<a x=\"\xFF" "abc\">\xFF" "abc tail \xE2\x82\xAC</a><b/>", "(a[x='\xFF" "abc]{\xFF" "abc tail \xE2\x82\xAC} b)"},
        {"<a>\xC3<</a>", "(a{\xC3<})"},
        // the unnamed wrapper of a stored preferences file is dropped
        {"<>\n    <install\n        qminstallkey=\"/games/x\">\n        <global\n            volume=\"7\">\n"
         "        </global>\n    </install>\n    <install\n        qminstallkey=\"other\">\n    </install>\n</>\n",
         "(install[qminstallkey='/games/x](global[volume='7]) install[qminstallkey='other])"},
        // end tags close whatever is open; one at the top ends the input
        {"<a><b>text</c>more</a><d/>", "(a{more}(b{text}) d)"},
        {"<a/></x>", "(a)"},
        // an empty quoted word is not the end of input
        {"<a x=\"\" y=\"2\">\"\" after</a>", "(a[x='][y='2]{after})"},
        // attributes keep their order, repeated names too
        {"<n a=1 b=\"2\" a=3/>", "(n[a=1][b='2][a=3])"},
        // a value may be quoted with apostrophes, holding double quotes; in
        // content an apostrophe is text
        {"<s name='P0' score='1000' q='say \"hi\"' e='' d=\"it's\">don't 'quote' me</s>",
         "(s[name='P0][score='1000][q='say \"hi\"][e='][d='it's]{don't 'quote' me})"},
        {"<s name='two  blanks &amp; &apos;x&apos;'/>", "(s[name='two  blanks & 'x'])"},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(parsed(text), expected) << text;
}

TEST(XmlRead, DocumentsThatAreNotWholeAreRefusedAndChangeNothing)
{
    const std::pair<const char*, EXmlParse> cases[] = {
        {"<a x=\"1\"><b/>text</a>", EXmlParse::kOk},
        {"<a/></a>", EXmlParse::kOk},  // a closing tag too many, at the very end
        {"", EXmlParse::kEmpty},
        {" \n\t ", EXmlParse::kEmpty},
        {"just words", EXmlParse::kEmpty},
        {"<?xml version=\"1.0\"?>\n<!-- nothing else -->", EXmlParse::kEmpty},
        {"<", EXmlParse::kUnclosed},
        {"<a>", EXmlParse::kUnclosed},
        {"<a><b></b>", EXmlParse::kUnclosed},
        {"<a x=\"1\"><b y=", EXmlParse::kUnclosed},
        {"<a x=\"unterminated", EXmlParse::kUnclosed},
        {"<a/></", EXmlParse::kUnclosed},
        {"<?xml version=", EXmlParse::kUnclosed},
        {"</x><a/>", EXmlParse::kStrayEndTag},
        {"<a></a></a><b/>", EXmlParse::kStrayEndTag},
    };
    for (const auto& [text, expected] : cases) {
        TXmlNode doc("doc");
        doc.CreateChild("kept");
        doc.SetContent("before");
        const EXmlParse result = doc.ParseString(text);
        EXPECT_EQ(result, expected) << text;
        if (result != EXmlParse::kOk) {
            EXPECT_EQ(shape(&doc), "doc{before}(kept)") << text;
        }
        EXPECT_EQ(std::string(XmlParseProblem(result)).empty(), result == EXmlParse::kOk) << text;
    }
    std::string deepAndCut;
    for (int i = 0; i < 1000; ++i)
        deepAndCut += "<n>";
    TXmlNode doc;
    EXPECT_EQ(doc.ParseString(deepAndCut.c_str()), EXmlParse::kUnclosed) << "flattened elements still count as open";
    EXPECT_FALSE(doc.HasChildren());
    EXPECT_EQ(doc.ParseFile("/nonexistent/file.xml"), EXmlParse::kUnreadable);
}

// A server reply of a megabyte in one element: every word is kept, in order
// (the content grows at its known end: bench/online times the reading).
TEST(XmlRead, AVeryLongContentIsReadWhole)
{
    std::string words;
    for (int i = 0; i < 100000; ++i)
        words += "w" + std::to_string(i) + " ";
    TXmlNode doc;
    ASSERT_EQ(doc.ParseString(("<a>" + words + "</a>").c_str()), EXmlParse::kOk);
    words.pop_back();
    EXPECT_EQ(std::string(doc.GetChild("a")->GetContent().c_str()), words);
}

TEST(XmlRead, DecoderReportsWhetherTheTextStartsWithAnEntity)
{
    // The flag is an answer about this text alone: a caller's stale value never survives.
    const struct {
        const char *text, *decoded;
        bool staleFlag, startsWithEntity;
    } cases[] = {{"x&amp;", "x&", true, false}, {"word", "word", true, false}, {"&lt;b", "<b", false, true}};
    for (const auto& c : cases) {
        str text(c.text);
        int length = text.length();
        bool startsWithEntity = c.staleFlag;
        removeXMLEscapeChars(text, &length, &startsWithEntity);
        EXPECT_STREQ(text.c_str(), c.decoded);
        EXPECT_EQ(length, static_cast<int>(std::strlen(c.decoded)));
        EXPECT_EQ(startsWithEntity, c.startsWithEntity) << c.text;
    }
}

TEST(XmlRead, DeepNestingIsFlattenedNotACrash)
{
    std::string deep;
    for (int i = 0; i < 100000; ++i)
        deep += "<n>";
    deep += "x";
    for (int i = 0; i < 100000; ++i)
        deep += "</n>";
    deep += "<after/>";
    TXmlNode doc;
    doc.ParseString(deep.c_str());
    EXPECT_NE(doc.GetChild("n"), nullptr);
    EXPECT_NE(doc.GetChild("after"), nullptr) << "the flattened end tags still match their elements";
}

TEST(XmlRead, FilesAreReadByteByByteNulsIncludedAndAMissingOneChangesNothing)
{
    // (a name of this run's own: another user's run may have left one)
    std::string path = (std::filesystem::temp_directory_path() / "qm_xml_file_test_XXXXXX").string();
    const int fd = ::mkstemp(path.data());
    ASSERT_GE(fd, 0);
    {
        std::FILE* f = ::fdopen(fd, "wb");
        ASSERT_NE(f, nullptr);
        // Long past any stdio buffer; a NUL byte is one more character of a
        // word, and the words of a self-closed tag step back over "/>".
        std::string text = "<a><b x=y/>" + std::string(200000, ' ') + std::string("q\0r", 3) + "<c/></a>";
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
    TXmlNode doc;
    EXPECT_EQ(doc.ParseFile(path.c_str()), EXmlParse::kOk);
    std::filesystem::remove(path);
    EXPECT_EQ(shape(&doc), "(a{q}(b[x=y] c))");  // the word "q\0r", shown up to its NUL

    TXmlNode kept("keep");
    kept.SetContent("here");
    kept.ParseFile("/nonexistent/file.xml");
    EXPECT_EQ(shape(&kept), "keep{here}");
}

TEST(XmlRead, AFileSourceStepsBackSixBytesAndNoMore)
{
    std::FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    std::fputs("abcdefgh", f);
    std::rewind(f);
    TGetCharFile source(f);
    for (char c : std::string("abcdefg"))
        ASSERT_EQ(source.DoGetChar(), c);
    for (char c : std::string("gfedcb"))
        EXPECT_EQ(source.UngetChar(c), c);
    EXPECT_EQ(source.UngetChar('a'), -1);
    for (char c : std::string("bcdefgh"))
        EXPECT_EQ(source.DoGetChar(), c);
    EXPECT_EQ(source.DoGetChar(), -1);
    EXPECT_FALSE(source.Failed());
    TGetCharFile none(nullptr);
    EXPECT_EQ(none.DoGetChar(), -1);
    EXPECT_EQ(none.UngetChar('x'), -1);
}

// ---------------------------------------------------------------- the tree

TEST(XmlTree, AttributesSetReplacesTheFirstAndAMissingOneLeavesQuotedAlone)
{
    TXmlNode node;
    node.ParseString("<n a=1 b=\"2\" a=3/>");
    TXmlNode* n = node.GetChild("n");
    n->SetAttribute("a", "x");
    n->SetAttribute("c", 5);
    // Set values are quoted (shape looks quoting up by name, so the second "a" shows the first's).
    EXPECT_EQ(shape(n), "n[a='x][b='2][a='3][c='5]");
    for (bool quoted : {true, false}) {
        bool stays = quoted;
        EXPECT_STREQ(n->GetAttribute("missing", &stays).c_str(), "");
        EXPECT_EQ(stays, quoted);
    }
}

TEST(XmlTree, ChildrenCursorsAndDeletion)
{
    TXmlNode root("r");
    str name, value;
    TXmlNode* child = nullptr;
    EXPECT_FALSE(root.GetNextChild(&name, &child)) << "cursors start unset";
    TXmlNode* a = root.CreateChild("a");
    TXmlNode* b = root.CreateChild("b");
    TXmlNode* c = root.CreateChild("c");
    root.SetAttribute("k", "v");
    EXPECT_FALSE(root.GetNextAttribute(&name, &value));
    c->SetContent("see");
    EXPECT_EQ(root.GetChild("b"), b);
    EXPECT_EQ(root.GetChild("zz"), nullptr);
    EXPECT_STREQ(root.GetChildContent("c").c_str(), "see");
    EXPECT_STREQ(root.GetChildContent("zz").c_str(), "");

    // Deleting the child just returned keeps the iteration on the next one.
    root.ResetChildren();
    ASSERT_TRUE(root.GetNextChild(&name, &child));
    ASSERT_TRUE(root.GetNextChild(&name, &child));
    EXPECT_EQ(child, b);
    root.DeleteChild(b);
    ASSERT_TRUE(root.GetNextChild(&name, &child));
    EXPECT_STREQ(name.c_str(), "c");
    EXPECT_FALSE(root.GetNextChild(&name, &child));

    std::unique_ptr<TXmlNode> orphan(a);
    EXPECT_TRUE(root.OrphanChild(a));
    EXPECT_FALSE(root.OrphanChild(a));
    root.DeleteChild(a);  // not a child any more: nothing happens
    EXPECT_EQ(root.CountChildren(), 1);

    root.SetContent("text");
    root.Clear();  // everything goes, the name too
    EXPECT_EQ(shape(&root), "");
    EXPECT_STREQ(root.AsString().c_str(), "<>\n</>\n");
}

// ---------------------------------------------------------------- writing

TEST(XmlWrite, LayoutIsIndentedWithoutSelfClosingTags)
{
    TXmlNode r("r");
    r.SetAttribute("k", "v");
    r.SetContent("x");
    EXPECT_STREQ(r.AsString().c_str(), "<r\n    k=\"v\">\nx\n</r>\n");

    TXmlNode tree("a");
    TXmlNode* b = tree.CreateChild("b");
    b->SetAttribute("n", 1);
    b->CreateChild("c")->SetContent("deep");
    tree.ParseString("");
    EXPECT_STREQ(tree.AsString().c_str(),
                 "<a>\n    <b\n        n=\"1\">\n        <c>\n        deep\n        </c>\n    </b>\n</a>\n");

    TXmlNode doc;
    doc.ParseString("<n bare=2/>");
    EXPECT_STREQ(doc.GetChild("n")->AsString().c_str(), "<n\n    bare=2>\n</n>\n") << "unquoted values stay bare";

    // Into a string at a position and an indent.
    TXmlNode empty("r");
    str out("0123");
    int pos = 4;
    empty.AsString(&out, &pos, 2);
    EXPECT_STREQ(out.c_str(), "0123  <r>\n  </r>\n");
    EXPECT_EQ(pos, out.length());
}

TEST(XmlWrite, SafeStringEscapesMarkupControlAndHighBytes)
{
    EXPECT_STREQ(xmlSafeString("a<b>&\"'").c_str(), "a&lt;b&gt;&amp;&quot;&apos;");
    EXPECT_STREQ(xmlSafeString("\t\x01\xC3\xA9").c_str(), "&#9;&#1;&#-61;&#-87;");
    EXPECT_STREQ(xmlSafeString("plain = text/").c_str(), "plain = text/");
}

TEST(XmlWrite, EveryByteValueAndANestedTreeSurviveWriteThenRead)
{
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    TXmlNode node("all");
    node.SetAttribute("v", all.c_str());
    // In content each byte stands between two letters; '=' alone is read as a
    // word of its own (the reader's rule for text), so it comes back with blanks.
    for (int b = 1; b < 256; ++b)
        node.CreateChild("c")->SetContent(("x" + std::string(1, static_cast<char>(b)) + "y").c_str());
    TXmlNode holder;
    TXmlNode* back = writeAndRead(&node, &holder);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(std::string(back->GetAttribute("v").c_str()), all);
    auto kids = childrenOf(back);
    ASSERT_EQ(kids.size(), 255u);
    for (int b = 1; b < 256; ++b) {
        std::string expected = b == '=' ? "x = y" : "x" + std::string(1, static_cast<char>(b)) + "y";
        EXPECT_EQ(std::string(kids[static_cast<size_t>(b - 1)]->GetContent().c_str()), expected) << "byte " << b;
    }

    TXmlNode root("level");
    root.SetAttribute("name", "First \"day\" <easy>");
    root.SetAttribute("score", -12);
    TXmlNode* wave = root.CreateChild("wave");
    wave->SetContent("three words here");
    wave->CreateChild("party")->SetAttribute("size", 4);
    root.CreateChild("empty");
    TXmlNode again;
    back = writeAndRead(&root, &again);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(shape(back), shape(&root));
}
