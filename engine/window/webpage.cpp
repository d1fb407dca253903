#include "engine/window/webpage.h"

#include "engine/base/debuglog.h"
#include "engine/platform/platform.h"
#include "engine/window/windowmanager.h"
#include "engine/window/windowscripthook.h"

namespace qm {

bool OpenWebPage(const char* url)
{
    TPlatform* platform = TPlatform::GetInstance();
    if (platform && platform->OpenBrowser(url))
        return true;
    WriteDbg("No browser could be started for %s", url ? url : "(null)");
    TWindowManager* manager = TWindowManager::GetInstance();
    if (IWindowScript* script = manager ? manager->GetScript() : nullptr)
        script->SendGlobalFunction("OnBrowserFailed");
    return false;
}

}  // namespace qm
