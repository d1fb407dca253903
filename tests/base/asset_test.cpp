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
