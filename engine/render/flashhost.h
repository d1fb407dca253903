// TFlashHost: plays one Ogg Theora movie (with its Vorbis sound) over the
// game window. Opened by resource path; a missing or unplayable file gives a
// host that is not ready, whose Start answers false.
//
// Playback runs on the main thread: a task on the platform's task list
// decodes, on every idle pass, the picture the engine clock has reached
// (pictures the clock skipped are decoded but not converted), uploads it to
// one texture and presents it, scaled to fit the screen. The sound plays as
// a music stream through the sound manager and restarts with every loop.
// While a movie plays the window stack draws nothing: Start raises the
// movie-playing flag through the given setter, Stop and destruction lower it.
#pragma once

#include "engine/base/str.h"

#include <cstdint>
#include <functional>
#include <memory>

class TTexture;
class TTheoraMovie;
class TSoundStream;

class TFlashHost {
public:
    // Raises (true) or lowers (false) the window manager's movie-playing flag.
    using TPlayingFlag = std::function<void(bool)>;

    // path is looked up as resources are: relative to the resource folder,
    // else under "assets/".
    explicit TFlashHost(const char* path, TPlayingFlag playingFlag = {});
    ~TFlashHost();
    TFlashHost(const TFlashHost&) = delete;
    TFlashHost& operator=(const TFlashHost&) = delete;

    // Raises the flag in every case; false when the host is not ready.
    // Otherwise plays from the first picture, again and again with loop.
    bool Start(bool loop);
    // True from Start until Stop, or until a movie that does not loop ends.
    bool IsPlaying();
    // Ends playback and its sound (when ready) and lowers the flag.
    void Stop();

    bool IsReady() const { return mMovie != nullptr; }
    const str& GetPath() const { return mPath; }
    // The picture on show (-1 before the first), the texture it is in.
    int GetShownFrame() const { return mShownFrame; }
    std::shared_ptr<TTexture> GetTexture() const { return mTexture; }

    // One idle pass: catches the pictures up with the clock and presents
    // the newest; ends or restarts the movie at its end. Run by the task.
    void Update();

private:
    class TPlaybackTask;

    std::uint32_t Elapsed() const;
    void Restart(std::uint32_t startMs);
    void StartSound();
    void StopSound();
    void ShowFrame(int frame);
    void Present();
    void SetFlag(bool on);
    void DetachTask();

    str mPath;
    TPlayingFlag mPlayingFlag;
    std::unique_ptr<TTheoraMovie> mMovie;
    std::shared_ptr<TTexture> mTexture;
    std::shared_ptr<TSoundStream> mSound;
    TPlaybackTask* mTask = nullptr;  // owned by the platform's task list
    bool mPlaying = false;
    bool mLoop = false;
    std::uint32_t mStartMs = 0;
    int mShownFrame = -1;
};
