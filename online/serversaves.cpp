#include "online/serversaves.h"

#include "engine/base/debuglog.h"
#include "engine/base/xml.h"
#include "online/simplehttp.h"

namespace {

// The built-in server is a placeholder that resolves nowhere; the string
// "_debugsaveserver" names the real one.
const char kSaveGameServerUrl[] = "https://savegame.invalid/go/savegame";
const char kDebugServerLabel[] = "_debugsaveserver";
const char kProtocolVersion[] = "1.0";
const size_t kReplyLimit = 256u << 10;

TServerSaves::TStringLookup gLookup = nullptr;

enum EState { kNoRequest = 0, kGetSent = 1, kSetSent = 2 };

}  // namespace

class TServerSavesData {
public:
    int state = kNoRequest;
    str game;
    str version;
    str defaultError;
    str language;
    str serverUrl = kSaveGameServerUrl;
    TSimpleHttp http;

    void Begin(const char* action, const str& user, const str& password)
    {
        http.Init(serverUrl.c_str(), true, nullptr);
        // A saved profile is a few kilobytes; a larger reply is not one of ours
        // and would cost frames to read.
        http.SetReplyLimit(kReplyLimit);
        http.AddArg("lang", language.c_str());
        http.AddArg("ver", kProtocolVersion);
        http.AddArg("action", action);
        http.AddArg("game", game.c_str());
        http.AddArg("username", user.c_str());
        http.AddArg("password", password.c_str());
    }
};

void TServerSaves::SetStringLookup(TStringLookup lookup)
{
    gLookup = lookup;
}

TServerSaves::TServerSaves(str game, str version, str defaultError, str language)
    : mData(std::make_unique<TServerSavesData>())
{
    mData->game = game;
    mData->version = version;
    mData->defaultError = defaultError;
    mData->language = language;
    if (gLookup) {
        str debugServer = gLookup(kDebugServerLabel);
        if (debugServer.find(str("http")) >= 0)
            mData->serverUrl = debugServer;
    }
}

TServerSaves::~TServerSaves() = default;

void TServerSaves::SendData(str user, str password, str data)
{
    mData->Begin("set", user, password);
    mData->http.AddArg("data", data.c_str());
    mData->http.DoRequest(0);
    mData->state = kSetSent;
}

void TServerSaves::GetData(str user, str password)
{
    mData->Begin("get", user, password);
    mData->http.DoRequest(0);
    mData->state = kGetSent;
}

int TServerSaves::GetServerRequestStatus(str* out)
{
    TServerSavesData& d = *mData;
    if (d.state == kNoRequest) {
        WriteDbg("ERROR: Calling TServerSaves::GetServerRequestStatus without issuing a server request!");
        return kRequestFailed;
    }
    int status = d.http.GetStatus();
    if (status == TSimpleHttp::kRunning)
        return kRequestRunning;
    if (status != TSimpleHttp::kDone) {
        WriteDbg("ERROR: HTTP request failed!");
        if (out)
            *out = d.defaultError;
        d.state = kNoRequest;
        return kRequestFailed;
    }

    return qm::ReadSaveGameReply(d.http.GetContents(), d.defaultError, out);
}

namespace qm {

int ReadSaveGameReply(const char* reply, const str& defaultError, str* out)
{
    if (out)
        *out = defaultError;
    TXmlNode holder;
    holder.ParseString(reply ? reply : "");
    TXmlNode* savegame = holder.GetChild("savegame");
    if (!savegame)
        return TServerSaves::kRequestFailed;

    bool failed = false;
    str name;
    TXmlNode* child = nullptr;
    savegame->ResetChildren();
    while (savegame->GetNextChild(&name, &child)) {
        if (name == str("protocolError")) {
            WriteDbg("ERROR: TServerSaves - server says: %s", child->GetContent().c_str());
            failed = true;
        } else if (name == str("message")) {
            if (out)
                *out = child->GetContent();
            failed = true;
        }
    }
    if (failed)
        return TServerSaves::kRequestFailed;
    if (out) {
        *out = str("");
        if (TXmlNode* data = savegame->GetChild("data"))
            *out = data->GetContent();
    }
    return TServerSaves::kRequestDone;
}

}  // namespace qm
