#include "engine/base/asset.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Two asset kinds in the shape every real kind has: Get builds the key,
// asks the registry, else creates, registers and "loads".
class TFakeTexture : public TAsset {
public:
    static TClassId ClassId() { return MakeClassId(&TFakeTexture::ClassId); }
    bool IsKindOf(TClassId id) const override { return id == ClassId() || TAsset::IsKindOf(id); }

    static std::shared_ptr<TFakeTexture> Get(const str& name)
    {
        str key = str("tex:") + name;
        if (auto found = TAssetManager::GetInstance()->GetAsset(key))
            return std::static_pointer_cast<TFakeTexture>(found);
        auto created = std::make_shared<TFakeTexture>();
        TAssetManager::GetInstance()->AddAsset(key, created);
        ++sLoads;
        return created;
    }
    static int sLoads;
};
int TFakeTexture::sLoads = 0;

class TFakeSound : public TAsset {
public:
    static TClassId ClassId() { return MakeClassId(&TFakeSound::ClassId); }
    bool IsKindOf(TClassId id) const override { return id == ClassId() || TAsset::IsKindOf(id); }
};

// What the map's loaders were asked for, and which kinds answer.
std::vector<std::string> gAsked;
bool gTexturesLoad = true;
bool gModelsLoad = true;
std::weak_ptr<TAsset> gLastLoaded;

void registerFakeLoaders()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    // Registered out of order on purpose: the order number decides.
    TAssetMap::RegisterLoader(kSoundLoaderOrder, [](const str& name) -> std::shared_ptr<TAsset> {
        gAsked.push_back(std::string("sound:") + name.c_str());
        return nullptr;
    });
    TAssetMap::RegisterLoader(kTextureLoaderOrder, [](const str& name) -> std::shared_ptr<TAsset> {
        gAsked.push_back(std::string("texture:") + name.c_str());
        if (!gTexturesLoad)
            return nullptr;
        auto loaded = TFakeTexture::Get(name);
        gLastLoaded = loaded;
        return loaded;
    });
    TAssetMap::RegisterLoader(kModelLoaderOrder, [](const str& name) -> std::shared_ptr<TAsset> {
        gAsked.push_back(std::string("model:") + name.c_str());
        if (!gModelsLoad)
            return nullptr;
        auto loaded = std::make_shared<TFakeSound>();
        gLastLoaded = loaded;
        return loaded;
    });
}

class Assets : public ::testing::Test {
protected:
    void SetUp() override
    {
        registerFakeLoaders();
        gAsked.clear();
        gTexturesLoad = true;
        gModelsLoad = true;
        TFakeTexture::sLoads = 0;
    }
    TAssetManager mRegistry;
};

}  // namespace

TEST_F(Assets, RegistrySharesWhileHeldAndReloadsAfterwards)
{
    EXPECT_EQ(TAssetManager::GetInstance(), &mRegistry);
    auto first = TFakeTexture::Get("a.png");
    auto second = TFakeTexture::Get("a.png");
    EXPECT_EQ(first, second);
    EXPECT_EQ(TFakeTexture::sLoads, 1);
    std::weak_ptr<TFakeTexture> watch = first;
    first.reset();
    second.reset();
    EXPECT_TRUE(watch.expired()) << "the registry never keeps an asset alive";
    EXPECT_EQ(mRegistry.GetAsset("tex:a.png"), nullptr);
    auto third = TFakeTexture::Get("a.png");
    EXPECT_EQ(TFakeTexture::sLoads, 2);
    mRegistry.RemoveAsset("tex:a.png");
    EXPECT_EQ(mRegistry.GetAsset("tex:a.png"), nullptr);
}

TEST_F(Assets, CastsFollowTheKind)
{
    auto texture = TFakeTexture::Get("b.png");
    EXPECT_EQ(texture->GetCast<TFakeSound>(), nullptr);
    EXPECT_EQ(texture->GetCast<TFakeTexture>(), texture);
    EXPECT_EQ(texture->GetCast<TAsset>(), texture->GetRef());
    auto sound = std::make_shared<TFakeSound>();
    EXPECT_EQ(sound->GetCast<TFakeSound>(), sound->GetRef());
    EXPECT_TRUE(sound->IsKindOf(TAsset::ClassId()));
    EXPECT_FALSE(sound->IsKindOf(TFakeTexture::ClassId()));
}

TEST_F(Assets, GetRefOfAnAssetWithoutOwnerThrows)
{
    TFakeSound loose;
    EXPECT_THROW(loose.GetRef(), std::bad_weak_ptr);
}

TEST_F(Assets, MapLoadsByFileNameWithForwardSlashes)
{
    TAssetMap map;
    map.AddAsset("ui\\logo.png");
    EXPECT_EQ(gAsked, (std::vector<std::string>{"texture:ui/logo.png"}));
    EXPECT_EQ(map.Count(), 1);
    EXPECT_FALSE(gLastLoaded.expired()) << "the map holds what it loaded";
    EXPECT_NE(mRegistry.GetAsset("tex:ui/logo.png"), nullptr);
    map.Release();
    EXPECT_TRUE(gLastLoaded.expired());
    EXPECT_EQ(map.Count(), 0);
}

