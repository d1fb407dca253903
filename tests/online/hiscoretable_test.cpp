#include "online/hiscoretable.h"
#include "online/hiscorereply.h"

#include "engine/base/xml.h"

#include <gtest/gtest.h>

namespace {

TQmHiscoreRow row(const char* name, int score, const char* guid = "")
{
    TQmHiscoreRow r;
    r.name = name;
    r.score = score;
    r.guid = guid;
    return r;
}

std::string describe(const TQmHiscoreTable& table)
{
    std::string text;
    for (const TQmHiscoreRow& r : table.rows)
        text += std::to_string(r.rank) + ":" + r.name.c_str() + "=" + std::to_string(r.score) + " ";
    return text;
}

}  // namespace

TEST(HiscoreTable, OrdersDescendingWithEqualScoresAfter)
{
    TQmHiscoreTable table;
    qm::InsertScore(table, row("ann", 100), false);
    EXPECT_EQ(describe(table), "1:ann=100 ");
    qm::InsertScore(table, row("bob", 100), false);
    EXPECT_EQ(describe(table), "1:ann=100 2:bob=100 ");
    qm::InsertScore(table, row("cid", 150), false);
    qm::InsertScore(table, row("dee", 50), false);
    qm::InsertScore(table, row("eve", 100), false);
    EXPECT_EQ(describe(table), "1:cid=150 2:ann=100 3:bob=100 4:eve=100 5:dee=50 ");
}

TEST(HiscoreTable, OnePerUserReplacesOnlyWithAHigherScoreAndKeepsTheGuid)
{
    TQmHiscoreTable table;
    qm::InsertScore(table, row("ann", 300, "g-ann"), true);
    qm::InsertScore(table, row("bob", 200, "g-bob"), true);
    qm::InsertScore(table, row("cid", 100, "g-cid"), true);

    qm::InsertScore(table, row("bob", 200, "g-new"), true);  // equal: unchanged
    qm::InsertScore(table, row("bob", 150, "g-new"), true);  // lower: unchanged
    EXPECT_EQ(describe(table), "1:ann=300 2:bob=200 3:cid=100 ");

    qm::InsertScore(table, row("cid", 400, "g-new"), true);
    EXPECT_EQ(describe(table), "1:cid=400 2:ann=300 3:bob=200 ");
    EXPECT_STREQ(table.rows[0].guid.c_str(), "g-cid");

    qm::InsertScore(table, row("ann", 250, "g-x"), false);  // not one-per-user: a second row
    EXPECT_EQ(describe(table), "1:cid=400 2:ann=300 3:ann=250 4:bob=200 ");
}

TEST(HiscoreTable, AFullOrOverfullTableKeepsTheCapAndDropsItsLowestRows)
{
    // Only a damaged or foreign hiscore.dat holds more rows than the cap.
    for (int rows : {qm::kMaxLocalScores, qm::kMaxLocalScores + 100}) {
        TQmHiscoreTable table;
        for (int i = 0; i < rows; ++i) {
            table.rows.push_back(row("p", 10000 - i * 10));
            table.rows.back().rank = i + 1;
        }
        qm::InsertScore(table, row("low", 1), false);
        qm::InsertScore(table, row("low", 10000 - 499 * 10), false);  // equal to the last kept: no room
        EXPECT_EQ(table.Count(), 500);
        EXPECT_EQ(table.FindByName("low"), nullptr);

        qm::InsertScore(table, row("high", 9995), false);
        ASSERT_EQ(table.Count(), 500);
        EXPECT_STREQ(table.rows[1].name.c_str(), "high");
        EXPECT_EQ(table.rows.back().score, 10000 - 498 * 10);
        for (int i = 0; i < table.Count(); ++i)
            ASSERT_EQ(table.rows[i].rank, i + 1);
    }

    TQmHiscoreTable table;  // one per user: the player's own row moves up, the last goes
    for (int i = 0; i < qm::kMaxLocalScores; ++i)
        qm::InsertScore(table, row(("p" + std::to_string(i)).c_str(), 10000 - i * 10), true);
    qm::InsertScore(table, row("p499", 20000, "g"), true);
    ASSERT_EQ(table.Count(), 500);
    EXPECT_STREQ(table.rows[0].name.c_str(), "p499");
    EXPECT_STREQ(table.rows[499].name.c_str(), "p498");
    for (int i = 0; i < table.Count(); ++i)
        ASSERT_EQ(table.rows[i].rank, i + 1);
}

