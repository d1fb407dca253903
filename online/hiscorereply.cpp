#include "online/hiscorereply.h"

#include "engine/base/debuglog.h"
#include "engine/base/xml.h"

#include <cstdlib>
#include <limits>
#include <string>
#include <utility>

namespace qm {

namespace {

const char kDeclaration[] = "<?xml version=\"1.0\"?>\n";

int decimal(const TXmlNode* node, const char* attribute)
{
    return std::atoi(node->GetAttribute(attribute).c_str());
}

// Calls visit(child) for every direct child with that name, in document order.
template <typename Visit>
void forEachChild(TXmlNode* node, const char* name, Visit visit)
{
    str childName;
    TXmlNode* child = nullptr;
    node->ResetChildren();
    while (node->GetNextChild(&childName, &child)) {
        if (childName == str(name))
            visit(child);
    }
}

// A reply's bytes that end early once `stop` is set.
class TStoppableText : public TGetCharString {
public:
    TStoppableText(const char* text, const std::atomic<bool>* stop)
        : TGetCharString(text, std::numeric_limits<int>::max()), mStop(stop)
    {
    }
    int DoGetChar() override
    {
        return mStop && mStop->load(std::memory_order_relaxed) ? -1 : TGetCharString::DoGetChar();
    }
    bool Stopped() const { return mStop && mStop->load(std::memory_order_relaxed); }

private:
    const std::atomic<bool>* mStop;
};

}  // namespace

bool CheckHiscoreReply(const char* reply, TXmlNode& holder, TXmlNode** hiscore, str* message,
                       const std::atomic<bool>* stop)
{
    *message = str();
    // The reader makes holder a node whose children are the top-level tags.
    TStoppableText text(reply ? reply : "", stop);
    holder.ParseSource(&text);
    *hiscore = nullptr;
    if (text.Stopped())
        return false;
    *hiscore = holder.GetChild("hiscore");
    if (!*hiscore) {
        WriteDbg("HiScore XML parsing error!");
        return false;
    }
    if (TXmlNode* text = (*hiscore)->GetChild("message")) {
        *message = text->GetContent();
        WriteDbg("HiScore User Message: %s", message->c_str());
        return false;
    }
    if (TXmlNode* error = (*hiscore)->GetChild("protocolError")) {
        WriteDbg("HiScore Protocol Error: %s", error->GetContent().c_str());
        return false;
    }
    return true;
}

bool ReadScoreList(const char* reply, TQmHiscoreTable* scores, int* accountIndex, str* message,
                   const std::atomic<bool>* stop)
{
    scores->rows.clear();
    *accountIndex = -1;
    TXmlNode holder;
    TXmlNode* hiscore = nullptr;
    if (!CheckHiscoreReply(reply, holder, &hiscore, message, stop))
        return false;
    TXmlNode* list = hiscore->GetChild("scores");
    if (!list) {
        WriteDbg("HiScores parsed incorrectly");
        return false;
    }
    forEachChild(list, "score", [&](TXmlNode* node) {
        TQmHiscoreRow row;
        row.name = node->GetAttribute("name");
        row.gameData = node->GetAttribute("data");
        row.serverData = node->GetAttribute("serverData");
        row.version = node->GetAttribute("ver");
        row.guid = node->GetAttribute("guid");
        row.anonymous = node->GetAttribute("anonymous") == str("true");
        row.score = decimal(node, "score");
        row.rank = decimal(node, "rank");
        if (*accountIndex < 0 && node->GetAttribute("account") == str("true"))
            *accountIndex = scores->Count();
        scores->rows.push_back(std::move(row));
    });
    return true;
}

bool ReadCategories(const char* reply, std::vector<TQmHiscoreCategory>* categories, str* message,
                    const std::atomic<bool>* stop)
{
    categories->clear();
    TXmlNode holder;
    TXmlNode* hiscore = nullptr;
    if (!CheckHiscoreReply(reply, holder, &hiscore, message, stop))
        return false;
    TXmlNode* tables = hiscore->GetChild("tables");
    if (!tables)
        return false;
    forEachChild(tables, "table", [&](TXmlNode* node) {
        categories->push_back({node->GetAttribute("table"), node->GetAttribute("name")});
    });
    return true;
}

bool ReadSubmitReply(const char* reply, bool* bestScore, str* message, const std::atomic<bool>* stop)
{
    TXmlNode holder;
    TXmlNode* hiscore = nullptr;
    if (!CheckHiscoreReply(reply, holder, &hiscore, message, stop))
        return false;
    // A reply may also award medals; it is a success like any other.
    *bestScore = hiscore->GetChild("score") != nullptr;
    return true;
}

void ReadHiscoreText(const char* text, std::map<str, TQmHiscoreUserInfo>* users,
                     std::map<str, TQmHiscoreTable>* tables)
{
    TXmlNode holder;
    holder.ParseString(text ? text : "");
    forEachChild(&holder, "user", [&](TXmlNode* node) {
        TQmHiscoreUserInfo user{node->GetAttribute("player"), node->GetAttribute("name"), node->GetAttribute("pass")};
        (*users)[user.player] = user;  // a later element for the same player wins
    });
    forEachChild(&holder, "score", [&](TXmlNode* element) {
        TQmHiscoreTable table;
        table.name = element->GetAttribute("name");
        forEachChild(element, "row", [&](TXmlNode* node) {
            TQmHiscoreRow row;
            row.rank = decimal(node, "rank");
            row.score = decimal(node, "score");
            row.submitted = decimal(node, "submit") > 0;
            row.guid = node->GetAttribute("guid");
            row.name = node->GetAttribute("name");
            row.gameData = node->GetAttribute("gameData");
            row.serverData = node->GetAttribute("serverData");
            row.version = node->GetAttribute("version");
            row.anonymous = true;
            table.rows.push_back(std::move(row));
        });
        (*tables)[table.name] = std::move(table);
    });
}

str WriteHiscoreText(const std::map<str, TQmHiscoreUserInfo>& users, const std::map<str, TQmHiscoreTable>& tables)
{
    // Gathered in a std::string, element by element and row by row: the XML
    // writer's cost grows with the square of what it writes into one str, and
    // a full table would otherwise hold up a frame.
    std::string text(kDeclaration);
    for (const auto& [player, user] : users) {
        TXmlNode element("user");
        element.SetAttribute("player", user.player.c_str());
        element.SetAttribute("name", user.name.c_str());
        element.SetAttribute("pass", user.password.c_str());
        text += element.AsString().c_str();
    }
    for (const auto& [type, table] : tables) {
        TXmlNode element("score");
        element.SetAttribute("name", table.name.c_str());
        // An element without children is written as its start tag and its end tag line.
        std::string shell = element.AsString().c_str();
        const std::string endTag = "</score>\n";
        text += shell.substr(0, shell.size() - endTag.size());
        for (const TQmHiscoreRow& row : table.rows) {
            TXmlNode node("row");
            node.SetAttribute("rank", row.rank);
            node.SetAttribute("score", row.score);
            node.SetAttribute("submit", row.submitted ? 1 : 0);
            const std::pair<const char*, const str*> texts[] = {
                {"guid", &row.guid},
                {"name", &row.name},
                {"gameData", &row.gameData},
                {"serverData", &row.serverData},
                {"version", &row.version},
            };
            for (const auto& [key, value] : texts) {
                if (value->length() > 0)
                    node.SetAttribute(key, value->c_str());
            }
            str rowText;
            int position = 0;
            node.AsString(&rowText, &position, 4);
            text += rowText.c_str();
        }
        text += endTag;
    }
    return str(text.c_str());
}

}  // namespace qm
