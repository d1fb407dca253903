#include "game/screens/preloader.h"

#include "engine/base/asset.h"
#include "engine/base/debuglog.h"
#include "engine/base/timesource.h"
#include "engine/platform/platform.h"
#include "engine/render/animatedtexture.h"
#include "engine/render/texture.h"
#include "engine/script/animation.h"
#include "engine/sound/sound.h"
#include "engine/sound/soundmanager.h"
#include "engine/window/modalwindow.h"
#include "engine/window/windowmanager.h"
#include "engine/window/windowscripthook.h"
#include "game/floor/customerstates.h"
#include "game/screens/heroine.h"
#include "game/screens/windoworigin.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string_view>
#include <vector>

namespace {

constexpr int kStepPeriodMs = 16;
// Of each 60 Hz frame, what loading may take: the rest draws the loading
// screen, so the heroine keeps walking and the bar keeps moving. Measured on
// the engine's clock, so a run on a fake clock loads the same every time.
constexpr std::int32_t kStepBudgetMs = 10;
// And at most this much of the bar a step, so that even when everything is
// at hand the bar moves through half a second instead of flashing past.
constexpr float kStepProgress = 1.0f / 30.0f;

std::vector<std::unique_ptr<TAnimation>> gPreloadedAnims;
std::vector<std::shared_ptr<TSound>> gPreloadedSounds;
TAssetMap gPreloadedTextures;
int gPreloadedTextureCount = 0;

const char* const kCustomerNames[] = {
    "old_male",     "young_female", "bookworm_female", "cellphone_male", "business_female",
    "fitness_female", "mom_female", "dad_male",        "kid_male",       "lovebird_female",
    "lovebird_male", "tourist_female", "tourist_male",
};
const char* const kColourNames[] = {"red", "blue", "green", "yellow", "purple"};
constexpr int kColours = 5;
constexpr int kCustomerSteps = static_cast<int>(std::size(kCustomerNames)) * kColours;

struct TAnimationRow {
    const char* anim;
    const char* texture;  // empty: the animation's own
};

// The cook is drawn from each restaurant's own folder; the first
// restaurant's is the one a new career opens on.
const TAnimationRow kAnimationNames[] = {
    {"restaurants/cruise/people/cook.anm", ""},
    {"furniture/dishcart.anm", ""},
    {"furniture/ticketstation.anm", ""},
    {"furniture/bench.anm", ""},
    {"furniture/luxury_bench.anm", ""},
    {"furniture/spill.anm", ""},
    {"furniture/phone_station.anm", ""},
    {"furniture/podium_heart.anm", ""},
    {"people/hostess/idle.anm", ""},
    {"people/busser/idle.anm", ""},
    {"people/busser/upper.anm", ""},
    {"people/busser/lower.anm", ""},
    {"ui/ui_jar.anm", ""},
    {"ui/ui_globe.anm", ""},
    {"ui/angersmoke.anm", ""},
    {"ui/heartgrow.anm", ""},
    {"ui/camera_flash.anm", ""},
    {"ui/chairflags.anm", ""},
    {"ui/foodpoof.anm", ""},
    {"ui/personpoof.anm", ""},
    {"ui/coinflip.anm", ""},
    {"ui/upgradeanim.anm", ""},
    {"ui/smooch", ""},
    {"quessa/base", ""},
    {"customers/mom_female/baby.anm", "baby.png?palette=customers/mom_female/green_baby.pal"},
    {"customers/mom_female/baby.anm", "baby.png?palette=customers/mom_female/red_baby.pal"},
    {"customers/mom_female/baby.anm", "baby.png?palette=customers/mom_female/blue_baby.pal"},
    {"customers/mom_female/baby.anm", "baby.png?palette=customers/mom_female/yellow_baby.pal"},
    {"customers/mom_female/baby.anm", "baby.png?palette=customers/mom_female/purple_baby.pal"},
    {"furniture/highchairbaby.anm", "highchairbaby.png?palette=furniture/red_highchairbaby.pal"},
    {"furniture/highchairbaby.anm", "highchairbaby.png?palette=furniture/blue_highchairbaby.pal"},
    {"furniture/highchairbaby.anm", "highchairbaby.png?palette=furniture/green_highchairbaby.pal"},
    {"furniture/highchairbaby.anm", "highchairbaby.png?palette=furniture/yellow_highchairbaby.pal"},
    {"furniture/highchairbaby.anm", "highchairbaby.png?palette=furniture/purple_highchairbaby.pal"},
};
constexpr int kNumberedAssets = kCustomerSteps + static_cast<int>(std::size(kAnimationNames));

const char* const kTextureFolders[] = {"accessories", "ui", "furniture", "ui/bubbles", "ui/notes"};
constexpr int kTextureFolderCount = static_cast<int>(std::size(kTextureFolders));

// The effects the game plays. Anything else in the folder (a stray file, a
// sound of a removed feature) is not loaded.
const char* const kGameSounds[] = {
    "baby_cry.ogg", "bothsmooching1.ogg", "camera1.ogg", "cellphone_noise_1.ogg", "chef_cook1.ogg",
    "chef_cook2.ogg", "closing_time.ogg", "customer_ditch.ogg", "dialog_down.ogg", "dialog_up.ogg",
    "expert.ogg", "highchair_deliver.ogg", "highchair_pickup.ogg", "keystroke2.ogg", "level_lose.ogg",
    "level_win.ogg", "mop_pickup.ogg", "mop_spill.ogg", "powerup_appear.ogg", "seat_refused.ogg", "sfx_deliver_food_1_snd.ogg",
    "sfx_deliver_food_2_snd.ogg", "sfx_dish_dropoff_1_snd.ogg", "sfx_dish_dropoff_2_snd.ogg",
    "sfx_dropoff_drinks_1.ogg", "sfx_dropoff_drinks_2.ogg", "sfx_food_ready_1_snd.ogg", "sfx_food_ready_2_snd.ogg",
    "sfx_gain_heart_1.ogg", "sfx_get_drinks_1_snd.ogg", "sfx_menu_down.ogg", "sfx_party_arrive_1_snd.ogg",
    "sfx_pencil_write_2.ogg", "sfx_pickup_food_1_snd.ogg", "sfx_seat_people_snd.ogg",
    "spaceship_customers_appear.ogg", "spill.ogg", "table_drink.ogg", "tip_1.ogg", "turbulence.ogg",
    "upgrade_flash.ogg",
};

bool IsGameSound(std::string_view file)
{
    return std::any_of(std::begin(kGameSounds), std::end(kGameSounds),
                       [file](const char* name) { return file == name; });
}

bool EndsWith(std::string_view s, std::string_view tail)
{
    return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

void KeepTexture(const str& name)
{
    if (std::shared_ptr<TTexture> texture = TTexture::Get(name)) {
        gPreloadedTextures.AddAsset(name, texture);
        ++gPreloadedTextureCount;
    }
}

TAnimation* AddAnimation(const str& anim, const str& texture)
{
    auto animation = std::make_unique<TAnimation>();
    animation->Init(anim, texture, "");
    gPreloadedAnims.push_back(std::move(animation));
    return gPreloadedAnims.back().get();
}

}  // namespace

bool Preloader_AssetsLoaded() { return !gPreloadedAnims.empty(); }

void Preloader_FreeAllAssets()
{
    while (!gPreloadedAnims.empty())
        gPreloadedAnims.pop_back();
    gPreloadedTextures.Release();
    gPreloadedTextureCount = 0;
}

TPreloadCounts Preloader_Counts()
{
    return {static_cast<int>(gPreloadedAnims.size()), static_cast<int>(gPreloadedSounds.size()),
            gPreloadedTextureCount};
}

// ---- TUpdatePreloaderTask ----

TUpdatePreloaderTask::TUpdatePreloaderTask(TPreLoader* preloader) : mPreloader(preloader)
{
    SetDelay(kStepPeriodMs, true, true, false);
}

bool TUpdatePreloaderTask::Animate()
{
    // As many assets as fit the step's budget; always at least one.
    const std::uint32_t start = qm::Timer();
    const float from = mPreloader->GetProgress();
    bool more = mPreloader->LoadNextAsset();
    while (more && qm::TimeDiff(qm::Timer(), start) < kStepBudgetMs &&
           mPreloader->GetProgress() - from < kStepProgress)
        more = mPreloader->LoadNextAsset();
    if (more) {
        mPreloader->ShowProgress();
        mPreloader->InvalidateRect(nullptr);
        return true;
    }
    // The loading screen goes (and this task with its list, once the list
    // has finished running it); then the scripts take over again.
    TWindowManager* manager = TWindowManager::GetInstance();
    if (!manager)
        return false;
    manager->PopModal();
    if (IWindowScript* script = manager->GetScript())
        script->RunLuaText("HandleSSSGLoad();");
    return false;
}

// ---- TPreLoader ----

// The loading screen's bar lies beside the preloader, in its track.
namespace {
constexpr auto kProgressbar = contract::Child<TWindow>("progressbar").InScreen();
const contract::TChildSpec kLoadingChildren[] = {
    kProgressbar,
};
}  // namespace

const contract::TScreenSpec TPreLoader::kContract{"TPreLoader", "PreLoader", "scripts/loading.lua", {},
                                                  kLoadingChildren};

TPreLoader::TPreLoader() : mNumberedAssets(kNumberedAssets)
{
    // Her default top and skirt: the upper and lower halves of the outfit
    // every new player starts in (her body is one of the numbered rows).
    AddAnimation("quessa/top1.anm", "");
    AddAnimation("quessa/bottom1.anm", "");
    TWindowManager* manager = TWindowManager::GetInstance();
    if (TModalWindow* top = manager ? manager->GetTopModalWindow() : nullptr)
        top->AdoptTask(new TUpdatePreloaderTask(this));  // the loading screen's task list owns it
    mQuessa = MakeHeroine();
    if (mQuessa) {
        mQuessa->PlayAnim("WalkSideways");
        mQuessa->SetPosition({225.0f, 250.0f});
    }
}

TPreLoader::~TPreLoader() = default;

bool TPreLoader::LoadNextAsset()
{
    if (mIndex < mNumberedAssets) {
        if (mIndex < kCustomerSteps)
            LoadCustomerStep(mIndex);
        else
            LoadAnimationRow(mIndex - kCustomerSteps);
        if (++mIndex == mNumberedAssets)
            mSearch.Reset("assets/audio/sfx/");
        return true;
    }
    return mTexturePhase == 0 ? LoadNextSound() : LoadNextTexture();
}

void TPreLoader::LoadCustomerStep(int step)
{
    const str customer = kCustomerNames[step / kColours];
    const str colour = kColourNames[step % kColours];
    if (step % kColours == 0)
        AddAnimation(str("customers/") + customer + "/anim.anm", "anim.png?palettized");
    // Every look of the colour: members of one type in a party wear them all.
    for (int look = 0; look < kCustomerLooks; ++look) {
        const str word = CustomerPaletteWord(step % kColours, look);
        if (std::shared_ptr<TAnimatedTexture> sheet = gPreloadedAnims.back()->GetAnimatedTexture())
            sheet->LoadPalette(str("customers/") + customer + "/" + word + ".pal");
        KeepTexture(str("customers/") + customer + "/legs?palette=customers/" + customer + "/" + word + "_legs.pal");
    }
}

void TPreLoader::LoadAnimationRow(int row)
{
    AddAnimation(kAnimationNames[row].anim, kAnimationNames[row].texture);
}

bool TPreLoader::LoadNextSound()
{
    char file[1024];
    while (mSearch.GetNextFile(file, sizeof file)) {
        if (!IsGameSound(file))
            continue;
        const str path = str("audio/sfx/") + str(file);
        gPreloadedSounds.push_back(TSound::Get(path.c_str(), false, TSoundManager::kEffects));
        return true;
    }
    mTexturePhase = 1;
    return GoToNextTextureFolder();
}

bool TPreLoader::LoadNextTexture()
{
    char file[1024];
    if (!mSearch.GetNextFile(file, sizeof file))
        return GoToNextTextureFolder();
    const std::string_view name(file);
    if (!EndsWith(name, ".png") && !EndsWith(name, ".jpg"))
        return true;
    const str path = str(kTextureFolders[mFolder]) + "/" + str(file);
    // A picture with an animation beside it is that animation's sheet.
    const str sibling = path.substr(0, path.length() - 3) + "anm";
    TPlatform* platform = TPlatform::GetInstance();
    if (platform && platform->TranslateResource(sibling).length() > 0)
        return true;
    KeepTexture(path.substr(0, path.length() - 4));
    return true;
}

bool TPreLoader::GoToNextTextureFolder()
{
    if (mFolder + 1 >= kTextureFolderCount)
        return false;
    ++mFolder;
    mSearch.Reset((str("assets/") + str(kTextureFolders[mFolder])).c_str());
    return true;
}

float TPreLoader::GetProgress() const
{
    // The numbered assets are most of the work; the folders share the rest.
    const float numbered = static_cast<float>(mIndex) / static_cast<float>(mNumberedAssets);
    const float folders = static_cast<float>(mFolder + 1) / static_cast<float>(kTextureFolderCount + 1);
    return 0.8f * numbered + 0.2f * folders;
}

void TPreLoader::ShowProgress()
{
    // The loading screen's bar, when it has one, grows from its laid-out
    // height to its full width.
    TWindow* bar = ScreenChild(kProgressbar);
    TWindow* track = bar ? bar->GetParent() : nullptr;
    if (!track)
        return;
    const int full = track->GetWindowWidth();
    const int width = std::max(bar->GetWindowHeight(), static_cast<int>(GetProgress() * static_cast<float>(full)));
    bar->SetWindowSize(std::min(width, full), bar->GetWindowHeight());
    bar->InvalidateRect(nullptr);
}

void TPreLoader::Draw()
{
    TPlatform* platform = TPlatform::GetInstance();
    if (!mQuessa || !platform || !platform->Begin2d())
        return;
    mQuessa->Draw(WindowOriginInViewport(*this, *platform));
    platform->End2d();
}
