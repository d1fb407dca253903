#include "engine/base/xml.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
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

// Names, attributes (with their quoting), content and children, recursively.
::testing::AssertionResult sameTree(TXmlNode* a, TXmlNode* b, const std::string& where = "")
{
    std::string here = where + "/" + a->GetName().c_str();
    if (a->GetName() != b->GetName())
        return ::testing::AssertionFailure() << here << ": name " << b->GetName().c_str();
    if (a->GetContent() != b->GetContent())
        return ::testing::AssertionFailure() << here << ": content '" << a->GetContent().c_str() << "' vs '"
                                             << b->GetContent().c_str() << "'";
    auto attrsA = attributesOf(a), attrsB = attributesOf(b);
    if (attrsA != attrsB)
        return ::testing::AssertionFailure() << here << ": attributes differ";
    for (auto& attr : attrsA) {
        bool qa = false, qb = false;
        a->GetAttribute(attr.name.c_str(), &qa);
        b->GetAttribute(attr.name.c_str(), &qb);
        if (qa != qb)
            return ::testing::AssertionFailure() << here << ": quoting of " << attr.name;
    }
    auto kidsA = childrenOf(a), kidsB = childrenOf(b);
    if (kidsA.size() != kidsB.size())
        return ::testing::AssertionFailure() << here << ": " << kidsA.size() << " vs " << kidsB.size() << " children";
    for (size_t i = 0; i < kidsA.size(); ++i)
        if (auto result = sameTree(kidsA[i], kidsB[i], here); !result)
            return result;
    return ::testing::AssertionSuccess();
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

TEST(XmlRead, AttributesKeepTheirQuotingAndWordsJoinWithOneBlank)
{
    TXmlNode doc;
    doc.ParseString("<a x=\"1\" y=2>hello   big  world</a>");
    TXmlNode* a = doc.GetChild("a");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(doc.CountChildren(), 1);
    bool quoted = false;
    EXPECT_STREQ(a->GetAttribute("x", &quoted).c_str(), "1");
    EXPECT_TRUE(quoted);
    EXPECT_STREQ(a->GetAttribute("y", &quoted).c_str(), "2");
    EXPECT_FALSE(quoted);
    EXPECT_STREQ(a->GetContent().c_str(), "hello big world");
}

TEST(XmlRead, SelfClosedElementsHaveNoBody)
{
    TXmlNode doc;
    doc.ParseString("<a><b/></a>");
    TXmlNode* a = doc.GetChild("a");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->CountChildren(), 1);
    EXPECT_STREQ(a->GetContent().c_str(), "");
    ASSERT_NE(a->GetChild("b"), nullptr);
    EXPECT_FALSE(a->GetChild("b")->HasChildren());

    TXmlNode spaced;
    spaced.ParseString("<a><b x=\"1\" /><c y=2/>after</a>");
    a = spaced.GetChild("a");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->CountChildren(), 2);
    EXPECT_STREQ(a->GetChild("c")->GetAttribute("y").c_str(), "2");
    EXPECT_STREQ(a->GetContent().c_str(), "after");
}

TEST(XmlRead, DeclarationCommentsAndDoctypeBecomeChildlessChildrenOfTheHolder)
{
    TXmlNode doc;
    doc.ParseString("<?xml version=\"1.0\"?>\n<!DOCTYPE r>\n<!-- a note -->\n<r/>");
    auto kids = childrenOf(&doc);
    ASSERT_EQ(kids.size(), 4u);
    EXPECT_STREQ(kids[0]->GetName().c_str(), "?xml");
    EXPECT_STREQ(kids[0]->GetAttribute("version").c_str(), "1.0");
    EXPECT_STREQ(kids[1]->GetName().c_str(), "!DOCTYPE");
    EXPECT_STREQ(kids[2]->GetName().c_str(), "!--");
    EXPECT_STREQ(kids[3]->GetName().c_str(), "r");
    for (auto* kid : kids)
        EXPECT_FALSE(kid->HasChildren());
}

TEST(XmlRead, ACommentEndsAtItsFirstGreaterThan)
{
    TXmlNode doc;
    doc.ParseString("<a><!-- 1 > 0 --><b/></a>");
    TXmlNode* a = doc.GetChild("a");
    ASSERT_NE(a, nullptr);
    EXPECT_STREQ(a->GetContent().c_str(), "0 -- >");
    EXPECT_NE(a->GetChild("b"), nullptr);
}

