#include "fake_servers.h"

#include "engine/base/encrypt.h"
#include "engine/base/xml.h"

#include <algorithm>
#include <vector>

namespace {

using Args = std::map<std::string, std::string>;

std::string attr(const char* name, const std::string& value)
{
    return std::string(" ") + name + "=\"" + xmlSafeString(value.c_str()).c_str() + "\"";
}

std::string element(const char* root, const std::string& inner)
{
    return std::string("<?xml version=\"1.0\"?>\n<") + root + ">" + inner + "</" + root + ">\n";
}

std::string textElement(const char* name, const std::string& text)
{
    return std::string("<") + name + ">" + xmlSafeString(text.c_str()).c_str() + "</" + name + ">";
}

// The first required parameter that is missing or empty, or "".
std::string missing(const Args& args, std::initializer_list<const char*> names)
{
    for (const char* name : names) {
        auto found = args.find(name);
        if (found == args.end() || found->second.empty())
            return name;
    }
    return "";
}

void collectMedals(TXmlNode* node, std::vector<std::string>* medals)
{
    str name;
    TXmlNode* child = nullptr;
    node->ResetChildren();
    while (node->GetNextChild(&name, &child)) {
        if (name == str("medal"))
            medals->push_back(child->GetAttribute("name").c_str());
        collectMedals(child, medals);
    }
}

}  // namespace

TFakeGameServers::TFakeGameServers(const char* keyText, const TTestCertificate* tls)
    : mCipher(std::make_unique<TEncrypt>(str(keyText))),
      mServer([this](const TLoopbackRequest& request) { return Handle(request); }, tls)
{
}

TFakeGameServers::~TFakeGameServers() = default;

void TFakeGameServers::AddAccount(const std::string& name, const std::string& password)
{
    std::lock_guard<std::mutex> guard(mLock);
    mAccounts[name] = password;
}

void TFakeGameServers::AddScore(const TFakeScore& score)
{
    std::lock_guard<std::mutex> guard(mLock);
    mScores.push_back(score);
}

void TFakeGameServers::SetSilent(bool silent)
{
    std::lock_guard<std::mutex> guard(mLock);
    mSilent = silent;
}

void TFakeGameServers::RefuseName(const std::string& name, const std::string& message)
{
    std::lock_guard<std::mutex> guard(mLock);
    mRefusals[name] = message;
}

std::vector<TFakeSubmission> TFakeGameServers::Submissions() const
{
    std::lock_guard<std::mutex> guard(mLock);
    return mSubmissions;
}

TLoopbackReply TFakeGameServers::Handle(const TLoopbackRequest& request)
{
    std::lock_guard<std::mutex> guard(mLock);
    TLoopbackReply reply;
    if (mSilent) {
        reply.silent = true;
    } else if (request.path == "/go/hiscore" && request.method == "GET") {
        reply.body = Hiscore(ParseFormArgs(request.query));
    } else if (request.path == "/go/savegame" && request.method == "POST" &&
               request.headers.count("content-type") &&
               request.headers.at("content-type") == "application/x-www-form-urlencoded") {
        reply.body = SaveGame(ParseFormArgs(request.body));
    } else {
        reply.code = 404;
        reply.contentType = "text/html";
        reply.body = "<html><body>Not found</body></html>";
    }
    return reply;
}

std::string TFakeGameServers::Hiscore(const Args& args)
{
    if (std::string name = missing(args, {"lang", "ver", "action", "game"}); !name.empty())
        return element("hiscore", textElement("protocolError", "Missing required parameter: " + name));
    const std::string& action = args.at("action");
    if (action == "tables") {
        return element("hiscore", "<tables><table table=\"career\" name=\"Career\"></table>"
                                  "<table table=\"weekly\" name=\"This week\"></table></tables>");
    }
    if (action == "get")
        return Scores(args);
    if (action == "submit")
        return Submit(args);
    return element("hiscore", textElement("protocolError", "Unknown action: " + action));
}

