// The content lint: checks the data contracts (contracts.h) against a
// resource folder through the engine's own readers, and that every file a
// source names in a string literal exists there with its exact case.
#pragma once

#include <string>
#include <vector>

namespace contentlint {

struct TLintOptions {
    std::string dataFolder;                // the resource folder the game runs in
    std::string contractsFile;
    std::vector<std::string> moreContractFiles;  // read after it (generated lists)
    std::vector<std::string> scanFolders;  // code, scripts and data whose literal file names are checked
    int animationLimitMs = 60000;          // an animation the game waits on must end within this
};

struct TLintReport {
    std::vector<std::string> failures;
    std::vector<std::string> notes;  // pending data
    std::vector<std::string> table;  // what the loudness rule measured, for reading
    int checks = 0;
};

TLintReport Lint(const TLintOptions& options);

// The whole file, as it is; false when it cannot be read.
bool ReadText(const std::string& path, std::string* text);

// The literal file names in a source text: quoted, holding a folder, ending in
// a resource extension, and not a format pattern, a URL or an embedded chunk.
std::vector<std::string> LiteralFileNames(const std::string& text);

// The string-table labels a screen script names as literals: a window's
// `label = "..."` (not a "#" text of its own) and `GetString("...")`.
std::vector<std::string> ScriptLabels(const std::string& text);

}  // namespace contentlint