TEST(XmlRead, EntitiesInContentAreTextNotTags)
{
    TXmlNode doc;
    doc.ParseString("<a>&lt;b&gt; &amp; &quot;q&quot; &apos; &#65;&#-61;&#-87;</a>");
    ASSERT_NE(doc.GetChild("a"), nullptr);
    EXPECT_STREQ(doc.GetChild("a")->GetContent().c_str(), "<b> & \"q\" ' A\xC3\xA9");
    EXPECT_FALSE(doc.GetChild("a")->HasChildren());

    TXmlNode lone;
    lone.ParseString("<a>&lt; x &gt;</a>");
    EXPECT_STREQ(lone.GetChild("a")->GetContent().c_str(), "< x >");
    EXPECT_FALSE(lone.GetChild("a")->HasChildren());
}

TEST(XmlRead, DecoderReportsWhetherTheTextStartsWithAnEntity)
{
    // The flag is an answer about this text alone: a caller's stale value never survives.
    str plain("x&amp;");
    int length = plain.length();
    bool startsWithEntity = true;
    removeXMLEscapeChars(plain, &length, &startsWithEntity);
    EXPECT_STREQ(plain.c_str(), "x&");
    EXPECT_EQ(length, 2);
    EXPECT_FALSE(startsWithEntity);

    str untouched("word");
    length = untouched.length();
    startsWithEntity = true;
    removeXMLEscapeChars(untouched, &length, &startsWithEntity);
    EXPECT_FALSE(startsWithEntity);

    str entity("&lt;b");
    length = entity.length();
    startsWithEntity = false;
    removeXMLEscapeChars(entity, &length, &startsWithEntity);
    EXPECT_STREQ(entity.c_str(), "<b");
    EXPECT_TRUE(startsWithEntity);
}

TEST(XmlRead, UnknownEntitiesAndBareAmpersandsStayAsTheyAre)
{
    TXmlNode doc;
    doc.ParseString("<a>R&D &nbsp; &#12 x</a>");
    EXPECT_STREQ(doc.GetChild("a")->GetContent().c_str(), "R&D &nbsp; &#12 x");
}

TEST(XmlRead, TextBreaksAtEqualsAndGreaterThan)
{
    TXmlNode doc;
    doc.ParseString("<a>1>0 and x=y</a>");
    EXPECT_STREQ(doc.GetChild("a")->GetContent().c_str(), "1 > 0 and x = y");
}

TEST(XmlRead, QuotedTextKeepsItsSpacing)
{
    TXmlNode doc;
    doc.ParseString("<a>say \"two  blanks <b>\" now</a>");
    EXPECT_STREQ(doc.GetChild("a")->GetContent().c_str(), "say two  blanks <b> now");
    EXPECT_FALSE(doc.GetChild("a")->HasChildren());
}

TEST(XmlRead, HighBytesAreDataAndUtf8IsNeverMarkup)
{
    TXmlNode doc;
    doc.ParseString("<a x=\"\xFF" "abc\">\xFF" "abc tail \xE2\x82\xAC</a><b/>");
    ASSERT_NE(doc.GetChild("a"), nullptr);
    EXPECT_STREQ(doc.GetChild("a")->GetAttribute("x").c_str(), "\xFF" "abc");
    EXPECT_STREQ(doc.GetChild("a")->GetContent().c_str(), "\xFF" "abc tail \xE2\x82\xAC");
    EXPECT_NE(doc.GetChild("b"), nullptr);

    // A lead byte takes its followers with it, even when they look like markup.
    TXmlNode grouped;
    grouped.ParseString("<a>\xC3<</a>");
    ASSERT_NE(grouped.GetChild("a"), nullptr);
    EXPECT_STREQ(grouped.GetChild("a")->GetContent().c_str(), "\xC3<");
}

TEST(XmlRead, UnnamedWrapperIsDropped)
{
    // The layout of a stored preferences file: its sections come back as
    // children of the holder.
    TXmlNode doc;
    doc.ParseString("<>\n    <install\n        qminstallkey=\"/games/x\">\n"
                    "        <global\n            volume=\"7\">\n        </global>\n"
                    "    </install>\n    <install\n        qminstallkey=\"other\">\n    </install>\n</>\n");
    auto kids = childrenOf(&doc);
    ASSERT_EQ(kids.size(), 2u);
    EXPECT_STREQ(kids[0]->GetName().c_str(), "install");
    EXPECT_STREQ(kids[0]->GetAttribute("qminstallkey").c_str(), "/games/x");
    ASSERT_NE(kids[0]->GetChild("global"), nullptr);
    EXPECT_STREQ(kids[0]->GetChild("global")->GetAttribute("volume").c_str(), "7");
    EXPECT_STREQ(kids[1]->GetAttribute("qminstallkey").c_str(), "other");
}