TEST(HiscoreText, WrittenRowByRowAsTheXmlWriterWritesTheWholeElement)
{
    std::map<str, TQmHiscoreTable> tables;
    TQmHiscoreTable& table = tables[str("career")];
    table.name = "career";
    qm::InsertScore(table, row("ann", 300, "0123"), false);
    qm::InsertScore(table, row("b\"<&>\x01\xc3\xa9", 200), false);
    table.rows[1].serverData = "<medal name=\"gold\"></medal>";
    table.rows[0].submitted = true;
    std::map<str, TQmHiscoreUserInfo> users;
    users[str("ann")] = {str("ann"), str("ann online"), str("p&w")};

    TXmlNode user("user");
    user.SetAttribute("player", "ann");
    user.SetAttribute("name", "ann online");
    user.SetAttribute("pass", "p&w");
    TXmlNode score("score");
    score.SetAttribute("name", "career");
    for (const TQmHiscoreRow& r : table.rows) {
        TXmlNode* node = score.CreateChild("row");
        node->SetAttribute("rank", r.rank);
        node->SetAttribute("score", r.score);
        node->SetAttribute("submit", r.submitted ? 1 : 0);
        if (r.guid.length())
            node->SetAttribute("guid", r.guid.c_str());
        node->SetAttribute("name", r.name.c_str());
        if (r.serverData.length())
            node->SetAttribute("serverData", r.serverData.c_str());
    }
    std::string expected = std::string("<?xml version=\"1.0\"?>\n") + user.AsString().c_str() + score.AsString().c_str();
    EXPECT_EQ(std::string(qm::WriteHiscoreText(users, tables).c_str()), expected);

    std::map<str, TQmHiscoreUserInfo> usersRead;
    std::map<str, TQmHiscoreTable> tablesRead;
    qm::ReadHiscoreText(expected.c_str(), &usersRead, &tablesRead);
    ASSERT_EQ(tablesRead[str("career")].Count(), 2);
    EXPECT_STREQ(tablesRead[str("career")].rows[1].name.c_str(), "b\"<&>\x01\xc3\xa9");
    EXPECT_STREQ(tablesRead[str("career")].rows[1].serverData.c_str(), "<medal name=\"gold\"></medal>");
    EXPECT_TRUE(tablesRead[str("career")].rows[0].submitted);
    EXPECT_STREQ(usersRead[str("ann")].password.c_str(), "p&w");
}

// A server may quote its attributes with apostrophes, as XML allows: the
// values are read without them, and a player name with an apostrophe (stored
// in hiscore.dat as an entity) survives both ways.
TEST(HiscoreText, AScoreListQuotedWithApostrophesIsReadAsXmlReadsIt)
{
    const char* reply = "<?xml version='1.0'?>\n<hiscore><scores>"
                        "<score rank='1' score='1000' name='P0' anonymous='false' account='true'></score>"
                        "<score rank=\"2\" score='900' name=\"it's\" data='say \"hi\"'></score>"
                        "</scores></hiscore>";
    TQmHiscoreTable scores;
    int account = -1;
    str message;
    ASSERT_TRUE(qm::ReadScoreList(reply, &scores, &account, &message));
    ASSERT_EQ(scores.Count(), 2);
    EXPECT_STREQ(scores.rows[0].name.c_str(), "P0");
    EXPECT_EQ(scores.rows[0].rank, 1);
    EXPECT_EQ(scores.rows[0].score, 1000);
    EXPECT_FALSE(scores.rows[0].anonymous);
    EXPECT_EQ(account, 0);
    EXPECT_STREQ(scores.rows[1].name.c_str(), "it's");
    EXPECT_EQ(scores.rows[1].score, 900);
    EXPECT_STREQ(scores.rows[1].gameData.c_str(), "say \"hi\"");

    std::map<str, TQmHiscoreTable> tables;
    tables[str("career")] = scores;
    tables[str("career")].name = "career";
    std::map<str, TQmHiscoreTable> again;
    std::map<str, TQmHiscoreUserInfo> users;
    qm::ReadHiscoreText(qm::WriteHiscoreText(users, tables).c_str(), &users, &again);
    ASSERT_EQ(again[str("career")].Count(), 2);
    EXPECT_STREQ(again[str("career")].rows[1].name.c_str(), "it's");
}
