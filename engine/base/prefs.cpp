#include "engine/base/prefs.h"

#include "engine/base/base64.h"
#include "engine/base/debuglog.h"
#include "engine/base/encrypt.h"
#include "engine/base/folders.h"
#include "engine/base/ownership.h"
#include "engine/base/safefile.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr const char* kFileName = "/prefs.dat";
constexpr const char* kInstallKeyFile = "assets/install.txt";
constexpr const char* kMissingBinary = "=====";

// Without assets/install.txt an installation is known by the folder it runs
// in (the resource folder is the working directory).
str workingDirectory()
{
    char buffer[4096];
    if (!::getcwd(buffer, sizeof buffer))
        return str("unknown");
    return str(buffer);
}

bool hasSection(TXmlNode* document)
{
    return document->GetChild("install") != nullptr;
}

}  // namespace

TPrefs::TPrefs(str key, bool writable) : mKey(key), mWritable(writable)
{
    str folder = qm::UserDataDirectory();
    if (folder.length() > 0) {
        mPath = folder + str(kFileName);
    } else {
        WriteDbg("No user data folder: preferences will not be kept");
        mWritable = false;
    }
    mInstallKey = workingDirectory();
    LoadPrefs();
}

TPrefs::~TPrefs() = default;

// ---------------------------------------------------------------- file format

int TPrefs::Checksum(const char* text, int length)
{
    uint32_t sum = 0;
    for (int i = 0; i < length; ++i) {
        // Each byte as a signed number: 0x80-0xFF set every bit above their own.
        auto extended = static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(text[i])));
        sum ^= extended << (8 * (i % 4));
    }
    return static_cast<int32_t>(sum);
}

bool TPrefs::ReadDocument(const char* bytes, int length, const str& keyText, TXmlNode* document)
{
    if (keyText.length() == 0)
        return document->ParseBytes(bytes, length) == EXmlParse::kOk && hasSection(document);
    TXmlNode wrapper;
    if (wrapper.ParseBytes(bytes, length) != EXmlParse::kOk)
        return false;
    TXmlNode* data1 = wrapper.GetChild("data1");
    TXmlNode* data2 = wrapper.GetChild("data2");
    if (!data1 || !data2)
        return false;
    str plain = TEncrypt(keyText).DecryptStr(data1->GetAttribute("data"));
    if (plain.length() == 0)
        return false;
    str stored = data2->GetAttribute("data");
    char* end = nullptr;
    long long storedSum = std::strtoll(stored.c_str(), &end, 10);
    if (end == stored.c_str() || storedSum != Checksum(plain.c_str(), plain.length()))
        return false;
    return document->ParseString(plain.c_str()) == EXmlParse::kOk;
}

std::string TPrefs::WriteDocument(const TXmlNode& document, const str& keyText)
{
    str text = document.AsString();
    if (keyText.length() > 0) {
        TXmlNode wrapper;
        wrapper.CreateChild("data1")->SetAttribute("data", TEncrypt(keyText).EncryptStr(text).c_str());
        wrapper.CreateChild("data2")->SetAttribute("data", Checksum(text.c_str(), text.length()));
        text = wrapper.AsString();
    }
    return std::string(text.c_str(), static_cast<size_t>(text.length()) + 1);
}

// ---------------------------------------------------------------- loading and saving

void TPrefs::LoadPrefs()
{
    mDocument.Clear();
    mSection = nullptr;
    mFoundUnreadable = false;
    mFoundNotPermitted = false;
    mKeptAside = str();
    if (mWritable && mPath.length() > 0)
        qm::RemoveStaleTemporaries(mPath);
    if (mPath.length() > 0 && qm::PathExists(mPath)) {
        std::string bytes;
        qm::EFileProblem problem = qm::EFileProblem::kNone;
        const bool read = qm::ReadWholeFile(mPath, &bytes, kMaxFileBytes, &problem);
        const bool loaded = read && ReadDocument(bytes.data(), static_cast<int>(bytes.size()), mKey, &mDocument);
        if (problem == qm::EFileProblem::kNotPermitted) {
            // Not damaged: another user's (a game started as root leaves
            // such a file). Renamed or saved over, the player could never
            // get it back.
            mFoundNotPermitted = true;
            mWritable = false;
            WriteDbg("Preferences %s may not be opened by this user (it belongs to %s); it is left as it is and "
                     "nothing is saved",
                     mPath.c_str(), qm::OwnerName(mPath).c_str());
        } else if (!loaded) {
            mDocument.Clear();
            mFoundUnreadable = true;
            const std::string why =
                read ? "holds no preferences under this key" : qm::FileProblemText(problem, kMaxFileBytes);
            // Never overwrite what we cannot read: it may hold a player's progress.
            str aside = mWritable ? qm::KeepAside(mPath) : str();
            mKeptAside = aside;
            if (aside.length() > 0) {
                WriteDbg("Preferences %s cannot be read (it %s); kept as %s, starting afresh", mPath.c_str(),
                         why.c_str(), aside.c_str());
            } else {
                WriteDbg("Preferences %s cannot be read (it %s) and cannot be set aside; they will not be saved over",
                         mPath.c_str(), why.c_str());
                mWritable = false;
            }
        }
    }
    ChooseInstallKey();
    ChooseSection();
}

