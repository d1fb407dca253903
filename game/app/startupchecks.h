// What the start-up checks before the game touches anything, and how it
// words what it found: whether the game's own files can be read at all, and
// why no lock on the saves could be taken.
#pragma once

#include "engine/base/str.h"

namespace game {

// Why the game cannot read its own files in `folder`, in the player's words
// (English: without its files there is no string table to ask); empty when
// it can. `enterError` is the errno value met entering the folder (0: it was
// entered; ENOENT: none was found). Only the script the game starts with
// (`startScript`, found as the engine finds scripts: in the folder, else in
// its assets/) is needed to go on: without the string table the game still
// runs, showing labels, and its log says so.
str UnreadableGameFiles(const str& folder, int enterError, const char* startScript);

// Where taking a lock on the saves failed.
enum class ELockStep {
    kMakeFolder,  // the data home itself could not be made
    kMakeFile,    // no lock file stood at the name, and none could be made
    kOpenFile,    // a lock file stood there and could not be opened
    kNoFile,      // something that is no file stands at the name
};

// The step at which the lock name `file` failed, from what stands there now.
ELockStep LockNameStep(const str& file);

// The string-table label of the cause told for a lock that could not be
// taken, from the step and the errno value it met first. The labels that
// take an argument take the system's words for the error.
const char* LockFailureLabel(ELockStep step, int error);

}  // namespace game