std::string TFakeGameServers::Scores(const Args& args)
{
    if (std::string name = missing(args, {"type", "numScores"}); !name.empty())
        return element("hiscore", textElement("protocolError", "Missing required parameter: " + name));
    std::vector<TFakeScore> rows;
    for (const TFakeScore& score : mScores) {
        if (score.type == args.at("type") && (!args.count("table") || score.table.empty() || score.table == args.at("table")))
            rows.push_back(score);
    }
    std::stable_sort(rows.begin(), rows.end(), [](const TFakeScore& a, const TFakeScore& b) { return a.score > b.score; });
    rows.resize(std::min<size_t>(rows.size(), static_cast<size_t>(std::stoi(args.at("numScores")))));
    std::string account = args.count("username") ? args.at("username") : "";
    bool marked = false;
    std::string inner = "<scores>";
    for (size_t i = 0; i < rows.size(); ++i) {
        bool mine = !marked && !account.empty() && rows[i].name == account;
        marked = marked || mine;
        inner += "<score" + attr("rank", std::to_string(i + 1)) + attr("score", std::to_string(rows[i].score)) +
                 attr("name", rows[i].name) + attr("data", rows[i].data) + attr("ver", rows[i].ver) +
                 attr("guid", rows[i].guid) + attr("anonymous", "false") + (mine ? attr("account", "true") : "") +
                 "></score>";
    }
    return element("hiscore", inner + "</scores>");
}

std::string TFakeGameServers::Submit(const Args& args)
{
    if (std::string name = missing(args, {"score"}); !name.empty())
        return element("hiscore", textElement("protocolError", "Missing required parameter: " + name));
    str text = mCipher->DecryptStr(str(args.at("score").c_str()));
    TFakeSubmission submission;
    submission.text = text.c_str();
    TXmlNode document;
    document.ParseString(text.c_str());
    TXmlNode* score = document.GetChild("score");
    if (!score)
        return element("hiscore", textElement("protocolError", "Score could not be read"));
    str key, value;
    score->ResetAttributes();
    while (score->GetNextAttribute(&key, &value))
        submission.score[key.c_str()] = value.c_str();
    collectMedals(score, &submission.medals);
    mSubmissions.push_back(submission);

    const std::string name = submission.score["name"];
    if (auto refusal = mRefusals.find(name); refusal != mRefusals.end())
        return element("hiscore", textElement("message", refusal->second));
    if (submission.score.count("password")) {
        auto account = mAccounts.find(name);
        if (account == mAccounts.end() || account->second != submission.score["password"])
            return element("hiscore", textElement("message", "hiscore.error.invalidUsernameOrPassword"));
    }

    TFakeScore row;
    row.name = name;
    row.type = submission.score["type"];
    row.guid = submission.score["guid"];
    row.data = submission.score["data"];
    row.ver = submission.score["ver"];
    row.score = std::atoi(submission.score["score"].c_str());
    int previousBest = -1;
    for (const TFakeScore& other : mScores) {
        if (other.name == name && other.type == row.type)
            previousBest = std::max(previousBest, other.score);
    }
    mScores.push_back(row);
    std::string inner;
    if (row.score > previousBest) {
        int rank = 1;
        for (const TFakeScore& other : mScores)
            rank += other.type == row.type && other.score > row.score;
        inner += "<score" + attr("rank", std::to_string(rank)) + "></score>";
    }
    if (!submission.medals.empty()) {
        inner += "<medals>";
        for (const std::string& medal : submission.medals)
            inner += "<medal" + attr("name", medal) + "></medal>";
        inner += "</medals>";
    }
    return element("hiscore", inner);
}

std::string TFakeGameServers::SaveGame(const Args& args)
{
    if (std::string name = missing(args, {"lang", "ver", "action", "game", "username", "password"}); !name.empty())
        return element("savegame", textElement("protocolError", "Missing required parameter: " + name));
    auto account = mAccounts.find(args.at("username"));
    if (account == mAccounts.end() || account->second != args.at("password"))
        return element("savegame", textElement("message", "The user name or password is not valid."));
    const std::string key = args.at("game") + "/" + args.at("username");
    if (args.at("action") == "set") {
        if (!args.count("data"))
            return element("savegame", textElement("protocolError", "Missing required parameter: data"));
        mSaves[key] = args.at("data");
        return element("savegame", "");
    }
    if (args.at("action") == "get") {
        auto saved = mSaves.find(key);
        // Quoted, the engine's XML reader keeps the text exactly (Base64 "=" included).
        return element("savegame", saved == mSaves.end() ? "" : "<data>\"" + std::string(xmlSafeString(saved->second.c_str()).c_str()) + "\"</data>");
    }
    return element("savegame", textElement("protocolError", "Unknown action: " + args.at("action")));
}
