#include "online/hiscores.h"

#include "engine/base/debuglog.h"
#include "engine/base/encrypt.h"
#include "engine/base/folders.h"
#include "engine/base/safefile.h"
#include "engine/base/xml.h"
#include "online/hiscorefile.h"
#include "online/hiscorereply.h"
#include "online/hiscoretable.h"
#include "online/machineid.h"
#include "online/replyparse.h"
#include "online/simplehttp.h"
#include "online/xmltext.h"

#include <cerrno>
#include <cstdio>
#include <map>
#include <memory>
#include <vector>

namespace {

// The built-in server is a placeholder that resolves nowhere;
// "hiscoreserver.txt" in the working folder names the real one.
const char kHiscoreServerUrl[] = "http://hiscore.invalid/go/hiscore";
const char kDefaultLanguage[] = "en";
const char kHiscorePrefFile[] = "hiscore.dat";
const char kHiscoreSettingsFile[] = "hiscore.xml";
const char kDebugServerFile[] = "hiscoreserver.txt";
const char kProtocolVersion[] = "1.0";
const int kScoresPerRequest = 500;
// A list of 500 scores is some tens of kilobytes; anything beyond this is not
// a reply of ours and is refused before it takes memory or time. Every
// request to the hiscore server, a submission too, is held to it.
const size_t kReplyLimit = 1u << 20;

const char kUnableToConnect[] = "Unable to connect to server. Please try again later.";
const char kGameModeInvalid[] = "Score request failed because game mode is not valid";
const char kNoCategories[] = "Score request failed because no category information has been received yet";

enum ERequestKind {
    kSubmit = qm::THiscoreReply::kSubmit,
    kGetScores = qm::THiscoreReply::kGetScores,
    kGetCategories = qm::THiscoreReply::kGetCategories,
};

bool isEmpty(const char* text)
{
    return !text || !text[0];
}

}  // namespace

class TQmHiscoresData {
public:
    str game;
    str keyText;
    str language = kDefaultLanguage;
    str version;
    str userName;
    str tableType;
    int requestKind = kSubmit;
    TSimpleHttp http;
    std::vector<TQmHiscoreCategory> categories;
    str serverUrl = kHiscoreServerUrl;
    str message;
    str reply;
    str prefsPath;
    str loginName;
    TQmHiscoreTable downloaded;
    int accountIndex = -1;
    std::map<str, TQmHiscoreTable> localTables;
    std::map<str, TQmHiscoreUserInfo> rememberedUsers;
    str submitTable;  // table type of the last submission
    bool languageFixed = false;
    str defaultError;
    std::unique_ptr<TEncrypt> cipher;
    bool saveEnabled = false;
    bool foundUnreadable = false;
    bool foundNotPermitted = false;
    str keptAside;
    int lastSaveError = 0;  // errno of the last save tried, 0 when it succeeded
    qm::TReplyReader reader;  // the last reply, read apart from the frame when large

    TQmHiscoreTable* CurrentTable()
    {
        auto found = localTables.find(tableType);
        return found == localTables.end() ? nullptr : &found->second;
    }

    // A new GET to the server with the arguments every query starts with.
    void BeginQuery(const char* action);
    void StartRequest(int kind);
    void LoadPreferences();
    void SavePreferences();
    void ReadSettings();
    void CopyFailureText(char* buffer, int length);
    int TakeReply(qm::THiscoreReply& reply, char* buffer, int length, bool* bestScore);
    str SubmissionText(const TQmHiscoreRow& row, const char* name, const char* password);
};

// --- hiscore.dat --------------------------------------------------------------

void TQmHiscoresData::BeginQuery(const char* action)
{
    http.Init(serverUrl.c_str(), false, nullptr);
    http.SetReplyLimit(kReplyLimit);
    http.AddArg("lang", language.c_str());
    http.AddArg("ver", kProtocolVersion);
    http.AddArg("action", action);
    http.AddArg("game", game.c_str());
}

