#include "game/settings/configfile.h"

#include "engine/base/asset.h"
#include "engine/base/debuglog.h"
#include "engine/base/encrypt.h"
#include "engine/base/encryptionkey.h"
#include "engine/base/safefile.h"
#include "engine/base/xml.h"

#include <string>

namespace game {

EConfigText ReadConfigText(const str& path, str* text, TRefusedFile* refused)
{
    *text = str();
    std::string bytes;
    qm::EFileProblem plainProblem = qm::EFileProblem::kNone;
    if (qm::ReadWholeFile(path, &bytes, kMaxConfigFileBytes, &plainProblem)) {
        *text = str(bytes.c_str());
        return EConfigText::kRead;
    }
    // "level.xml" is shipped as "level.bin": the same name, enciphered.
    const std::string plainPath = path.c_str();
    const str binPath((plainPath.substr(0, plainPath.size() < 3 ? 0 : plainPath.size() - 3) + "bin").c_str());
    qm::EFileProblem binProblem = qm::EFileProblem::kNone;
    if (qm::ReadWholeFile(binPath, &bytes, kMaxConfigFileBytes, &binProblem)) {
        *text = TEncrypt(str(ENCRYPTION_KEY)).DecryptStr(str(bytes.c_str()));
        return text->length() == 0 && !bytes.empty() ? EConfigText::kUndecipherable : EConfigText::kRead;
    }
    if (plainProblem == qm::EFileProblem::kMissing && binProblem == qm::EFileProblem::kMissing)
        return EConfigText::kMissing;
    if (refused)
        *refused = plainProblem != qm::EFileProblem::kMissing ? TRefusedFile{path, plainProblem}
                                                              : TRefusedFile{binPath, binProblem};
    return EConfigText::kUnreadable;
}

void ReportBadDataFile(const str& path, const char* problem, const char* consequence)
{
    if (TAssetManager::FirstReportOf(str("data:") + path))
        WriteDbg("%s %s; %s", path.c_str(), problem, consequence);
}

void ReportRefusedFile(const TRefusedFile& refused, const char* consequence)
{
    const std::string problem = "cannot be read (it " + qm::FileProblemText(refused.problem, kMaxConfigFileBytes) + ")";
    ReportBadDataFile(refused.path, problem.c_str(), consequence);
}

bool ReadReportedConfigText(const str& path, str* text, const char* consequence)
{
    TRefusedFile refused;
    switch (ReadConfigText(path, text, &refused)) {
    case EConfigText::kMissing:
        ReportBadDataFile(path, "is missing", consequence);
        return false;
    case EConfigText::kUndecipherable:
        ReportBadDataFile(path, "could not be deciphered", consequence);
        return false;
    case EConfigText::kUnreadable:
        ReportRefusedFile(refused, consequence);
        return false;
    case EConfigText::kRead:
        break;
    }
    return true;
}

str ReadConfigXmlText(const str& path, const char* root, const char* consequence)
{
    str text;
    if (!ReadReportedConfigText(path, &text, consequence))
        return str();
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
