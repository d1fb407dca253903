#include "fuzz_folder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace qmfuzz {

namespace {

std::string gScratch;

void RemoveScratch()
{
    std::error_code ignored;
    fs::current_path(fs::temp_directory_path(), ignored);
    fs::remove_all(gScratch, ignored);
}

}  // namespace

void EnterScratchFolder()
{
    static bool entered = false;
    if (entered)
        return;
    std::string pattern = (fs::temp_directory_path() / "qm_levelfuzz_XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        std::abort();
    fs::current_path(pattern);
    gScratch = pattern;
    std::atexit(RemoveScratch);
    entered = true;
}

void WriteInput(const std::string& path, const void* data, std::size_t size)
{
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
}

}  // namespace qmfuzz
