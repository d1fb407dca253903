// TChooseRestaurant ("ChooseRestaurant"): the map of the restaurants. In
// career mode one marker per level reached and a padlock per level still
// closed; in endless mode the unlocked restaurants sparkle under the mouse
// and a click opens the difficulty choice.
#pragma once

#include "engine/base/vec.h"
#include "engine/script/animation.h"
#include "engine/window/window.h"
#include "game/screens/scriptedwindow.h"

#include <cstdint>
#include <memory>

class TSound;
class TTexture;

class TChooseRestaurant : public TScriptedWindow<TChooseRestaurant> {
public:
    static const contract::TScreenSpec kContract;

    static constexpr int kRestaurants = 6;

    TChooseRestaurant();
    ~TChooseRestaurant() override;

    void PostChildrenInit() override;
    void Draw() override;
    bool OnTaskAnimate() override;
    bool OnMessage(TMessage* message) override;
    bool OnKeyDown(char, int) override { return false; }
    bool OnMouseMove(const TPoint& p) override;
    bool OnMouseDown(const TPoint& p) override;
    bool OnMouseUp(const TPoint& p) override;

    void SetupGame();
    void FlashRestaurant();
    void ReleaseMapAssets();
    void SetBestScoreText(int level);
    int PointToRestaurant(const TPoint& p);
    // Where level n's marker is centred on the map.
    static TPoint LevelPosition(int n);

private:
    void CreateButtons();
    void CreateButton(int n, bool unlocked, bool plain);
    bool IsRestaurantShown(int restaurant);

    struct TRestaurant {
        std::shared_ptr<TTexture> sparkle;
        TAnimation animation;
        TVec2 position;
        std::shared_ptr<TTexture> overlay;
        TVec2 overlayPosition;
    };
    TRestaurant mRestaurants[kRestaurants];
    TPoint mMouse{-1, -1};
    int mPressed = -1;
    std::uint32_t mLastTime = 0;
    std::uint32_t mTotalTime = 0;
    bool mAnimsStarted = false;
    std::shared_ptr<TSound> mFlashSound;
};

