// TSettings: the player profiles in prefs.dat.
#include "game/settings/settings.h"

#include "engine/base/debuglog.h"
#include "engine/base/folders.h"
#include "engine/base/ownership.h"
#include "engine/base/prefs.h"
#include "engine/platform/platform.h"
#include "engine/window/stringtable.h"
#include "online/hiscores.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Profiles written before this version hold progress in a layout the game no
// longer reads.
bool IsVersionTooOld(const str& version)
{
    int parts[4] = {0, 0, 0, 0};
    std::string text = version.c_str();
    for (int i = 0; i < 4; ++i) {
        const size_t dot = i < 3 ? text.find('.') : std::string::npos;
        parts[i] = std::atoi(text.substr(0, dot).c_str());
        if (dot == std::string::npos) {
            text.clear();
        } else {
            text.erase(0, dot + 1);
        }
    }
    return parts[0] < 2 && parts[1] < 1 && parts[2] < 1 && parts[3] < 77;
}

}  // namespace

int TSettings::GetCurrentUser() { return mPrefs->GetInt("curuser", -1, -1); }

int TSettings::GetNumUsers() { return mPrefs->GetNumUsers(); }

str TSettings::GetUserName(int index) { return mPrefs->GetStr("name", str(), index); }

str TSettings::GetCurrentUserName() { return GetUserName(GetCurrentUser()); }

void TSettings::SetCurrentUser(int index, bool force)
{
    if (index >= GetNumUsers())
        return;
    if (index < -1) {
        WriteDbg("SetCurrentUser: no player %d", index);
        return;
    }
    if (index == GetCurrentUser() && !force)
        return;
    mPrefs->SetInt("curuser", index, -1, true);
    if (index >= 0) {
        mHiscores->SetProperty(TQmHiscores::kUserName, GetUserName(index).c_str());
        SetSoundForCurrentUser();
    }
    mCheckedLoadGame = false;
}

void TSettings::CreateNewUser(str name)
{
    const int user = GetNumUsers();
    const int current = GetCurrentUser();
    TPlatform* platform = TPlatform::GetInstance();
    mPrefs->SetStr("name", name, user, false);
    mPrefs->SetStr("version", str(platform ? platform->GetVersion() : "0"), user, false);
    // A new player starts with the sound the previous one had chosen.
    mPrefs->SetInt("soundlevel", mPrefs->GetInt("soundlevel", 750, current), user, true);
    mPrefs->SetInt("musiclevel", mPrefs->GetInt("musiclevel", 750, current), user, true);
    mPrefs->SetInt("environmentlevel", mPrefs->GetInt("environmentlevel", 500, current), user, true);
    mPrefs->SetInt("soundoff", mPrefs->GetInt("soundoff", 0, current), user, true);
    SetCurrentUser(user, true);
    mCheckedLoadGame = false;
}

void TSettings::DeleteUser(int index)
{
    if (index < 0 || index >= GetNumUsers()) {
        WriteDbg("DeleteUser: no player %d", index);
        return;
    }
    mPrefs->DeleteUser(index);
    // SetCurrentUser(..., true) always stores "curuser", which saves the removal.
    if (index - 1 >= 0)
        SetCurrentUser(index - 1, true);
    else
        SetCurrentUser(GetNumUsers() - 1, true);
}

bool TSettings::IsNameInUse(str name)
{
    const int current = GetCurrentUser();
    for (int i = 0; i < GetNumUsers(); ++i) {
        if (i != current && GetUserName(i) == name)
            return true;
    }
    return false;
}

void TSettings::ChangeCurrentUserName(str name)
{
    const int current = GetCurrentUser();
    if (current < 0 || current >= GetNumUsers()) {
        WriteDbg("ChangeCurrentUserName: no current player");
        return;
    }
    mPrefs->SetStr("name", name, current, true);
    // Scores logged from now on carry the new name.
    mHiscores->SetProperty(TQmHiscores::kUserName, name.c_str());
}

