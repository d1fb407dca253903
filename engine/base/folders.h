// Where the program finds its resources and keeps per-user data.
//
// The resource folder (the data/ tree) becomes the working directory at
// start-up; per-user data lives in $XDG_DATA_HOME/corvellatrip (by default
// ~/.local/share/corvellatrip), created with its parents and never
// world-writable.
#pragma once

#include "engine/base/str.h"

#include <cstdio>

namespace qm {

// The name of the per-user data folder and of the application.
inline constexpr const char* kApplicationName = "corvellatrip";

// Paths handed out through fixed buffers are at most this long, NUL included.
inline constexpr int kPathBufferSize = 512;

// The resource folder: $CORVELLATRIP_DATA, else a "data" folder (with an
// assets/ folder in it) next to the executable or up to three levels up, else
// the source tree's data/. One that this user may not look into counts as
// found: the game then tells the player it cannot read it. Empty when none
// exists.
str FindResourceFolder(const char* executablePath);

// The folder named to the player when FindResourceFolder found none:
// $CORVELLATRIP_DATA when set, else the "data" folder beside the executable.
str ExpectedResourceFolder(const char* executablePath);

// The per-user data folder, created (with parents, mode 0700) when missing.
// Empty when it cannot be created.
str UserDataDirectory();

// Where UserDataDirectory keeps the data, without creating it (to name the
// folder when it cannot be made). Empty when there is no home at all.
str UserDataDirectoryPath();

// The folder shared by every game of this engine for this user, created like
// UserDataDirectory. Empty when it cannot be created.
str CommonDataDirectory();

// Creates a folder and its missing parents with the given mode, each with the
// owner of the folder it is made in (ownership.h); true when it exists afterwards.
bool MakeDirectories(const str& path, unsigned mode);

// Copies text into a fixed buffer; false (and an empty buffer) when it does not fit.
bool CopyPath(char* out, int outSize, const char* text);

// Opens a resource for reading: the name as given (relative to the working
// directory), else "assets/" + name. outPath (kPathBufferSize bytes) receives
// the full path tried last. Null when neither opens.
std::FILE* OpenResource(const char* name, char* outPath);

}  // namespace qm
