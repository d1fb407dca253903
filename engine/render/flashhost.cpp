#include "engine/render/flashhost.h"

#include "engine/base/debuglog.h"
#include "engine/base/folders.h"
#include "engine/base/task.h"
#include "engine/base/timesource.h"
#include "engine/platform/platform.h"
#include "engine/render/drawtypes.h"
#include "engine/render/texture.h"
#include "engine/render/theoramovie.h"
#include "engine/sound/soundmanager.h"
#include "engine/sound/soundstream.h"
#include "engine/sound/spooler.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// Larger files are refused rather than read into memory whole.
constexpr long kMaxMovieBytes = 512l << 20;

std::vector<std::uint8_t> ReadResource(const char* path)
{
    char fullPath[qm::kPathBufferSize];
    std::FILE* file = qm::OpenResource(path, fullPath);
    std::vector<std::uint8_t> bytes;
    if (!file)
        return bytes;
    if (std::fseek(file, 0, SEEK_END) == 0) {
        const long size = std::ftell(file);
        if (size > 0 && size <= kMaxMovieBytes && std::fseek(file, 0, SEEK_SET) == 0) {
            bytes.resize(size_t(size));
            if (std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size())
                bytes.clear();
        }
    }
    std::fclose(file);
    return bytes;
}

}  // namespace

// Runs the host's idle pass. The host outlives its task only by detaching
// it: a detached task ends itself on its next pass, so the host never has to
// take it off a list that may be running.
class TFlashHost::TPlaybackTask : public TTask {
public:
    explicit TPlaybackTask(TFlashHost* host) : mHost(host) {}
    ~TPlaybackTask() override
    {
        if (mHost)
            mHost->mTask = nullptr;  // the list is being torn down before the host
    }
    void Detach() { mHost = nullptr; }
    bool DoTask() override
    {
        if (!mHost)
            return false;
        mHost->Update();
        return true;
    }

private:
    TFlashHost* mHost;
};

TFlashHost::TFlashHost(const char* path, TPlayingFlag playingFlag)
    : mPath(path ? path : ""), mPlayingFlag(std::move(playingFlag))
{
    if (!path || !*path)
        return;
    mMovie = TTheoraMovie::Open(ReadResource(mPath.c_str()));
    if (!mMovie) {
        WriteDbg("Movie %s: missing or not a playable movie", mPath.c_str());
        return;
    }
    mTexture = TTexture::Create(mMovie->Width(), mMovie->Height(), true);
    if (!mTexture) {
        mMovie.reset();
        return;
    }
    if (TPlatform* platform = TPlatform::GetInstance()) {
        mTask = new TPlaybackTask(this);  // the task list owns it from here
        platform->AdoptTask(mTask);
    }
}

TFlashHost::~TFlashHost()
{
    Stop();
    DetachTask();
}

void TFlashHost::DetachTask()
{
    if (mTask)
        mTask->Detach();
    mTask = nullptr;
}

bool TFlashHost::Start(bool loop)
{
    SetFlag(true);
    if (!IsReady())
        return false;
    mLoop = loop;
    mPlaying = true;
    Restart(qm::Timer());
    return true;  // the first picture shows on the next idle pass
}

bool TFlashHost::IsPlaying()
{
    // Answered from the clock, so the end is seen even between idle passes.
    if (mPlaying && !mLoop && Elapsed() >= mMovie->FrameTimeMs(mMovie->FrameCount()))
        mPlaying = false;
    return mPlaying;
}

void TFlashHost::Stop()
{
    if (IsReady()) {
        mPlaying = false;
        StopSound();
    }
    SetFlag(false);
}

void TFlashHost::SetFlag(bool on)
{
    if (mPlayingFlag)
        mPlayingFlag(on);
}

std::uint32_t TFlashHost::Elapsed() const
{
    return qm::Timer() - mStartMs;  // modulo 2^32, as the clock wraps
}

void TFlashHost::Restart(std::uint32_t startMs)
{
    mStartMs = startMs;
    mMovie->Rewind();
    StopSound();
    StartSound();
}

void TFlashHost::Update()
{
    if (!mPlaying)
        return;
    const std::uint64_t length = mMovie->FrameTimeMs(mMovie->FrameCount());
    int target = mMovie->FrameAtMs(Elapsed());
    if (target >= mMovie->FrameCount()) {
        if (!mLoop || length == 0) {
            mPlaying = false;
            return;
        }
        // Every whole run the clock passed starts the movie over.
        const std::uint32_t over = Elapsed() - std::uint32_t(Elapsed() % length);
        Restart(mStartMs + over);
        target = mMovie->FrameAtMs(Elapsed());
    }
    if (target == mShownFrame && mMovie->NextFrame() > target)
        return;
    ShowFrame(target);
}

void TFlashHost::ShowFrame(int frame)
{
    // Pictures depend on the ones before them: every one up to the target
    // is decoded, only the target converted.
    if (mMovie->NextFrame() > frame)
        mMovie->Rewind();
    while (mMovie->NextFrame() <= frame)
        mMovie->DecodeNext(mMovie->NextFrame() == frame);
    unsigned char* pixels = nullptr;
    int width = 0, height = 0, pitch = 0;
    if (mTexture->Lock(&pixels, &width, &height, &pitch)) {
        const std::vector<std::uint8_t>& picture = mMovie->Pixels();
        const size_t rowBytes = size_t(mMovie->Width()) * 4;
        for (int y = 0; y < std::min(height, mMovie->Height()); ++y)
            std::memcpy(pixels + size_t(y) * pitch, &picture[y * rowBytes], std::min(rowBytes, size_t(pitch)));
        mTexture->Unlock();
    }
    mShownFrame = frame;
    Present();
}

void TFlashHost::Present()
{
    TPlatform* platform = TPlatform::GetInstance();
    if (!platform)
        return;
    const int screenWidth = platform->GetPlatformData()->DisplayWidth();
    const int screenHeight = platform->GetPlatformData()->DisplayHeight();
    if (screenWidth <= 0 || screenHeight <= 0 || !platform->BeginDraw(true))
        return;
    if (platform->Begin2d()) {
        // Scaled to fit, centred, black around it.
        const float scale = std::min(float(screenWidth) / mMovie->Width(), float(screenHeight) / mMovie->Height());
        const TColor black{0, 0, 0, 1};
        platform->SetBlendMode(TPlatform::EBlendModes(kBlendOff));
        platform->FillRect(0, 0, screenWidth, screenHeight, &black);
        platform->SetFilteringMode(TPlatform::EFilteringModes(kFilterLinear));
        mTexture->Draw((screenWidth - mMovie->Width() * scale) / 2, (screenHeight - mMovie->Height() * scale) / 2,
                       1.0f, scale);
        platform->SetBlendMode(TPlatform::EBlendModes(kBlendAlpha));
        platform->End2d();
    }
    platform->EndDraw(true);
}

void TFlashHost::StartSound()
{
    TSoundManager* manager = TSoundManager::GetInstance();
    std::shared_ptr<const TPcm> pcm = mMovie->Sound();
    if (!manager || !pcm)
        return;
    mSound = TSoundStream::Create(manager, std::make_unique<TMemSpooler>(pcm), false, TSoundManager::kMusic, {});
    if (mSound && mSound->Init(pcm->rate, pcm->channels, 16)) {
        mSound->Play();
        return;
    }
    StopSound();
}

void TFlashHost::StopSound()
{
    if (mSound)
        mSound->Kill(false);
    mSound.reset();
}
