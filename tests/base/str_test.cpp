#include "engine/base/str.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

TEST(Str, MissingBodyAndEmptyTextCompareEqual)
{
    str none;
    str empty("");
    EXPECT_EQ(none.compare(empty), 0);
    EXPECT_EQ(empty.compare(none), 0);
    EXPECT_TRUE(none == empty);
    EXPECT_LT(none.compare(str("a")), 0);
    EXPECT_GT(str("a").compare(none), 0);
    EXPECT_TRUE(none < str("a"));
    EXPECT_EQ(none.length(), 0);
    EXPECT_STREQ(none.c_str(), "");
}

TEST(Str, ComparesAsSignedStrcmp)
{
    EXPECT_LT(str("abc").compare(str("abd")), 0);
    EXPECT_GT(str("b").compare(str("abc")), 0);
    EXPECT_TRUE(str("x") >= str("x"));
    std::map<str, int> keyed{{str("b"), 2}, {str("a"), 1}, {str(), 0}};
    EXPECT_EQ(keyed.begin()->second, 0);
    EXPECT_EQ(keyed.rbegin()->second, 2);
}

TEST(Str, CapacitiesFollowTheConstructionRules)
{
    EXPECT_EQ(str("hello").capacity(), 6);
    EXPECT_EQ(str(nullptr).capacity(), 16);
    EXPECT_EQ(str("ab", 2).capacity(), 16);
    EXPECT_EQ(str("abcdefghijklmnopqrst", 20).capacity(), 21);
    EXPECT_EQ((str("a") + str("b")).capacity(), 16);
}

TEST(Str, PointerAndLengthCopiesExactlyNBytes)
{
    str s("abcdef", 3);
    EXPECT_STREQ(s.c_str(), "abc");
    str withNul("a\0b", 3);
    EXPECT_EQ(withNul.length(), 1);
}

TEST(Str, IndexingIsSignedAndBounded)
{
    str s("a\xE9");
    EXPECT_EQ(s[0], 'a');
    EXPECT_EQ(s[1], static_cast<char>(-23));
    EXPECT_LT(static_cast<int>(s[1]), 0);
    EXPECT_EQ(s[-1], 0);
    EXPECT_EQ(s[2], 0);
    EXPECT_EQ(str()[0], 0);
}

TEST(Str, Numbers)
{
    EXPECT_EQ(str("42abc").to_int(), 42);
    EXPECT_EQ(str().to_int(), 0);
    EXPECT_FLOAT_EQ(str("2.5").to_float(), 2.5f);
    EXPECT_FLOAT_EQ(str().to_float(), 0.0f);
}

TEST(Str, Substr)
{
    str hello("hello");
    EXPECT_STREQ(hello.substr(2, -1).c_str(), "llo");
    EXPECT_STREQ(hello.substr(5, 1).c_str(), "");
    EXPECT_STREQ(hello.substr(1, 3).c_str(), "ell");
    EXPECT_STREQ(hello.substr(0, 0).c_str(), "");
    EXPECT_STREQ(hello.substr(3, 99).c_str(), "lo");
    EXPECT_STREQ(str().substr(0, 2).c_str(), "");
}

TEST(Str, FindCharacterForwardsBackwardsAndCaseless)
{
    str hello("hello");
    EXPECT_EQ(hello.find('l', str::kBackwards, 0), 3);
    EXPECT_EQ(hello.find('L', str::kIgnoreCase, 0), 2);
    EXPECT_EQ(hello.find('L', 0, 0), -1);
    EXPECT_EQ(hello.find('l', 0, 3), 3);
    EXPECT_EQ(hello.find('h', str::kBackwards, 1), 0);
    EXPECT_EQ(hello.find('o', str::kBackwards, 1), -1);
    EXPECT_EQ(hello.find('h', 0, 5), -1);
    EXPECT_EQ(str().find('a'), -1);
}

TEST(Str, FindSubstring)
{
    str text("abcabc");
    EXPECT_EQ(text.find(str("bc")), 1);
    EXPECT_EQ(text.find(str("bc"), 0, 2), 4);
    EXPECT_EQ(text.find(str("bc"), str::kBackwards, 0), 4);
    EXPECT_EQ(text.find(str("bc"), str::kBackwards, 1), 1);
    EXPECT_EQ(text.find(str("BC"), str::kIgnoreCase, 0), 1);
    EXPECT_EQ(text.find(str("abcabcx")), -1);
    EXPECT_EQ(text.find(str(""), 0, 2), 2);
    EXPECT_EQ(text.find(str("c"), 0, 6), -1);
}

