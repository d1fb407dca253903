#include "engine/assembly/assembly.h"

#include "engine/base/debuglog.h"
#include "engine/render/gl/gldisplayhost.h"
#include "engine/script/windowscript.h"
#include "engine/sound/soundhost.h"
#include "engine/text/text_platform.h"
#include "engine/window/windowhost.h"

namespace qm {

void InstallEngine(const TEngineParts& parts)
{
    if (parts.display)
        InstallGLDisplayHost(parts.straightToWindow);
    // Text rendering wraps the display installed just before; alone it
    // could wrap an earlier wrapper again.
    if (parts.text && parts.display)
        InstallTextRendering();
    else if (parts.text)
        WriteDbg("InstallEngine: text rendering needs the display in the same call; not installed");
    if (parts.sound)
        InstallSoundHost();
    if (parts.windows)
        InstallWindowSystem();
    if (parts.script && parts.windows)
        InstallWindowScript();
    else if (parts.script)
        WriteDbg("InstallEngine: the window script needs the window system in the same call; not installed");
}

}  // namespace qm