void TPrefs::ChooseInstallKey()
{
    std::FILE* file = std::fopen(kInstallKeyFile, "r");
    if (!file)
        return;  // the working directory stays the key
    std::string text;
    qm::ReadAndClose(file, &text);
    if (!text.empty()) {
        mInstallKey = str(text.c_str());
        return;
    }
    // An empty key file adopts the last section in the file, whatever its key.
    mDocument.ResetChildren();
    str name;
    TXmlNode* child;
    while (mDocument.GetNextChild(&name, &child))
        if (name == str("install"))
            mInstallKey = child->GetAttribute("qminstallkey");
}

void TPrefs::ChooseSection()
{
    mDocument.ResetChildren();
    str name;
    TXmlNode* child;
    while (mDocument.GetNextChild(&name, &child)) {
        if (name == str("install") && child->GetAttribute("qminstallkey") == mInstallKey) {
            mSection = child;
            return;
        }
    }
    mSection = mDocument.CreateChild("install");
    mSection->SetAttribute("qminstallkey", mInstallKey.c_str());
}

bool TPrefs::SavePrefs()
{
    if (!mWritable)
        return false;
    std::string bytes = WriteDocument(mDocument, mKey);
    errno = 0;
    const bool saved = qm::WriteFileReplacing(mPath, bytes.data(), bytes.size());
    mLastSaveError = saved ? 0 : (errno != 0 ? errno : EIO);
    return saved;
}

// ---------------------------------------------------------------- elements

TXmlNode* TPrefs::GlobalElement()
{
    TXmlNode* global = mSection->GetChild("global");
    return global ? global : mSection->CreateChild("global");
}

TXmlNode* TPrefs::UserElement(int user)
{
    if (user < 0)
        return nullptr;
    mSection->ResetChildren();
    str name;
    TXmlNode* child;
    int number = 0;
    while (mSection->GetNextChild(&name, &child))
        if (name == str("user") && number++ == user)
            return child;
    return nullptr;
}

TXmlNode* TPrefs::EnsureUser(int user)
{
    while (GetNumUsers() <= user)
        mSection->CreateChild("user");
    return UserElement(user);
}

int TPrefs::GetNumUsers()
{
    mSection->ResetChildren();
    str name;
    TXmlNode* child;
    int count = 0;
    while (mSection->GetNextChild(&name, &child))
        if (name == str("user"))
            ++count;
    return count;
}

void TPrefs::DeleteUser(int user)
{
    if (TXmlNode* element = UserElement(user))
        mSection->DeleteChild(element);
}

// ---------------------------------------------------------------- values

str TPrefs::GetStr(str name, str defaultValue, int user)
{
    TXmlNode* element = user < 0 ? GlobalElement() : UserElement(user);
    if (!element)
        return defaultValue;
    str value = element->GetAttribute(name.c_str());
    return value.length() > 0 ? value : defaultValue;
}

int TPrefs::GetInt(str name, int defaultValue, int user)
{
    return std::atoi(GetStr(name, str::getFormatted("%d", defaultValue), user).c_str());
}

int TPrefs::GetBinary(str name, void* buffer, int size, int user)
{
    str text = GetStr(name, str(kMissingBinary), user);
    if (text == str(kMissingBinary))
        return -1;
    auto length = static_cast<unsigned long>(text.length());
    std::vector<unsigned char> decoded(Base64DecodeGetLength(length));
    int count = static_cast<int>(Base64Decode(decoded.data(), text.c_str(), length));
    if (!buffer || count > size)
        return count;
    std::memcpy(buffer, decoded.data(), static_cast<size_t>(count));
    return 0;
}

void TPrefs::SetStr(str name, str value, int user, bool save)
{
    TXmlNode* element = user < 0 ? GlobalElement() : EnsureUser(user);
    element->SetAttribute(name.c_str(), value.c_str());
    if (save)
        SavePrefs();
}

void TPrefs::SetInt(str name, int value, int user, bool save)
{
    SetStr(name, str::getFormatted("%d", value), user, save);
}

void TPrefs::SetBinary(str name, const void* data, int size, int user, bool save)
{
    auto length = static_cast<unsigned long>(size > 0 ? size : 0);
    std::vector<char> text(Base64EncodeGetLength(length) + 1);
    unsigned long written = Base64Encode(text.data(), data, length);
    text[written] = 0;
    SetStr(name, str(text.data()), user, save);
}

// ---------------------------------------------------------------- whole players

str TPrefs::GetUserStr(int user)
{
    TXmlNode* element = UserElement(user);
    if (!element)
        return str("");
    str xml = element->AsString();
    auto length = static_cast<unsigned long>(xml.length()) + 1;  // with its NUL
    std::vector<char> text(Base64EncodeGetLength(length) + 1);
    unsigned long written = Base64Encode(text.data(), xml.c_str(), length);
    text[written] = 0;
    return str("\"") + str(text.data()) + str("\"");
}

void TPrefs::SetUserStr(int user, str text)
{
    TXmlNode* element = EnsureUser(user);
    if (!element)
        return;
    element->Clear();
    element->SetName("user");
    if (text[0] == '"') {
        int length = text.length();
        text = length >= 2 ? text.substr(1, length - 2) : str("");
    }
    auto length = static_cast<unsigned long>(text.length());
    std::vector<char> decoded(Base64DecodeGetLength(length) + 1);
    unsigned long count = Base64Decode(decoded.data(), text.c_str(), length);
    TXmlNode parsed;
    parsed.ParseBytes(decoded.data(), static_cast<int>(count));  // up to the first NUL
    if (TXmlNode* source = parsed.GetChild("user")) {
        source->ResetAttributes();
        str name, value;
        while (source->GetNextAttribute(&name, &value))
            element->SetAttribute(name.c_str(), value.c_str());
    }
    WriteDbg("%s", element->AsString().c_str());
}
