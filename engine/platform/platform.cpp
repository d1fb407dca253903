#include "engine/platform/platform.h"

#include "engine/base/debuglog.h"
#include "engine/base/instanceholder.h"

TPlatform* TPlatform::GetInstance()
{
    return TInstanceHolder<TPlatform>::Get();
}

TPlatform::TPlatform(TPlatformData* data)
    : mData(data)
{
    TInstanceHolder<TPlatform>::Publish(this);
    if (IWindowHost* windows = mData->GetWindowHost()) {
        windows->AttachWindowScript(this);
        if (windows->LoadStringTable("assets/strings.xml"))
            windows->EnableStringTable(true);
    }
}

TPlatform::~TPlatform()
{
    delete mData;
    mData = nullptr;
    TInstanceHolder<TPlatform>::Withdraw(this);
}

bool TPlatform::SetDisplay(int width, int height, bool fullscreen)
{
    IWindowHost* windows = mData->GetWindowHost();
    if (windows && !windows->HasRootScreen())
        windows->CreateRootScreen(width, height);
    return mData->SetDisplay(width, height, fullscreen);
}

void TPlatform::Init3d()
{
    if (auto& make = qm::PlatformHooks().makeDisplayHost)
        mData->SetDisplayHandler(make(*mData));
}

void TPlatform::EndDraw(bool swap)
{
    mData->EndDraw(swap);
    mData->FrameRateLog().OnFrame(mData->Timer());
}

bool TPlatform::Begin2d()
{
    if (mData->mIn2d) {
        WriteDbg("Begin2d called when already in Begin2d state");
        return false;
    }
    if (mData->mIn3d) {
        WriteDbg("Begin2d called when already in Begin3d state");
        return false;
    }
    return mData->Begin2d();
}

void TPlatform::End2d()
{
    if (!mData->mIn2d) {
        WriteDbg("End2d called when not in Begin2d state");
        return;
    }
    mData->End2d();
}

bool TPlatform::CheckDrawState() const
{
    if (mData->mIn2d || mData->mIn3d)
        return true;
    WriteDbg("DrawVertices called when not in Begin2d or Begin3d state");
    return false;
}