TEST(Str, ReplaceFirstOrAll)
{
    str all("aXa");
    all.replace(str("a"), str("bb"), str::kReplaceAll, 0);
    EXPECT_STREQ(all.c_str(), "bbXbb");

    str first("aXa");
    first.replace(str("a"), str("bb"), 0, 0);
    EXPECT_STREQ(first.c_str(), "bbXa");

    str shrink("one two one");
    shrink.replace(str("one"), str("1"), str::kReplaceAll, 0);
    EXPECT_STREQ(shrink.c_str(), "1 two 1");

    // The replacement text is never searched again.
    str grow("aa");
    grow.replace(str("a"), str("aa"), str::kReplaceAll, 0);
    EXPECT_STREQ(grow.c_str(), "aaaa");

    str caseless("Hello");
    caseless.replace(str("HELLO"), str("bye"), str::kIgnoreCase, 0);
    EXPECT_STREQ(caseless.c_str(), "bye");

    str none;
    none.replace(str("x"), str("y"), str::kReplaceAll, 0);
    EXPECT_EQ(none.length(), 0);
}

TEST(Str, Erase)
{
    str s("abc");
    s.erase(1, -1);
    EXPECT_STREQ(s.c_str(), "a");
    str t("abc");
    t.erase(5, 1);
    EXPECT_STREQ(t.c_str(), "abc");
    str u("abcdef");
    u.erase(1, 2);
    EXPECT_STREQ(u.c_str(), "adef");
}

TEST(Str, CopiesAreIndependentOnWrite)
{
    str source("base");
    str copy(source);
    EXPECT_TRUE(copy.sharesBodyWith(source));
    copy += str("ment");
    EXPECT_STREQ(source.c_str(), "base");
    EXPECT_STREQ(copy.c_str(), "basement");

    str other = source;
    other.erase(0, 1);
    other.replace(str("s"), str("S"));
    EXPECT_STREQ(source.c_str(), "base");
    EXPECT_STREQ(other.c_str(), "aSe");

    str inserted = source;
    inserted.insert(0, "B", 1, false);
    EXPECT_STREQ(source.c_str(), "base");
    EXPECT_STREQ(inserted.c_str(), "Base");
}

TEST(Str, SelfAssignmentAndSelfAppend)
{
    str s("ab");
    const str& alias = s;
    s = alias;
    EXPECT_STREQ(s.c_str(), "ab");
    s += alias;
    EXPECT_STREQ(s.c_str(), "abab");
    s.replace(alias, alias);
    EXPECT_STREQ(s.c_str(), "abab");
}

TEST(Str, ConcatenationAndChars)
{
    str a("foo");
    EXPECT_STREQ((a + str("bar")).c_str(), "foobar");
    EXPECT_STREQ((a + '!').c_str(), "foo!");
    EXPECT_STREQ((str() + 'x').c_str(), "x");
}

TEST(Str, FormatIsCutAt4095)
{
    std::string big(5000, 'x');
    str s;
    s.format("%s", big.c_str());
    EXPECT_EQ(s.length(), 4095);
    EXPECT_STREQ(str::getFormatted("%d-%s", 7, "seven").c_str(), "7-seven");
}

TEST(Str, InsertBuildsPieceByPieceAndGrowsGeometrically)
{
    str built;
    int pos = 0;
    for (int i = 0; i < 100; ++i)
        pos = built.insert(pos, "ab", 2, false);
    EXPECT_EQ(pos, 200);
    EXPECT_EQ(built.length(), 200);
    EXPECT_GE(built.capacity(), 201);

    str over("hello world");
    EXPECT_EQ(over.insert(0, "HE", 2, false), 2);
    EXPECT_STREQ(over.c_str(), "HEllo world");
    over.insert(5, "!", 1, true);
    EXPECT_STREQ(over.c_str(), "HEllo!");
}

// Appending grows the body geometrically: a text built a word at a time is
// copied a few times in all, not once per word.
TEST(Str, AppendingGrowsGeometrically)
{
    str built;
    int growths = 0;
    int capacity = built.capacity();
    for (int i = 0; i < 10000; ++i) {
        built += str("word ");
        if (built.capacity() != capacity)
            ++growths;
        capacity = built.capacity();
    }
    EXPECT_EQ(built.length(), 50000);
    EXPECT_LE(growths, 16);
    EXPECT_STREQ(built.c_str() + 49995, "word ");
    // A shared body is still copied before it is written.
    str copy(built);
    copy += str("!");
    EXPECT_EQ(built.length(), 50000);
    EXPECT_EQ(copy.length(), 50001);
}

TEST(Str, ReserveUnsharesAndKeepsText)
{
    str a("text");
    str b(a);
    b.reserve(100);
    EXPECT_FALSE(b.sharesBodyWith(a));
    EXPECT_GE(b.capacity(), 100);
    EXPECT_STREQ(b.c_str(), "text");
    str none;
    none.reserve(4);
    EXPECT_EQ(none.capacity(), 16);
}
