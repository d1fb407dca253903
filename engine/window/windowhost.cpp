#include "engine/window/windowhost.h"

#include "engine/base/debuglog.h"
#include "engine/window/screen.h"
#include "engine/window/stringtable.h"
#include "engine/window/windowmanager.h"
#include "engine/window/windowscripthook.h"

namespace {

TWindowHost::ScriptFactory& Scripts()
{
    static TWindowHost::ScriptFactory factory;
    return factory;
}

}  // namespace

TWindowHost::TWindowHost()
    : mStrings(std::make_unique<TStringTable>()), mManager(std::make_unique<TWindowManager>())
{
    mManager->SetWindowDisplay(&mPlatformDisplay);
}

TWindowHost::~TWindowHost() = default;

void TWindowHost::SetScriptFactory(ScriptFactory factory)
{
    Scripts() = std::move(factory);
}

void TWindowHost::AttachWindowScript(TPlatform* platform)
{
    if (!Scripts())
        return;  // no scripting layer linked in: screens cannot be scripted
    if (IWindowScript* script = Scripts()(platform))
        mManager->AttachWindowScript(script);
}

bool TWindowHost::LoadStringTable(const char* path)
{
    return mStrings->LoadStringTable(path);
}

void TWindowHost::EnableStringTable(bool on)
{
    mManager->EnableStringTable(on);
}

bool TWindowHost::HasRootScreen()
{
    return mManager->GetScreen() != nullptr;
}

void TWindowHost::CreateRootScreen(int width, int height)
{
    auto* screen = new TScreen;
    mManager->SetScreen(screen);
    screen->SetWindowSize(width, height);
}

void TWindowHost::SetWindowDisplay(IWindowDisplay* display)
{
    mManager->SetWindowDisplay(display);
}

namespace qm {

void InstallWindowSystem()
{
    PlatformHooks().makeWindowHost = [](TPlatformData&) { return std::make_unique<TWindowHost>(); };
}

}  // namespace qm