void TSettings::ModifyUsersForVersion()
{
    bool removed = false;
    for (int i = GetNumUsers() - 1; i >= 0; --i) {
        if (!IsVersionTooOld(mPrefs->GetStr("version", str("0"), i)))
            continue;
        const int current = GetCurrentUser();
        if (i == current)
            SetCurrentUser(i - 1, true);
        mPrefs->DeleteUser(i);
        removed = true;
        // Players after the removed one move down by one; the current player
        // must stay the same person.
        if (i < current)
            mPrefs->SetInt("curuser", current - 1, -1, false);
    }
    if (removed)
        mPrefs->SavePrefs();
}

// ---- saves found unreadable

namespace {

// The score tables' file in the user data folder.
constexpr const char* kScoresFile = "hiscore.dat";

// The name after the last "/": a whole path would not fit a dialog's line
// (the log holds it).
str BaseName(const str& path)
{
    const std::string text = path.c_str();
    const size_t slash = text.rfind('/');
    return str((slash == std::string::npos ? text : text.substr(slash + 1)).c_str());
}

// A path named in a dialog is cut to its last `length` bytes.
str ShownPath(const str& path, int length)
{
    const std::string text = path.c_str();
    if (static_cast<int>(text.size()) <= length)
        return path;
    return str(("..." + text.substr(text.size() - length)).c_str());
}

// A folder on a line of its own in a dialog's body: the dialog breaks a
// longer word anywhere.
constexpr int kFolderOnOneLine = 40;

// A save file this user may not open is named with its folder and whose it
// is: it is not damaged, and whoever may open it (its owner, or root) can
// give it back.
TSaveNotice NotPermittedNotice(const char* body, const str& path)
{
    const std::string text = path.c_str();
    const str folder(text.substr(0, text.rfind('/')).c_str());
    return {"notpermittedsave_title", body, BaseName(path), str(qm::OwnerName(path).c_str()),
            ShownPath(folder, kFolderOnOneLine)};
}

TSaveNotice PrefsNotice(const TPrefs& prefs)
{
    if (prefs.FoundFileNotPermitted())
        return NotPermittedNotice("notpermittedsave_profiles", prefs.GetPath());
    const bool kept = prefs.GetKeptAside().length() > 0;
    return {"damagedsave_title", kept ? "damagedsave_profiles" : "damagedsave_profiles_inplace",
            BaseName(kept ? prefs.GetKeptAside() : prefs.GetPath()), str(), str()};
}

TSaveNotice ScoresNotice(const TQmHiscores& hiscores)
{
    if (hiscores.FoundFileNotPermitted())
        return NotPermittedNotice("notpermittedsave_scores", hiscores.GetFilePath());
    const str kept = hiscores.GetKeptAside();
    return {"damagedsave_title", kept.length() > 0 ? "damagedsave_scores" : "damagedsave_scores_inplace",
            kept.length() > 0 ? BaseName(kept) : str(kScoresFile), str(), str()};
}

}  // namespace

bool TSettings::TakeSaveNotice(TSaveNotice* notice)
{
    const bool told = NextSaveNotice(notice);
    // The log shows what the player was shown.
    if (told && notice->owner.length() > 0)
        WriteDbg("Telling the player: %s (%s in %s, %s's)", notice->body.c_str(), notice->file.c_str(),
                 notice->folder.c_str(), notice->owner.c_str());
    else if (told)
        WriteDbg("Telling the player: %s (%s)", notice->body.c_str(), notice->file.c_str());
    return told;
}

bool TSettings::NextSaveNotice(TSaveNotice* notice)
{
    if (!mToldOfPrefs && mPrefs && (mPrefs->FoundFileNotPermitted() || mPrefs->FoundUnreadableFile())) {
        mToldOfPrefs = true;
        *notice = PrefsNotice(*mPrefs);
        return true;
    }
    if (!mToldOfHiscores && mHiscores && (mHiscores->FoundFileNotPermitted() || mHiscores->FoundUnreadableFile())) {
        mToldOfHiscores = true;
        *notice = ScoresNotice(*mHiscores);
        return true;
    }
    return false;
}

