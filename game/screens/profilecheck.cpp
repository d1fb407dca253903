#include "game/screens/profilecheck.h"

#include "engine/base/base64.h"
#include "engine/base/xml.h"

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

namespace screens {

namespace {

// A profile is a few kilobytes; anything far larger is not one.
constexpr int kLargestProfileText = 64 * 1024;
constexpr int kLongestText = 256;
constexpr int kOutfitSlots = 5;

enum EKind { kText, kNumber, kBinary };

struct TKeyRule {
    const char* key;
    EKind kind;
    int low;   // numbers: least value; binary: exact decoded size
    int high;  // numbers: greatest value
};

const TKeyRule kRules[] = {
    {"name", kText, 0, 0},
    {"version", kText, 0, 0},
    {"soundlevel", kNumber, 0, 1000},
    {"musiclevel", kNumber, 0, 1000},
    {"environmentlevel", kNumber, 0, 1000},
    {"soundoff", kNumber, 0, 1},
    {"levelsunlocked", kNumber, 0, 60},
    {"bonuslevelsunlocked", kNumber, 0, 60},
    {"lastlevel", kNumber, 0, 59},
    {"careercash", kNumber, 0, 2000000000},
    {"beatgame", kNumber, 0, 1},
    {"beatbounsgame", kNumber, 0, 1},
    {"endlesstutorial", kNumber, 0, 1000000},
    {"quessasclosettip", kNumber, 0, 1},
    {"upgradetip", kNumber, 0, 1},
    {"bonusdialog", kNumber, 0, 1},
    {"serversavesetting", kNumber, 0, 3},
    {"serversavetipsetting", kNumber, 0, 1},
    {"levelscores", kBinary, 240, 0},
    {"levelexperts", kBinary, 60, 0},
    {"decorupgrades", kBinary, 240, 0},
};

bool Fail(str* why, const std::string& text)
{
    if (why)
        *why = str(text.c_str());
    return false;
}

bool IsOutfitKey(const std::string& key)
{
    for (int slot = 0; slot < kOutfitSlots; ++slot)
        for (const char* part : {"name", "color"})
            if (key == "clothing_" + std::to_string(slot) + "_" + part)
                return true;
    return false;
}

bool IsDecimal(const std::string& value, int low, int high)
{
    if (value.empty() || value.size() > 11)
        return false;
    size_t i = value[0] == '-' ? 1 : 0;
    if (i == value.size())
        return false;
    for (size_t k = i; k < value.size(); ++k)
        if (value[k] < '0' || value[k] > '9')
            return false;
    const long long number = std::stoll(value);
    return number >= low && number <= high;
}

bool IsPlainText(const std::string& value)
{
    if (value.size() > size_t(kLongestText))
        return false;
    for (unsigned char c : value)
        if (c < 0x20 || c == 0x7F || c == '<' || c == '>')
            return false;
    return true;
}

std::vector<char> DecodeBase64(const std::string& text)
{
    std::vector<char> bytes(Base64DecodeGetLength(text.size()) + 1);
    const unsigned long count = Base64Decode(bytes.data(), text.c_str(), text.size());
    bytes.resize(count);
    return bytes;
}

bool IsBase64(const std::string& text)
{
    for (char c : text)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '/' && c != '=')
            return false;
    return !text.empty() && text.size() % 4 == 0;
}

bool CheckValue(const std::string& key, const std::string& value, str* why)
{
    if (IsOutfitKey(key))
        return IsPlainText(value) || Fail(why, "bad text for " + key);
    for (const TKeyRule& rule : kRules) {
        if (key != rule.key)
            continue;
        switch (rule.kind) {
        case kText:
            return IsPlainText(value) || Fail(why, "bad text for " + key);
        case kNumber:
            return IsDecimal(value, rule.low, rule.high) || Fail(why, "bad number for " + key);
        case kBinary:
            return (IsBase64(value) && DecodeBase64(value).size() == size_t(rule.low)) ||
                   Fail(why, "bad data for " + key);
        }
    }
    return Fail(why, "unknown key " + key);
}

}  // namespace

bool IsValidDownloadedProfile(const str& text, str* why)
{
    std::string body(text.c_str());
    if (body.size() > size_t(kLargestProfileText))
        return Fail(why, "too large");
    // The transport form is quoted; the server may hand it back without.
    if (body.size() >= 2 && body.front() == '"' && body.back() == '"')
        body = body.substr(1, body.size() - 2);
    if (!IsBase64(body))
        return Fail(why, "not Base64");
    std::vector<char> xml = DecodeBase64(body);
    // The writer's text ends with its NUL; nothing may hide after it.
    while (!xml.empty() && xml.back() == 0)
        xml.pop_back();
    if (std::memchr(xml.data(), 0, xml.size()))
        return Fail(why, "binary content");
    TXmlNode document;
    document.ParseBytes(xml.data(), static_cast<int>(xml.size()));
    TXmlNode* user = document.GetChild("user");
    if (!user || document.CountChildren() != 1 || user->HasChildren())
        return Fail(why, "not one user element");
    str key, value;
    bool named = false;
    user->ResetAttributes();
    while (user->GetNextAttribute(&key, &value)) {
        if (!CheckValue(key.c_str(), value.c_str(), why))
            return false;
        named = named || (std::string(key.c_str()) == "name" && value.length() > 0);
    }
    return named || Fail(why, "no name");
}

}  // namespace screens
