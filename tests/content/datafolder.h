// Runs a test inside the game's resource folder (the generated data/), as
// the game does, and goes back to the folder it came from afterwards.
#pragma once

#include <filesystem>
#include <string>

class InDataFolder {
public:
    InDataFolder() : mPrevious(std::filesystem::current_path()) { std::filesystem::current_path(QM_DATA_DIR); }
    ~InDataFolder()
    {
        std::error_code ignored;
        std::filesystem::current_path(mPrevious, ignored);
    }
    InDataFolder(const InDataFolder&) = delete;
    InDataFolder& operator=(const InDataFolder&) = delete;
    // A path in the folder the test started in (where it may leave pictures).
    std::string Outside(const std::string& name) const { return (mPrevious / name).string(); }

private:
    std::filesystem::path mPrevious;
};
