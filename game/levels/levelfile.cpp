#include "game/levels/levelfile.h"

#include "engine/base/xml.h"
#include "game/levels/levelrecord.h"

namespace game {

namespace {

// A file of its own holds one level, numbered 1.
constexpr int kOwnLevelNumber = 1;

// Only blanks: nothing the XML reader could make a level of.
bool IsBlank(const str& text)
{
    for (int i = 0; i < text.length(); ++i)
        if (text[i] != ' ' && text[i] != '\t' && text[i] != '\r' && text[i] != '\n')
            return false;
    return true;
}

}  // namespace

TLevelFileRead ReadLevelFile(const str& path, TXmlNode* document)
{
    TLevelFileRead read;
    str text;
    switch (ReadConfigText(path, &text, &read.refused)) {
    case EConfigText::kMissing: read.problem = ELevelFileProblem::kMissing; return read;
    case EConfigText::kUnreadable: read.problem = ELevelFileProblem::kRefused; return read;
    case EConfigText::kUndecipherable:
        read.problem = ELevelFileProblem::kDamaged;
        read.detail = "could not be deciphered";
        return read;
    case EConfigText::kRead: break;
    }
    if (IsBlank(text)) {
        read.problem = ELevelFileProblem::kEmpty;
        return read;
    }
    TXmlNode parsed;
    const EXmlParse parse = parsed.ParseString(text.c_str());
    if (parse != EXmlParse::kOk) {
        read.problem = ELevelFileProblem::kDamaged;
        read.detail = XmlParseProblem(parse);
        return read;
    }
    if (!LevelOfItsOwn(&parsed))
        read.problem = ELevelFileProblem::kNoLevel;
    // Read again into the caller's node, which may already hold something.
    document->ParseString(text.c_str());
    return read;
}

TXmlNode* LevelOfItsOwn(TXmlNode* document)
{
    return CareerLevelElement(document ? document->GetChild("dataroot") : nullptr, kOwnLevelNumber);
}

void ReportLevelFileProblem(const str& path, const TLevelFileRead& read, const char* consequence)
{
    switch (read.problem) {
    case ELevelFileProblem::kNone: return;
    case ELevelFileProblem::kMissing: ReportBadDataFile(path, "is missing", consequence); return;
    case ELevelFileProblem::kRefused: ReportRefusedFile(read.refused, consequence); return;
    case ELevelFileProblem::kEmpty: ReportBadDataFile(path, "is empty", consequence); return;
    case ELevelFileProblem::kDamaged: ReportBadDataFile(path, read.detail.c_str(), consequence); return;
    case ELevelFileProblem::kNoLevel:
        ReportBadDataFile(path, "holds no <career> level 1 under <dataroot>", consequence);
        return;
    }
}

}  // namespace game
