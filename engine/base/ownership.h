// Who owns what the program writes among a player's files.
//
// A game started as root on a player's data home (sudo -E keeps HOME and
// XDG_DATA_HOME) must leave files the player can still open. So a file that
// is replaced keeps the owner, group and mode of the one it replaces, and a
// file or folder made new takes the owner and group of the folder it is made
// in: the data home's owner in the data home, root in root's own. Only a
// process that may give files away (root) changes anything: any other one
// owns what it makes, and a refused change is no error (the file is written
// all the same, and nothing is logged).
#pragma once

#include "engine/base/str.h"

#include <string>

namespace qm {

// Gives the open file or folder `fd`, just made in `folder`, the folder's
// owner and group when the folder is another user's.
void GiveFolderOwner(int fd, const str& folder);

// Gives the open file `fd`, made in `folder` to be renamed over `replaced`,
// the owner, group and mode of the regular file standing at `replaced`; when
// none stands there, it is a new file and takes the folder's owner.
void TakeOverOwnership(int fd, const str& replaced, const str& folder);

// The user name of the owner of what stands at `path`, or the owner's
// number when the system knows no name for it; "" when nothing can be
// looked at there.
std::string OwnerName(const str& path);

}  // namespace qm