void TQmHiscoresData::LoadPreferences()
{
    if (saveEnabled)
        qm::RemoveStaleTemporaries(prefsPath);
    str text;
    switch (qm::ReadHiscoreFile(prefsPath, *cipher, &text, &keptAside)) {
    case qm::EHiscoreFile::kRead:
        qm::ReadHiscoreText(text.c_str(), &rememberedUsers, &localTables);
        break;
    case qm::EHiscoreFile::kRejected:
        foundUnreadable = true;
        // A file that could not be set aside is never saved over.
        if (keptAside.length() == 0)
            saveEnabled = false;
        break;
    case qm::EHiscoreFile::kNotPermitted:
        foundNotPermitted = true;
        saveEnabled = false;
        break;
    case qm::EHiscoreFile::kMissing:
        break;
    }
}

void TQmHiscoresData::SavePreferences()
{
    if (!saveEnabled)
        return;
    errno = 0;
    if (qm::WriteHiscoreFile(prefsPath, qm::WriteHiscoreText(rememberedUsers, localTables), *cipher)) {
        lastSaveError = 0;
        return;
    }
    lastSaveError = errno != 0 ? errno : EIO;
    WriteDbg("HiScores: could not write %s", prefsPath.c_str());
}

void TQmHiscoresData::ReadSettings()
{
    TXmlNode settings;
    // The file is optional; one that is there but damaged is named.
    const EXmlParse result = settings.ParseFile((str("./") + str(kHiscoreSettingsFile)).c_str());
    if (result != EXmlParse::kOk && result != EXmlParse::kUnreadable)
        WriteDbg("HiScores: %s %s; the built-in settings are used", kHiscoreSettingsFile, XmlParseProblem(result));
    if (TXmlNode* hiscore = settings.GetChild("hiscore")) {
        if (TXmlNode* fixed = hiscore->GetChild("language")) {
            language = fixed->GetContent();
            languageFixed = true;
        }
        if (TXmlNode* error = hiscore->GetChild("defaulterror"))
            defaultError = error->GetContent();
    }

    if (std::FILE* file = std::fopen((str("./") + str(kDebugServerFile)).c_str(), "r")) {
        char line[512] = {};
        if (std::fgets(line, sizeof line, file)) {
            // The line break (and any stray white space) must not reach the request line.
            str url = qm::TrimRight(line);
            if (url.length() > 0)
                serverUrl = url;
        }
        std::fclose(file);
    }
}

// --- server requests ------------------------------------------------------------

void TQmHiscoresData::StartRequest(int kind)
{
    reader.Drop();
    http.DoRequest(0);
    requestKind = kind;
}

void TQmHiscoresData::CopyFailureText(char* buffer, int length)
{
    const char* text = message.length() > 0        ? message.c_str()
                       : defaultError.length() > 0 ? defaultError.c_str()
                                                   : kUnableToConnect;
    qm::CopyText(buffer, length, text);
}

str TQmHiscoresData::SubmissionText(const TQmHiscoreRow& row, const char* name, const char* password)
{
    TXmlNode element("score");
    element.SetAttribute("guid", row.guid.c_str());
    if (name)
        element.SetAttribute("name", name);
    if (!isEmpty(password)) {
        element.SetAttribute("password", password);
        loginName = name;
    } else {
        loginName = str();
    }
    element.SetAttribute("type", tableType.c_str());
    if (game.length() > 0)
        element.SetAttribute("game", game.c_str());
    element.SetAttribute("score", row.score);
    if (row.gameData.length() > 0)
        element.SetAttribute("data", row.gameData.c_str());
    if (row.version.length() > 0)
        element.SetAttribute("ver", row.version.c_str());

    str text = str("<?xml version=\"1.0\"?>\n") + element.AsString();
    if (row.serverData.length() > 0) {
        // The row's extra XML goes inside the element, just before its end tag.
        int end = text.find(str("</score>"));
        if (end >= 0)
            text.erase(end);
        text += row.serverData + str("</score>");
    }
    return text;
}