TEST_F(Assets, MapTriesTexturesThenModelsThenSounds)
{
    TAssetMap map;
    gTexturesLoad = false;
    map.AddAsset("thing.mesh");
    EXPECT_EQ(gAsked, (std::vector<std::string>{"texture:thing.mesh", "model:thing.mesh"}));
    EXPECT_EQ(map.Count(), 1);

    gAsked.clear();
    gModelsLoad = false;
    map.AddAsset("missing.ogg");
    EXPECT_EQ(gAsked, (std::vector<std::string>{"texture:missing.ogg", "model:missing.ogg", "sound:missing.ogg"}));
    EXPECT_EQ(map.Count(), 1) << "nothing is stored when every loader fails";
}

TEST_F(Assets, MapReplacesUnderTheSameKeyAndWorksAfterRelease)
{
    TAssetMap map;
    auto first = std::make_shared<TFakeSound>();
    std::weak_ptr<TFakeSound> watch = first;
    map.AddAsset("k", first);
    first.reset();
    EXPECT_FALSE(watch.expired());
    map.AddAsset("k", std::make_shared<TFakeSound>());
    EXPECT_TRUE(watch.expired()) << "the earlier strong reference was dropped";
    EXPECT_EQ(map.Count(), 1);
    EXPECT_TRUE(gAsked.empty()) << "a given asset is stored, not loaded";

    map.Release();
    auto again = std::make_shared<TFakeSound>();
    std::weak_ptr<TFakeSound> watchAgain = again;
    map.AddAsset("k", again);
    again.reset();
    EXPECT_FALSE(watchAgain.expired());
    EXPECT_EQ(map.Count(), 1);
}

TEST_F(Assets, KeepingHoldsWhatIsAddedUntilAnotherOwnerOrLowMemoryDropsIt)
{
    // Loaded before keeping: dies with its last user.
    std::weak_ptr<TFakeTexture> early = TFakeTexture::Get("menu.png");
    EXPECT_TRUE(early.expired());

    mRegistry.KeepFor("restaurant 0");
    EXPECT_TRUE(mRegistry.IsKeeping());
    std::weak_ptr<TFakeTexture> room = TFakeTexture::Get("room.png");
    std::weak_ptr<TFakeTexture> table = TFakeTexture::Get("table.png");
    EXPECT_FALSE(room.expired()) << "kept beyond its users";
    EXPECT_EQ(mRegistry.KeptCount(), 2);
    mRegistry.StopKeeping();
    std::weak_ptr<TFakeTexture> dialog = TFakeTexture::Get("dialog.png");
    EXPECT_TRUE(dialog.expired()) << "added while not keeping";
    EXPECT_FALSE(room.expired()) << "stopping keeps what was kept";

    // The next level of the same restaurant loads nothing again.
    mRegistry.KeepFor("restaurant 0");
    EXPECT_EQ(TFakeTexture::Get("room.png"), room.lock());
    EXPECT_EQ(TFakeTexture::sLoads, 4);
    EXPECT_EQ(mRegistry.KeptCount(), 2);

    // Another restaurant lets the first one's go, and keeps its own.
    auto held = TFakeTexture::Get("table.png");
    mRegistry.KeepFor("restaurant 1");
    EXPECT_TRUE(room.expired());
    EXPECT_FALSE(table.expired()) << "still held by a user";
    EXPECT_EQ(mRegistry.KeptCount(), 0);
    held.reset();
    EXPECT_TRUE(table.expired());
    std::weak_ptr<TFakeTexture> other = TFakeTexture::Get("other.png");
    EXPECT_FALSE(other.expired());

    // Low memory: everything kept goes, keeping goes on.
    mRegistry.DropKept();
    EXPECT_TRUE(other.expired());
    EXPECT_EQ(mRegistry.GetAsset("tex:other.png"), nullptr);
    EXPECT_TRUE(mRegistry.IsKeeping());
    std::weak_ptr<TFakeTexture> after = TFakeTexture::Get("after.png");
    EXPECT_FALSE(after.expired());
}

TEST_F(Assets, ExpiredEntriesAreForgottenAsAssetsComeAndGo)
{
    // A registry entry of a dead asset is still reachable by key until pruned;
    // many loads must not leave all of them behind.
    for (int i = 0; i < 2000; ++i)
        TFakeTexture::Get(str::getFormatted("picture%d.png", i));
    auto live = TFakeTexture::Get("live.png");
    for (int i = 0; i < 300; ++i)
        TFakeTexture::Get(str::getFormatted("more%d.png", i));
    EXPECT_EQ(mRegistry.GetAsset("tex:live.png"), live);
    EXPECT_LT(mRegistry.EntryCount(), 300);
}

TEST_F(Assets, KeepingLeavesAssetsRegisteredUnderTheirOwnAddress)
{
    // As textures made at run time are registered: nobody can ask for them
    // by name again, so keeping them would only hold them.
    mRegistry.KeepFor("restaurant 0");
    auto made = std::make_shared<TFakeSound>();
    std::weak_ptr<TFakeSound> watch = made;
    mRegistry.AddAsset(str::getFormatted("%p:tex:r", static_cast<void*>(made.get())), made);
    made.reset();
    EXPECT_TRUE(watch.expired());
    EXPECT_EQ(mRegistry.KeptCount(), 0);
}
