// Where a stream's samples come from. The mixer pulls them chunk by chunk
// through StreamToBuffer, so a playing stream never holds its own copy of
// the sound.
#pragma once

#include "engine/sound/pcm.h"

#include <memory>

class TStreamSpooler {
public:
    virtual ~TStreamSpooler() = default;

    // Fills `size` bytes of dst (zeros past the end) and reports the bytes
    // of sound written. With `loop` the source wraps around to its start.
    // Returns false once the end of the source has been reached.
    virtual bool StreamToBuffer(int size, void* dst, unsigned int* written, bool loop) = 0;
    virtual void SetPosition(float seconds) = 0;
    virtual void Reset() {}
};

// Streams from a decoded sound held in memory.
class TMemSpooler : public TStreamSpooler {
public:
    explicit TMemSpooler(std::shared_ptr<const TPcm> pcm);

    bool StreamToBuffer(int size, void* dst, unsigned int* written, bool loop) override;
    void SetPosition(float seconds) override;

    int Position() const { return mPosition; }

private:
    std::shared_ptr<const TPcm> mPcm;
    int mPosition = 0;  // in bytes
};