int TQmHiscoresData::TakeReply(qm::THiscoreReply& parsed, char* buffer, int length, bool* bestScore)
{
    reply = parsed.text.c_str();
    message = parsed.message;
    switch (parsed.kind) {
    case kGetScores:
        downloaded = std::move(parsed.scores);
        accountIndex = parsed.accountIndex;
        if (parsed.ok)
            return TQmHiscores::kRequestDone;
        if (reply.find(str("Missing required parameter: type")) >= 0)
            message = kGameModeInvalid;
        else if (categories.empty())
            message = kNoCategories;
        CopyFailureText(buffer, length);
        return TQmHiscores::kRequestFailed;

    case kGetCategories:
        categories = std::move(parsed.categories);
        if (parsed.ok)
            return TQmHiscores::kRequestDone;
        CopyFailureText(buffer, length);
        return TQmHiscores::kRequestFailed;

    case kSubmit:
        if (parsed.ok) {
            auto table = localTables.find(submitTable);
            if (table != localTables.end()) {
                for (TQmHiscoreRow& row : table->second.rows) {
                    if (row.name == userName)
                        row.submitted = true;
                }
            }
            SavePreferences();
            if (bestScore)
                *bestScore = parsed.bestScore;
            return TQmHiscores::kRequestDone;
        }
        CopyFailureText(buffer, length);
        if (reply.find(str("hiscore.error.invalidUsernameOrPassword")) >= 0 && rememberedUsers.erase(userName) > 0) {
            // Forgotten for good: a restart must not bring the bad login back.
            SavePreferences();
        }
        return TQmHiscores::kRequestFailed;
    }
    return TQmHiscores::kRequestDone;
}

// --- TQmHiscores ----------------------------------------------------------------

TQmHiscores::TQmHiscores(const char* game, const char* keyText, const char* version, bool saveEnabled)
    : mData(std::make_unique<TQmHiscoresData>())
{
    TQmHiscoresData& d = *mData;
    if (game)
        d.game = game;
    d.keyText = keyText;
    if (version)
        d.version = version;
    d.saveEnabled = saveEnabled;
    d.cipher = std::make_unique<TEncrypt>(d.keyText);
    str folder = qm::UserDataDirectory();
    if (folder.length() > 0) {
        d.prefsPath = folder + str("/") + str(kHiscorePrefFile);
        d.LoadPreferences();
    } else {
        // Never fall back to a path relative to somewhere unknown.
        WriteDbg("HiScores: no user data folder; scores are not kept");
        d.saveEnabled = false;
    }
    d.ReadSettings();
}

TQmHiscores::~TQmHiscores() = default;

bool TQmHiscores::FoundUnreadableFile() const { return mData->foundUnreadable; }

str TQmHiscores::GetKeptAside() const { return mData->keptAside; }

bool TQmHiscores::FoundFileNotPermitted() const { return mData->foundNotPermitted; }

str TQmHiscores::GetFilePath() const { return mData->prefsPath; }

int TQmHiscores::GetLastSaveError() const { return mData->lastSaveError; }

void TQmHiscores::SaveAgainIfFailed()
{
    if (mData->lastSaveError != 0)
        mData->SavePreferences();
}

void TQmHiscores::SetProperty(EProperty property, const char* value)
{
    TQmHiscoresData& d = *mData;
    switch (property) {
    case kLanguage:
        if (!d.languageFixed)
            d.language = value;
        break;
    case kUserName:
        d.userName = value;
        d.loginName = str();
        break;
    case kTableType:
        d.tableType = value;
        break;
    }
}

void TQmHiscores::RequestCategoryInformation()
{
    TQmHiscoresData& d = *mData;
    d.BeginQuery("tables");
    d.StartRequest(kGetCategories);
}