// ---- saves that fail

namespace {

// The cause told for a missing user data folder, apart from every errno value.
constexpr int kNoDataFolder = -1;
// A folder named in a dialog is cut to its end beyond this many bytes.
constexpr int kShownFolderLength = 60;

str Lookup(const char* label, const str& a1 = str(), const str& a2 = str())
{
    TPlatform* platform = TPlatform::GetInstance();
    TStringTable* table = platform ? platform->GetStringTable() : nullptr;
    return table ? table->GetString(str(label), a1, a2, str(), str(), str()) : str(label);
}

// What the player reads as the reason: the common causes in the game's own
// words, any other one as the system words it. `file` names the file whose
// save failed, for a reason that is the file's own.
str ReasonText(int error, const str& file = str())
{
    switch (error) {
    case EISDIR:
        // (the system's "Is a directory" says neither which nor what to do)
        return Lookup("savefailed_folder", file);
    case ENOSPC:
    case EDQUOT:
        return Lookup("savefailed_full");
    case EROFS:
    case EACCES:
    case EPERM:
        return Lookup("savefailed_readonly");
    case ENAMETOOLONG:
        return Lookup("savefailed_toolong");
    default:
        return Lookup("savefailed_other", str(std::strerror(error)));
    }
}

str ShownFolder(const str& folder)
{
    return folder.length() == 0 ? str("~/.local/share") : ShownPath(folder, kShownFolderLength);
}

}  // namespace

int TSettings::UntoldSaveFailure()
{
    const int causes[] = {mDataFolderError != 0 ? kNoDataFolder : 0, mPrefs ? mPrefs->GetLastSaveError() : 0,
                          mHiscores ? mHiscores->GetLastSaveError() : 0};
    for (int cause : causes)
        if (cause != 0 && mToldSaveFailures.count(cause) == 0)
            return cause;
    return 0;
}

str TSettings::FileFailingWith(int cause) const
{
    if (mPrefs && mPrefs->GetLastSaveError() == cause)
        return BaseName(mPrefs->GetPath());
    return str(kScoresFile);
}

bool TSettings::TakeUnkeptProgressNotice(str* title, str* body)
{
    // Written now whether or not a save failed before: what changed since
    // the last save is at stake as much.
    mPrefs->SavePrefs();
    mHiscores->SaveAgainIfFailed();
    const int cause = mPrefs->GetLastSaveError() != 0 ? mPrefs->GetLastSaveError() : mHiscores->GetLastSaveError();
    if (cause == 0)
        return false;
    // This notice says it all: the save failure's own is not shown after it.
    mToldSaveFailures.insert(cause);
    *title = Lookup("unkeptprogress_title");
    *body = Lookup("unkeptprogress_body", ShownFolder(qm::UserDataDirectoryPath()),
                   ReasonText(cause, FileFailingWith(cause)));
    WriteDbg("Telling the player: %s", body->c_str());
    return true;
}

bool TSettings::TakeSaveFailureNotice(str* title, str* body)
{
    const int cause = UntoldSaveFailure();
    if (cause == 0)
        return false;
    mToldSaveFailures.insert(cause);
    const str folder = ShownFolder(qm::UserDataDirectoryPath());
    if (cause == kNoDataFolder) {
        *title = Lookup("savefailed_nofolder_title");
        *body = Lookup("savefailed_nofolder", folder, ReasonText(mDataFolderError));
    } else {
        *title = Lookup("savefailed_title");
        *body = Lookup("savefailed_body", folder, ReasonText(cause, FileFailingWith(cause)));
    }
    WriteDbg("Telling the player: %s", body->c_str());
    return true;
}
