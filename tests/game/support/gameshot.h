// What the game's screenshot programs share: reading the 800x600 screen back
// and starting the engine on the game's data with preferences in a fresh
// temporary home.
#pragma once

#include "engine/platform/platform.h"
#include "engine/render/gl/gldisplayhost.h"
#include "engine/render/gl/glheaders.h"
#include "engine/script/windowscript.h"
#include "engine/text/text_platform.h"
#include "engine/window/windowhost.h"

#include "testimages.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace gameshot {

// The screen framebuffer as RGBA pixels, top row first.
inline std::vector<testimages::Rgba> ReadScreen(unsigned framebuffer)
{
    std::vector<testimages::Rgba> pixels(800 * 600);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

// A new folder of this run's own under the temporary one, named after
// `name` (`name`-XXXXXX: two runs at once, or runs of two users, never share
// one), removed with everything in it when the program ends.
inline std::filesystem::path FreshTemporaryFolder(const char* name)
{
    static std::filesystem::path made;
    std::string pattern = (std::filesystem::temp_directory_path() / (std::string(name) + "-XXXXXX")).string();
    if (!::mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        std::exit(1);
    }
    made = pattern;
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(made, ignored);
    });
    return made;
}

// Runs `shotMain` in the engine, in the game's data folder (QM_DATA_DIR),
// with XDG_DATA_HOME in a fresh folder named after `home` under the
// temporary one.
inline void RunOnGameData(int argc, char** argv, const char* home, void (*shotMain)(TPlatform*, const char*))
{
    const std::filesystem::path folder = FreshTemporaryFolder(home);
    ::setenv("XDG_DATA_HOME", folder.c_str(), 1);
    ::setenv("CORVELLATRIP_DATA", QM_DATA_DIR, 1);  // the engine makes it the working folder
    std::filesystem::current_path(QM_DATA_DIR);
    qm::InstallGLDisplayHost();
    qm::InstallTextRendering();
    qm::InstallWindowSystem();
    qm::InstallWindowScript();
    QuellmoorExec(argc, argv, shotMain, false);
}

}  // namespace gameshot