int TQmHiscores::GetCategoryCount()
{
    return static_cast<int>(mData->categories.size());
}

bool TQmHiscores::GetCategoryName(int i, char* buffer, int length)
{
    if (!buffer || i < 0 || i >= GetCategoryCount())
        return false;
    qm::CopyText(buffer, length, mData->categories[static_cast<size_t>(i)].name.c_str());
    return true;
}

void TQmHiscores::RequestScores(int category)
{
    TQmHiscoresData& d = *mData;
    d.BeginQuery("get");
    d.http.AddArg("type", d.tableType.c_str());
    if (category >= 0 && category < GetCategoryCount())
        d.http.AddArg("table", d.categories[static_cast<size_t>(category)].table.c_str());
    d.http.AddArg("numScores", kScoresPerRequest);
    if (d.loginName.length() > 0)
        d.http.AddArg("username", d.loginName.c_str());
    d.StartRequest(kGetScores);
}

bool TQmHiscores::SubmitScore(const char* name, const char* password, bool remember)
{
    TQmHiscoresData& d = *mData;
    TQmHiscoreTable* table = d.CurrentTable();
    if (!table)
        return false;
    const TQmHiscoreRow* chosen = nullptr;
    for (const TQmHiscoreRow& row : table->rows) {
        if (row.name == d.userName && !row.submitted) {
            chosen = &row;
            break;
        }
    }
    if (!chosen)
        return false;
    d.submitTable = d.tableType;

    str text = d.SubmissionText(*chosen, name, password);
    int needed = d.cipher->EncryptBinary(text.c_str(), text.length(), nullptr, 0, true);
    std::vector<char> payload(static_cast<size_t>(needed > 0 ? needed : 0) + 1, 0);
    if (needed <= 0 || d.cipher->EncryptBinary(text.c_str(), text.length(), payload.data(), needed, true) != 0) {
        WriteDbg("HiScores: could not encipher the submission");
        return false;
    }

    if (remember) {
        TQmHiscoreUserInfo& user = d.rememberedUsers[d.userName];
        user.player = d.userName;
        user.name = name;
        user.password = password;
    } else {
        d.rememberedUsers.erase(d.userName);
    }

    d.http.Init(d.serverUrl.c_str(), false, nullptr);
    d.http.SetReplyLimit(kReplyLimit);
    d.http.AddArg("lang", d.language.c_str());
    d.http.AddArg("ver", kProtocolVersion);
    d.http.AddArg("game", d.game.c_str());
    d.http.AddArg("action", "submit");
    d.http.AddArg("score", payload.data());
    d.StartRequest(kSubmit);
    return true;
}

int TQmHiscores::GetServerRequestStatus(char* buffer, int length, bool* bestScore)
{
    TQmHiscoresData& d = *mData;
    int status = d.http.GetStatus();
    if (status == TSimpleHttp::kRunning)
        return kRequestRunning;
    if (status != TSimpleHttp::kDone) {
        qm::CopyText(buffer, length, d.defaultError.length() > 0 ? d.defaultError.c_str() : kUnableToConnect);
        return kRequestFailed;
    }
    if (!d.reader.Busy())
        d.reader.Start(d.requestKind, d.http.GetContents());
    std::unique_ptr<qm::THiscoreReply> reply = d.reader.Take();
    if (!reply)
        return kRequestRunning;  // a large reply is still being read
    return d.TakeReply(*reply, buffer, length, bestScore);
}

