// The preloader: the game's shared animations, sounds and textures loaded
// once per run, as many assets as fit 10 ms of each 16 ms step, while the loading screen
// ("scripts/loading.lua") shows the heroine walking. What it loads stays in
// process-wide collections, so later screens and levels find it in the
// asset registry; the game's quit releases it (Preloader_FreeAllAssets).
#pragma once

#include "engine/base/animtask.h"
#include "engine/base/directorysearch.h"
#include "engine/window/window.h"
#include "game/screens/scriptedwindow.h"

#include <memory>

class IHeroine;
class TPreLoader;

// True once a preloader has been made this run (its constructor adds the
// heroine's two animations), so the menu opens the loading screen only once.
bool Preloader_AssetsLoaded();
// Deletes the preloaded animations and textures; the sounds stay.
void Preloader_FreeAllAssets();
// How many animations, sounds and textures are held (for tests and logs).
struct TPreloadCounts {
    int animations = 0;
    int sounds = 0;
    int textures = 0;
};
TPreloadCounts Preloader_Counts();

// Drives a preloader: each time it falls due, assets until the step's time
// budget is spent (at least one); when nothing is left it closes the loading
// screen and runs "HandleSSSGLoad();".
class TUpdatePreloaderTask : public TAnimTask {
public:
    explicit TUpdatePreloaderTask(TPreLoader* preloader);
    bool Animate() override;

private:
    TPreLoader* mPreloader;  // owned by the loading screen, which this task closes
};

class TPreLoader : public TScriptedWindow<TPreLoader> {
public:
    static const contract::TScreenSpec kContract;

    TPreLoader();
    ~TPreLoader() override;

    // Loads one asset; false when everything is loaded.
    bool LoadNextAsset();
    bool GoToNextTextureFolder();
    void Draw() override;

    // 0 to 1: how far the numbered assets, the sounds and the folders are.
    float GetProgress() const;
    // Sizes the loading screen's "progressbar" (inside its track) to the progress.
    void ShowProgress();

private:
    void LoadCustomerStep(int step);
    void LoadAnimationRow(int row);
    bool LoadNextSound();
    bool LoadNextTexture();

    std::unique_ptr<IHeroine> mQuessa;  // none when the floor's figure is not plugged in
    TDirectorySearch mSearch;
    int mIndex = 0;
    int mNumberedAssets = 0;
    int mTexturePhase = 0;  // 0 while scanning the sounds, 1 the texture folders
    int mFolder = -1;
};

