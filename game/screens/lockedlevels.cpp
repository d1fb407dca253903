#include "game/screens/lockedlevels.h"

#include "engine/base/directorysearch.h"
#include "engine/base/folders.h"
#include "engine/base/xml.h"
#include "engine/platform/platform.h"
#include "engine/script/luabind.h"
#include "engine/window/button.h"
#include "engine/window/showwindow.h"
#include "engine/window/text.h"
#include "game/screens/screenchildren.h"
#include "game/levels/levelfile.h"
#include "game/settings/unlockmanager.h"

#include <algorithm>
#include <cstring>

namespace {

using qm::lua::Method;
using screens::Text;

const char kPackFolder[] = "assets/config/levels";
constexpr int kTitleBytes = 48;
constexpr int kDescriptionBytes = 300;

// How a locked pack opens, from its unlock rule ("" when the rule says
// nothing a player can act on by finishing a level).
str UnlockHint(const TGameDescription& game)
{
    TUnlockManager* unlocks = TUnlockManager::GetInstance();
    const int level = unlocks ? unlocks->LevelToFinish(TUnlockManager::kLevel, game.name) : 0;
    return level > 0 ? screens::TextWithNumber("levelunlock", level) : str();
}

const qm::lua::TBinding kLuaFunctions[] = {
    {"GetFullLevelName", Method<&TLockedLevels::GameFile>},
    {"IsButtonLocked", Method<&TLockedLevels::IsGameLocked>},
    {"GetDescription", Method<&TLockedLevels::GameDescription>},
    {"GetNumDownloadedLevels", Method<&TLockedLevels::GetDownloadCount>},
    {"GetDownloadedLevelName", Method<&TLockedLevels::DownloadFile>},
    {"GetDownloadedLevelTitle", Method<&TLockedLevels::DownloadTitle>},
    {"GetDownloadedLevelDescription", Method<&TLockedLevels::DownloadDescription>},
    {"GetDownloadedLevelProblem", Method<&TLockedLevels::DownloadProblem>},
};

// The text of the level's "description" element, or nothing.
str LevelDescription(TXmlNode* document)
{
    TXmlNode* level = game::LevelOfItsOwn(document);
    return level ? level->GetChildContent("description") : str();
}

// Why a level file cannot be read, in the player's words.
str PlainProblem(const game::TLevelFileRead& read)
{
    switch (read.problem) {
    case game::ELevelFileProblem::kNone: return str();
    case game::ELevelFileProblem::kMissing: return Text("fileproblem_missing");
    case game::ELevelFileProblem::kEmpty: return Text("fileproblem_empty");
    case game::ELevelFileProblem::kDamaged: return Text("fileproblem_damaged");
    case game::ELevelFileProblem::kNoLevel: return Text("fileproblem_nolevel");
    case game::ELevelFileProblem::kRefused: break;
    }
    switch (read.refused.problem) {
    case qm::EFileProblem::kFolder: return Text("fileproblem_folder");
    case qm::EFileProblem::kNotAFile: return Text("fileproblem_notafile");
    case qm::EFileProblem::kTooLarge: return Text("fileproblem_toolarge");
    case qm::EFileProblem::kNone:
    case qm::EFileProblem::kMissing:
    case qm::EFileProblem::kNotPermitted:
    case qm::EFileProblem::kUnreadable: break;
    }
    return Text("fileproblem_unreadable");
}

void SetText(TText* text, const str& value)
{
    if (text)
        text->SetText(value);
}

constexpr auto kGamebutton = contract::Numbered<TButton>("gamebutton_%d", 1, TLockedLevels::kSlots);
constexpr auto kLeveltext = contract::Numbered<TText>("leveltext_%d", 1, TLockedLevels::kSlots);
constexpr auto kDescriptiontext = contract::Numbered<TText>("descriptiontext_%d", 1, TLockedLevels::kSlots);
constexpr auto kStatustext = contract::Numbered<TText>("statustext_%d", 1, TLockedLevels::kSlots);
// A locked pack shows a padlock over its play button, and what opens it.
constexpr auto kLockedbutton = contract::Numbered<TWindow>("lockedbutton_%d", 1, TLockedLevels::kSlots).Optional();
constexpr auto kUnlocktext = contract::Numbered<TText>("unlocktext_%d", 1, TLockedLevels::kSlots).Optional();
const contract::TChildSpec kPackChildren[] = {
    kGamebutton, kLeveltext, kDescriptiontext, kStatustext, kLockedbutton, kUnlocktext,
};

}  // namespace

const contract::TScreenSpec TLockedLevels::kContract{"TLockedLevels", "LockedLevels", "scripts/lockedlevels.lua",
                                                     kLuaFunctions, kPackChildren};

TLockedLevels::TLockedLevels() { PublishFunctions(); }

const TGameDescription* TLockedLevels::GetGame(int index) const
{
    if (index < 0 || index >= GetGameCount())
        return nullptr;
    return &mGames[static_cast<size_t>(index)];
}

str TLockedLevels::GameFile(int index) const
{
    const TGameDescription* game = GetGame(index);
    return game ? game->file : str();
}

bool TLockedLevels::IsGameLocked(int index) const
{
    const TGameDescription* game = GetGame(index);
    return game && game->state == TGameDescription::kLocked;
}

str TLockedLevels::GameDescription(int index) const
{
    const TGameDescription* game = GetGame(index);
    return game ? Text(game->name + "_description") : str();
}

