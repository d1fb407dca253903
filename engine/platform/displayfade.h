// The screen's fade to black before a display change and back after it.
//
// Only the timing lives here: how black the picture is at a given moment of
// the platform clock. Who draws the black over the picture (the display
// host) and who waits for it (TPlatformData) are elsewhere, so this is
// tested with any clock at all.
#pragma once

#include <cstdint>

namespace qm {

class TDisplayFade {
public:
    // To black before the change (the caller waits), back from black after
    // it (the program runs on meanwhile).
    static constexpr std::uint32_t kOutMs = 500;
    static constexpr std::uint32_t kBackMs = 3000;

    // Starts darkening from however dark the picture is now, so a change
    // asked for while the last fade is still clearing never flashes.
    void StartOut(std::uint32_t now);
    // Starts clearing from full black.
    void StartBack(std::uint32_t now);
    // Jumps to full black at once (there was no picture to darken).
    void SetBlack(std::uint32_t now);

    // How black the picture is at `now`: 0 clear, 1 black.
    float Blackness(std::uint32_t now) const;
    // The fade to black has reached black.
    bool IsBlack(std::uint32_t now) const;
    // Anything to draw at `now`: darkening, black, or not yet clear.
    bool IsShowing(std::uint32_t now) const;

private:
    enum class EPhase { kClear, kOut, kBack };
    // Milliseconds since the phase began; clock wrap-around is harmless.
    std::uint32_t elapsed(std::uint32_t now) const { return now - mStart; }

    EPhase mPhase = EPhase::kClear;
    std::uint32_t mStart = 0;
    float mFrom = 0;  // the blackness the fade to black began at
};

}  // namespace qm
