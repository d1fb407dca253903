// Small helpers the floor pieces share: the game clock, the current
// restaurant, sounds of the floor's type and the attention pulse.
#pragma once

#include "engine/base/rect.h"
#include "engine/base/str.h"

#include <array>
#include <memory>

class TClock;
class TAnimation;
class TSound;
class TTexture;

namespace floorart {

// The settings' game clock; null without settings (the platform timer).
TClock* GameClock();
// Current restaurant index 0-5; 0 without settings.
int RestaurantIndex();
// The current restaurant's art folder ("" without settings).
str RestaurantFolder();
// A printf-style name with the restaurant's folder and id (index + 1).
str RestaurantArt(const char* format);
std::shared_ptr<TSound> LoadSound(const char* name);
void Play(const std::shared_ptr<TSound>& sound);
// Loads an animation file (no image or mask override) on the game clock, so
// it stands still while the game is paused.
void InitGameAnimation(TAnimation& animation, const str& name);
// The floor's cosmetic dice (fidgets, which of two sounds): a generator of
// its own, so how she fidgets never changes the course of a seeded game.
int CosmeticRand();
// One of two at random, as every paired floor sound.
void PlayEither(const std::array<std::shared_ptr<TSound>, 2>& sounds);
// Triangle wave of period 1 s: 0 up to 1 at half a second, back to 0.
float Pulse(float seconds);
// The texture's box centred on the origin; all zero without a texture.
TRect CentredBox(const std::shared_ptr<TTexture>& texture);
// The point lies in the texture centred on centre, edges included.
bool HitCentred(const std::shared_ptr<TTexture>& texture, TPoint centre, const TPoint& point);
// A frame's box placed at position (empty without art).
TRect FrameBox(const TAnimation& animation, int frame, TPoint position);
// The point lies in the animation's frame drawn at position, edges included.
bool HitFrame(const TAnimation& animation, int frame, TPoint position, const TPoint& point);

}  // namespace floorart
