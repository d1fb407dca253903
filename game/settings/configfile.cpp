#include "game/settings/configfile.h"

#include "engine/base/asset.h"
#include "engine/base/debuglog.h"
#include "engine/base/encrypt.h"
#include "engine/base/encryptionkey.h"
#include "engine/base/safefile.h"
#include "engine/base/xml.h"

#include <string>

namespace game {

EConfigText ReadConfigText(const str& path, str* text)
{
    std::string bytes;
    if (qm::ReadWholeFile(path, &bytes)) {
        *text = str(bytes.c_str());
        return EConfigText::kRead;
    }
    // "level.xml" is shipped as "level.bin": the same name, enciphered.
    const std::string plainPath = path.c_str();
    const std::string binPath = plainPath.substr(0, plainPath.size() < 3 ? 0 : plainPath.size() - 3) + "bin";
    if (!qm::ReadWholeFile(str(binPath.c_str()), &bytes)) {
        *text = str();
        return EConfigText::kMissing;
    }
    *text = TEncrypt(str(ENCRYPTION_KEY)).DecryptStr(str(bytes.c_str()));
    return text->length() == 0 && !bytes.empty() ? EConfigText::kUndecipherable : EConfigText::kRead;
}

void ReportBadDataFile(const str& path, const char* problem, const char* consequence)
{
    if (TAssetManager::FirstReportOf(str("data:") + path))
        WriteDbg("%s %s; %s", path.c_str(), problem, consequence);
}

str ReadConfigXmlText(const str& path, const char* root, const char* consequence)
{
    str text;
    switch (ReadConfigText(path, &text)) {
    case EConfigText::kMissing:
        ReportBadDataFile(path, "is missing", consequence);
        return str();
    case EConfigText::kUndecipherable:
        ReportBadDataFile(path, "could not be deciphered", consequence);
        return str();
    case EConfigText::kRead:
        break;
    }
    TXmlNode parsed;
    const EXmlParse result = parsed.ParseString(text.c_str());
    if (result != EXmlParse::kOk) {
        ReportBadDataFile(path, XmlParseProblem(result), consequence);
        return str();
    }
    if (root && !parsed.GetChild(root)) {
        const std::string problem = std::string("has no <") + root + "> element";
        ReportBadDataFile(path, problem.c_str(), consequence);
        return str();
    }
    return text;
}

bool ReadConfigDocument(const str& path, TXmlNode* document, const char* root, const char* consequence)
{
    const str text = ReadConfigXmlText(path, root, consequence);
    // Read again into the caller's node, which may already hold something.
    return text.length() > 0 && document->ParseString(text.c_str()) == EXmlParse::kOk;
}

}  // namespace game
