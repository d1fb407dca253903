#include "game/floor/floorart.h"

#include "engine/platform/platform.h"
#include "engine/render/animatedtexture.h"
#include "engine/render/texture.h"
#include "engine/script/animation.h"
#include "engine/sound/sound.h"
#include "engine/sound/soundmanager.h"
#include "game/settings/settings.h"

#include <cmath>
#include <random>

namespace floorart {

namespace {

std::minstd_rand& Cosmetic()
{
    static std::minstd_rand generator(20);
    return generator;
}

}  // namespace

int CosmeticRand() { return int(Cosmetic()() & 0x7fff); }

TClock* GameClock()
{
    TSettings* settings = TSettings::GetInstance();
    return settings ? settings->GetGameClock() : nullptr;
}

int RestaurantIndex()
{
    TSettings* settings = TSettings::GetInstance();
    return settings ? settings->GetCurrentRestaurant() : 0;
}

str RestaurantFolder()
{
    TSettings* settings = TSettings::GetInstance();
    return settings ? settings->GetCurrentRestaurantFolder() : str();
}

str RestaurantArt(const char* format)
{
    return str::getFormatted(format, RestaurantFolder().c_str(), RestaurantIndex() + 1);
}

void InitGameAnimation(TAnimation& animation, const str& name)
{
    animation.Init(name, "", "");
    animation.SetClock(GameClock());
}

std::shared_ptr<TSound> LoadSound(const char* name) { return TSound::Get(name, false, TSoundManager::kEffects); }

void Play(const std::shared_ptr<TSound>& sound)
{
    if (sound)
        sound->Play(false);
}

void PlayEither(const std::array<std::shared_ptr<TSound>, 2>& sounds)
{
    Play(sounds[std::size_t(CosmeticRand() & 1)]);
}

float Pulse(float seconds)
{
    float a = 2.0f * (seconds - std::floor(seconds));
    if (a > 1.0f)
        a = 2.0f - a;
    return a < 0 ? 0 : (a > 1 ? 1 : a);
}

TRect CentredBox(const std::shared_ptr<TTexture>& texture)
{
    if (!texture)
        return TRect{};
    const int w = texture->GetWidth(), h = texture->GetHeight();
    return TRect{-w / 2, -h / 2, w - w / 2, h - h / 2};
}

bool HitCentred(const std::shared_ptr<TTexture>& texture, TPoint centre, const TPoint& point)
{
    if (!texture)
        return false;
    TRect box = CentredBox(texture);
    box.Offset(centre.x, centre.y);
    return box.Contains(point);
}

TRect FrameBox(const TAnimation& animation, int frame, TPoint position)
{
    auto texture = animation.GetAnimatedTexture();
    if (!texture)
        return TRect{};
    TRect box = texture->BoundingBox(frame);
    box.Offset(position.x, position.y);
    return box;
}

bool HitFrame(const TAnimation& animation, int frame, TPoint position, const TPoint& point)
{
    return animation.GetAnimatedTexture() && FrameBox(animation, frame, position).Contains(point);
}

}  // namespace floorart