TEST(XmlRead, EndTagsCloseWhateverIsOpen)
{
    TXmlNode doc;
    doc.ParseString("<a><b>text</c>more</a><d/>");
    TXmlNode* a = doc.GetChild("a");
    ASSERT_NE(a, nullptr);
    EXPECT_STREQ(a->GetChild("b")->GetContent().c_str(), "text");
    EXPECT_STREQ(a->GetContent().c_str(), "more");
    EXPECT_NE(doc.GetChild("d"), nullptr);

    // An end tag at the top ends the input.
    TXmlNode stray;
    stray.ParseString("</x><a/>");
    EXPECT_FALSE(stray.HasChildren());
}

TEST(XmlRead, CutOffInputKeepsWhatWasBuilt)
{
    TXmlNode doc;
    doc.ParseString("<a x=\"1\"><b y=");
    TXmlNode* a = doc.GetChild("a");
    ASSERT_NE(a, nullptr);
    EXPECT_STREQ(a->GetAttribute("x").c_str(), "1");
    EXPECT_NE(a->GetChild("b"), nullptr);

    TXmlNode quote;
    quote.ParseString("<a x=\"unterminated");
    EXPECT_STREQ(quote.GetChild("a")->GetAttribute("x").c_str(), "unterminated");
}

TEST(XmlRead, EmptyQuotedValuesCount)
{
    TXmlNode doc;
    doc.ParseString("<a x=\"\" y=\"2\">\"\" after</a>");
    TXmlNode* a = doc.GetChild("a");
    bool quoted = false;
    EXPECT_STREQ(a->GetAttribute("x", &quoted).c_str(), "");
    EXPECT_TRUE(quoted);
    EXPECT_STREQ(a->GetAttribute("y").c_str(), "2");
    EXPECT_STREQ(a->GetContent().c_str(), "after") << "an empty quoted word is not the end of input";
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

TEST(XmlRead, MissingFileLeavesTheNodeUnchanged)
{
    TXmlNode doc("keep");
    doc.SetContent("here");
    doc.ParseFile("/nonexistent/file.xml");
    EXPECT_STREQ(doc.GetName().c_str(), "keep");
    EXPECT_STREQ(doc.GetContent().c_str(), "here");
    EXPECT_FALSE(doc.HasChildren());
}

TEST(XmlRead, FilesAreReadWholeUpToANul)
{
    auto path = std::filesystem::temp_directory_path() / "qm_xml_file_test.xml";
    {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::string text = "<a><b/>";
        text += std::string(200000, ' ');  // long past any stdio buffer
        text += "<c/></a>";
        text += '\0';
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
    TXmlNode doc;
    doc.ParseFile(path.c_str());
    std::filesystem::remove(path);
    ASSERT_NE(doc.GetChild("a"), nullptr);
    EXPECT_EQ(doc.GetChild("a")->CountChildren(), 2);
}

// ---------------------------------------------------------------- the tree

TEST(XmlTree, AttributesKeepOrderAndSetReplacesTheFirst)
{
    TXmlNode node("n");
    node.ParseString("<n a=1 b=\"2\" a=3/>");
    TXmlNode* n = node.GetChild("n");
    EXPECT_EQ(attributesOf(n), (std::vector<Attr>{{"a", "1"}, {"b", "2"}, {"a", "3"}}));
    n->SetAttribute("a", "x");
    n->SetAttribute("c", 5);
    EXPECT_EQ(attributesOf(n), (std::vector<Attr>{{"a", "x"}, {"b", "2"}, {"a", "3"}, {"c", "5"}}));
    bool quoted = false;
    n->GetAttribute("a", &quoted);
    EXPECT_TRUE(quoted) << "set values are quoted";
}

TEST(XmlTree, MissingAttributeLeavesQuotedUntouched)
{
    TXmlNode node("n");
    bool quoted = true;
    EXPECT_STREQ(node.GetAttribute("missing", &quoted).c_str(), "");
    EXPECT_TRUE(quoted);
    quoted = false;
    EXPECT_STREQ(node.GetAttribute("missing", &quoted).c_str(), "");
    EXPECT_FALSE(quoted);
}

TEST(XmlTree, ChildrenCursorsAndDeletion)
{
    TXmlNode root("r");
    TXmlNode* a = root.CreateChild("a");
    TXmlNode* b = root.CreateChild("b");
    TXmlNode* c = root.CreateChild("c");
    c->SetContent("see");
    EXPECT_EQ(root.GetChild("b"), b);
    EXPECT_EQ(root.GetChild("zz"), nullptr);
    EXPECT_STREQ(root.GetChildContent("c").c_str(), "see");
    EXPECT_STREQ(root.GetChildContent("zz").c_str(), "");

    // Deleting the child just returned keeps the iteration on the next one.
    root.ResetChildren();
    str name;
    TXmlNode* child = nullptr;
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
    EXPECT_EQ(root.CountChildren(), 1);
    root.DeleteChild(a);  // not a child any more: nothing happens
    EXPECT_EQ(root.CountChildren(), 1);
}

TEST(XmlTree, IterationBeginsWithTheReset)
{
    TXmlNode root("r");
    root.CreateChild("a");
    root.SetAttribute("k", "v");
    str name, value;
    TXmlNode* child;
    EXPECT_FALSE(root.GetNextChild(&name, &child)) << "cursors start unset";
    EXPECT_FALSE(root.GetNextAttribute(&name, &value));
    root.ResetChildren();
    EXPECT_TRUE(root.GetNextChild(&name, &child));
    root.ResetAttributes();
    EXPECT_TRUE(root.GetNextAttribute(&name, &value));
    EXPECT_STREQ(value.c_str(), "v");
}

TEST(XmlTree, ClearEmptiesEverythingIncludingTheName)
{
    TXmlNode node("n");
    node.CreateChild("a");
    node.SetAttribute("k", "v");
    node.SetContent("text");
    node.Clear();
    EXPECT_STREQ(node.GetName().c_str(), "");
    EXPECT_STREQ(node.GetContent().c_str(), "");
    EXPECT_FALSE(node.HasChildren());
    EXPECT_STREQ(node.GetAttribute("k").c_str(), "");
    EXPECT_STREQ(node.AsString().c_str(), "<>\n</>\n");
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
                 "<a>\n"
                 "    <b\n"
                 "        n=\"1\">\n"
                 "        <c>\n"
                 "        deep\n"
                 "        </c>\n"
                 "    </b>\n"
                 "</a>\n");

    TXmlNode doc;
    doc.ParseString("<n bare=2/>");
    EXPECT_STREQ(doc.GetChild("n")->AsString().c_str(), "<n\n    bare=2>\n</n>\n") << "unquoted values stay bare";
}

TEST(XmlWrite, WritesIntoAStringAtAPositionAndIndent)
{
    TXmlNode r("r");
    str out("0123");
    int pos = 4;
    r.AsString(&out, &pos, 2);
    EXPECT_STREQ(out.c_str(), "0123  <r>\n  </r>\n");
    EXPECT_EQ(pos, out.length());
}

TEST(XmlWrite, SafeStringEscapesMarkupControlAndHighBytes)
{
    EXPECT_STREQ(xmlSafeString("a<b>&\"'").c_str(), "a&lt;b&gt;&amp;&quot;&apos;");
    EXPECT_STREQ(xmlSafeString("\t\x01\xC3\xA9").c_str(), "&#9;&#1;&#-61;&#-87;");
    EXPECT_STREQ(xmlSafeString("plain = text/").c_str(), "plain = text/");
}

TEST(XmlWrite, EveryByteValueSurvivesWriteThenRead)
{
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    TXmlNode node("all");
    node.SetAttribute("v", all.c_str());
    // In content each byte stands between two letters; '=' alone is read as a
    // word of its own (the reader's rule for text), so it comes back with blanks.
    for (int b = 1; b < 256; ++b) {
        std::string text = "x";
        text += static_cast<char>(b);
        text += "y";
        node.CreateChild("c")->SetContent(text.c_str());
    }
    TXmlNode holder;
    TXmlNode* back = writeAndRead(&node, &holder);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(std::string(back->GetAttribute("v").c_str()), all);
    auto kids = childrenOf(back);
    ASSERT_EQ(kids.size(), 255u);
    for (int b = 1; b < 256; ++b) {
        std::string expected = "x";
        if (b == '=')
            expected += " = ";
        else
            expected += static_cast<char>(b);
        expected += "y";
        EXPECT_EQ(std::string(kids[static_cast<size_t>(b - 1)]->GetContent().c_str()), expected) << "byte " << b;
    }
}

TEST(XmlWrite, ANestedTreeRoundTrips)
{
    TXmlNode root("level");
    root.SetAttribute("name", "First \"day\" <easy>");
    root.SetAttribute("score", -12);
    TXmlNode* wave = root.CreateChild("wave");
    wave->SetContent("three words here");
    wave->CreateChild("party")->SetAttribute("size", 4);
    root.CreateChild("empty");
    TXmlNode holder;
    TXmlNode* back = writeAndRead(&root, &holder);
    ASSERT_NE(back, nullptr);
    EXPECT_TRUE(sameTree(&root, back));
}

// ---------------------------------------------------------------- files of this machine

namespace {

bool startsWith(const str& s, const char* prefix)
{
    return std::strncmp(s.c_str(), prefix, std::strlen(prefix)) == 0;
}

bool hasSpaceOrEquals(const str& s)
{
    return std::strchr(s.c_str(), ' ') || std::strchr(s.c_str(), '=');
}

// What the writer can express so that the reader gives it back: no tags that
// the reader skips (written with an end tag, they would close their parent),
// names that need no escaping, content without runs of blanks, and bare
// values that stay one word.
bool selfWithinDialect(TXmlNode* node)
{
    const str& name = node->GetName();
    if (name.length() == 0 || startsWith(name, "?xml") || startsWith(name, "!DOCTYPE") || startsWith(name, "!--") ||
        startsWith(name, "/") || name[name.length() - 1] == '/' || hasSpaceOrEquals(name) ||
        xmlSafeString(name.c_str()) != name)
        return false;
    const char* content = node->GetContent().c_str();
    size_t length = std::strlen(content);
    if (length > 0 && (content[0] == ' ' || content[length - 1] == ' ' || std::strstr(content, "  ")))
        return false;
    node->ResetAttributes();
    str attrName, value;
    while (node->GetNextAttribute(&attrName, &value)) {
        bool quoted = false;
        node->GetAttribute(attrName.c_str(), &quoted);
        if (hasSpaceOrEquals(attrName) || (!quoted && (std::strchr(value.c_str(), ' ') || value[value.length() - 1] == '/')))
            return false;
    }
    return true;
}

void roundTrip(TXmlNode* node, const std::filesystem::path& path)
{
    TXmlNode holder;
    TXmlNode* back = writeAndRead(node, &holder);
    EXPECT_NE(back, nullptr) << path;
    EXPECT_TRUE(back && sameTree(node, back)) << path;
}

// Whether the whole subtree lies within the dialect. When it does not, its
// largest subtrees that do are round-tripped here (and counted).
bool withinDialect(TXmlNode* node, const std::filesystem::path& path, int* roundTripped)
{
    auto kids = childrenOf(node);
    std::vector<bool> kidWithin;
    bool all = selfWithinDialect(node);
    for (TXmlNode* kid : kids) {
        kidWithin.push_back(withinDialect(kid, path, roundTripped));
        all = all && kidWithin.back();
    }
    if (all)
        return true;
    for (size_t i = 0; i < kids.size(); ++i) {
        if (kidWithin[i]) {
            roundTrip(kids[i], path);
            ++*roundTripped;
        }
    }
    return false;
}

std::vector<std::filesystem::path> machineXmlFiles(size_t limit)
{
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (const char* root : {"/usr/share", "/etc"}) {
        std::filesystem::recursive_directory_iterator it(
            root, std::filesystem::directory_options::skip_permission_denied, error);
        for (; !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
            std::error_code ignored;
            if (it->path().extension() == ".xml" && it->is_regular_file(ignored) && it->file_size(ignored) < 1024 * 1024)
                files.push_back(it->path());
        }
        error.clear();
    }
    std::sort(files.begin(), files.end());
    // Spread the sample over the whole sorted list.
    if (files.size() > limit) {
        std::vector<std::filesystem::path> sample;
        for (size_t i = 0; i < limit; ++i)
            sample.push_back(files[i * files.size() / limit]);
        files = std::move(sample);
    }
    return files;
}

}  // namespace

TEST(XmlMachineFiles, ParseWithoutCrashingAndRoundTripWithinTheDialect)
{
    auto files = machineXmlFiles(250);
    if (files.empty())
        GTEST_SKIP() << "no XML files on this machine";
    int parsed = 0, documents = 0, subtrees = 0;
    for (const auto& path : files) {
        TXmlNode doc;
        doc.ParseFile(path.c_str());
        ++parsed;
        for (TXmlNode* element : childrenOf(&doc)) {
            if (withinDialect(element, path, &subtrees)) {
                roundTrip(element, path);
                ++documents;
                ++subtrees;
            }
        }
    }
    std::printf("parsed %d files; round-tripped %d whole document elements and %d subtrees in all\n", parsed,
                documents, subtrees);
    EXPECT_GT(documents, 0);
}