void TLockedLevels::PostChildrenInit()
{
    for (int k = 1; k <= kSlots; ++k) {
        TSlot& slot = mSlots[static_cast<size_t>(k - 1)];
        slot.button = Child(kGamebutton, k);
        slot.title = Child(kLeveltext, k);
        slot.description = Child(kDescriptiontext, k);
        slot.status = Child(kStatustext, k);
        slot.lock = Child(kLockedbutton, k);
        slot.unlock = Child(kUnlocktext, k);
    }
    BuildGameList(kPackFolder);
    BuildDownloadList(DownloadFolder());
    UpdateDisplay();
}

str TLockedLevels::DownloadFolder()
{
    TPlatform* platform = TPlatform::GetInstance();
    if (!platform)
        return str();
    char folder[qm::kPathBufferSize] = "";
    platform->GetDataDirectory(folder, false);
    return folder[0] ? str(folder) + "/levels" : str();
}

const TDownloadedLevel* TLockedLevels::GetDownload(int index) const
{
    if (index < 0 || index >= GetDownloadCount())
        return nullptr;
    return &mDownloads[static_cast<size_t>(index)];
}

str TLockedLevels::DownloadFile(int index) const
{
    const TDownloadedLevel* level = GetDownload(index);
    return level ? level->file : str();
}

str TLockedLevels::DownloadTitle(int index) const
{
    const TDownloadedLevel* level = GetDownload(index);
    return level ? level->title : str();
}

str TLockedLevels::DownloadProblem(int index) const
{
    const TDownloadedLevel* level = GetDownload(index);
    return level ? level->problem : str();
}

str TLockedLevels::DownloadDescription(int index) const
{
    const TDownloadedLevel* level = GetDownload(index);
    return level ? level->description : str();
}

void TLockedLevels::BuildDownloadList(const str& folder)
{
    mDownloads.clear();
    if (folder.length() == 0)
        return;
    std::vector<std::string> names;
    TDirectorySearch search(folder.c_str());
    char entry[1024];
    while (search.GetNextFile(entry, sizeof entry)) {
        const std::string name = entry;
        const std::size_t dot = name.rfind('.');
        if (dot == 0 || dot == std::string::npos)
            continue;
        const std::string extension = name.substr(dot);
        if (extension != ".xml" && extension != ".bin")
            continue;
        // "a.xml" and "a.bin" are one level (the settings read either).
        const std::string base = name.substr(0, dot);
        if (std::find(names.begin(), names.end(), base) == names.end())
            names.push_back(base);
    }
    std::sort(names.begin(), names.end());
    if (names.size() > std::size_t(kMaxDownloads))
        names.resize(std::size_t(kMaxDownloads));
    for (const std::string& base : names) {
        TDownloadedLevel level;
        level.file = folder + "/" + base.c_str() + ".xml";
        str title(base.c_str());
        title.replace("_", " ", str::kReplaceAll);
        level.title = screens::PlainText(title, kTitleBytes);
        TXmlNode document;
        const game::TLevelFileRead read = game::ReadLevelFile(level.file, &document);
        if (read.problem != game::ELevelFileProblem::kNone) {
            // Listed all the same, saying why: the player put it there.
            game::ReportLevelFileProblem(level.file, read, "it is listed as a level that cannot be read");
            level.problem = Text("unreadablelevel", PlainProblem(read));
        }
        level.description = screens::PlainText(LevelDescription(&document), kDescriptionBytes);
        mDownloads.push_back(level);
    }
}

void TLockedLevels::BuildGameList(const char* folder)
{
    TDirectorySearch search(folder);
    char entry[1024];
    TUnlockManager* unlocks = TUnlockManager::GetInstance();
    while (search.GetNextFile(entry, sizeof entry)) {
        // "pack.bin" and "pack.xml.old" both name the pack "pack".
        const char* cut = std::strstr(entry, ".bin");
        if (!cut)
            cut = std::strstr(entry, ".xml");
        if (!cut)
            continue;
        const str name(entry, static_cast<size_t>(cut - entry));
        const bool ready = !unlocks || unlocks->IsItemUnlocked(TUnlockManager::kLevel, name, 0);
        AddGame(name, ready ? TGameDescription::kReady : TGameDescription::kLocked,
                str(kPackFolder) + "/" + name + ".xml");
    }
}

void TLockedLevels::AddGame(str name, TGameDescription::EContentState state, str file)
{
    for (const TGameDescription& game : mGames)
        if (game.file == file)
            return;
    mGames.push_back({name, state, file});
}

void TLockedLevels::UpdateDisplay()
{
    // A layout may leave a slot window out; that part of the slot is skipped.
    for (int i = 0; i < kSlots; ++i) {
        const TSlot& slot = mSlots[static_cast<size_t>(i)];
        const TGameDescription* game = GetGame(i);
        const bool locked = game && game->state == TGameDescription::kLocked;
        // Every listed pack keeps its button: a locked one's says what opens
        // the pack (the script), under the padlock the layout lays over it.
        ShowWindow(slot.button, game != nullptr);
        ShowWindow(slot.lock, locked);
        SetText(slot.title, game ? Text(game->name + "_name") : str());
        SetText(slot.description, game ? Text(game->name + "_description") : str());
        SetText(slot.status, game ? Text(locked ? "levellocked" : "levelready") : str());
        SetText(slot.unlock, locked ? UnlockHint(*game) : str());
    }
    InvalidateRect(nullptr);
}