void TQmHiscores::LogScore(int score, const char* gameData, const char* serverData, bool onePerUser)
{
    TQmHiscoresData& d = *mData;
    TQmHiscoreRow row;
    row.rank = 1;
    row.score = score;
    row.name = d.userName;
    row.gameData = gameData;
    row.serverData = serverData;
    row.version = d.version;
    row.anonymous = true;
    row.submitted = false;
    row.guid = qmGenerateGUIDStr();

    auto found = d.localTables.find(d.tableType);
    if (found == d.localTables.end()) {
        TQmHiscoreTable& table = d.localTables[d.tableType];
        table.name = d.tableType;
        table.rows.push_back(row);
    } else {
        qm::InsertScore(found->second, row, onePerUser);
    }
    d.SavePreferences();
}

int TQmHiscores::GetScoreCount(bool local)
{
    if (!local)
        return mData->downloaded.Count();
    TQmHiscoreTable* table = mData->CurrentTable();
    return table ? table->Count() : 0;
}

bool TQmHiscores::GetScore(bool local, int i, int* rank, char* name, int nameLength, bool* anonymous, int* score,
                           char* gameData, int gameDataLength)
{
    TQmHiscoreTable* table = local ? mData->CurrentTable() : &mData->downloaded;
    if (!table || i < 0 || i >= table->Count())
        return false;
    const TQmHiscoreRow& row = table->rows[static_cast<size_t>(i)];
    if (rank)
        *rank = row.rank;
    qm::CopyText(name, nameLength, row.name.c_str());
    if (anonymous)
        *anonymous = row.anonymous;
    if (score)
        *score = row.score;
    qm::CopyText(gameData, gameDataLength, row.gameData.c_str());
    return true;
}

bool TQmHiscores::GetUserBestScore(EUserScore which, int* score, int* rank, char* gameData, int length)
{
    TQmHiscoresData& d = *mData;
    auto output = [&](const TQmHiscoreRow& row) {
        if (score)
            *score = row.score;
        if (rank)
            *rank = row.rank;
        qm::CopyText(gameData, length, row.gameData.c_str());
        return true;
    };

    if (which == kEligibleScore) {
        if (TQmHiscoreTable* table = d.CurrentTable()) {
            for (const TQmHiscoreRow& row : table->rows) {
                if (row.name == d.userName && !row.submitted)
                    return output(row);
            }
        }
        return false;
    }
    if (which != kGlobalScore)
        return false;

    if (d.accountIndex >= 0 && d.accountIndex < d.downloaded.Count())
        return output(d.downloaded.rows[static_cast<size_t>(d.accountIndex)]);
    str wanted = d.userName;
    if (auto user = d.rememberedUsers.find(d.userName); user != d.rememberedUsers.end())
        wanted = user->second.name;
    else if (d.loginName.length() > 0)
        wanted = d.loginName;
    TQmHiscoreTable* table = d.CurrentTable();
    if (!table || d.downloaded.rows.empty())
        return false;
    // A downloaded row is the player's when its GUID is one of the local rows
    // that could have produced it (those scoring at least as much).
    for (const TQmHiscoreRow& remote : d.downloaded.rows) {
        if (remote.name != wanted)
            continue;
        for (const TQmHiscoreRow& local : table->rows) {
            if (local.guid == remote.guid)
                return output(remote);
            if (local.score < remote.score)
                break;
        }
    }
    return false;
}

bool TQmHiscores::GetRememberedUserInfo(char* name, int nameLength, char* password, int passwordLength)
{
    auto user = mData->rememberedUsers.find(mData->userName);
    if (user == mData->rememberedUsers.end())
        return false;
    qm::CopyText(name, nameLength, user->second.name.c_str());
    qm::CopyText(password, passwordLength, user->second.password.c_str());
    return true;
}

void TQmHiscores::SetRememberedUserInfo(const char* name, const char* password)
{
    TQmHiscoresData& d = *mData;
    if (isEmpty(name) || isEmpty(password)) {
        d.rememberedUsers.erase(d.userName);
    } else {
        TQmHiscoreUserInfo& user = d.rememberedUsers[d.userName];
        user.player = d.userName;
        user.name = name;
        user.password = password;
    }
    d.SavePreferences();
}
