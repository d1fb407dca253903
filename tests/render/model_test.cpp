#include "engine/render/model.h"

#include "testimages.h"

#include <gtest/gtest.h>

using namespace testimages;

namespace {

void Put16(std::vector<std::uint8_t>& out, int value)
{
    out.push_back(std::uint8_t(value & 0xff));
    out.push_back(std::uint8_t((value >> 8) & 0xff));
}

// One triangle; the first coordinate is -1500.
std::vector<std::uint8_t> Mesh(int lastIndex = 2)
{
    std::vector<std::uint8_t> bytes = {'T', 'R', 'I', 'S'};
    Put16(bytes, 3);
    Put16(bytes, 1);
    for (int v = 0; v < 3; ++v) {
        int values[8] = {v == 0 ? -1500 : v * 1000, 250, 0, 0, 0, 1000, v * 500, 1000};
        for (int value : values)
            Put16(bytes, value);
    }
    Put16(bytes, 0);
    Put16(bytes, 1);
    Put16(bytes, lastIndex);
    return bytes;
}

class ModelTest : public ::testing::Test {
protected:
    ScratchDir scratch;
    TAssetManager assets;
};

TEST_F(ModelTest, LoadsVerticesAndIndicesScaledByOneThousand)
{
    WriteBytes("tri.mesh", Mesh());
    auto model = TModel::Get("tri.mesh");
    ASSERT_TRUE(model);
    const TModel::TMesh* mesh = model->GetMesh();
    ASSERT_TRUE(mesh);
    EXPECT_EQ(mesh->vertexCount, 3);
    EXPECT_EQ(mesh->indexCount, 3);
    EXPECT_FLOAT_EQ(mesh->vertices[0].x, -1.5f);
    EXPECT_FLOAT_EQ(mesh->vertices[0].y, 0.25f);
    EXPECT_FLOAT_EQ(mesh->vertices[0].nz, 1.0f);
    EXPECT_FLOAT_EQ(mesh->vertices[2].u, 1.0f);
    EXPECT_EQ(mesh->indices[2], 2);
    EXPECT_EQ(TModel::Get("tri.mesh"), model);
    EXPECT_TRUE(model->IsKindOf(TAsset::ClassId()));
}

TEST_F(ModelTest, BadMagicShortFilesAndStrayIndicesFail)
{
    auto bad = Mesh();
    bad[0] = 'X';
    WriteBytes("bad.mesh", bad);
    auto whole = Mesh();
    WriteBytes("short.mesh", std::vector<std::uint8_t>(whole.begin(), whole.end() - 3));
    WriteBytes("stray.mesh", Mesh(3));
    WriteBytes("tri.obj", Mesh());
    for (const char* name : {"bad.mesh", "short.mesh", "stray.mesh", "tri.obj", "none.mesh"}) {
        EXPECT_FALSE(TModel::Get(name)) << name;
        EXPECT_FALSE(assets.GetAsset(name)) << name;
    }
}

TEST_F(ModelTest, ReleaseThenRestoreReloadsTheFile)
{
    WriteBytes("tri.mesh", Mesh());
    auto model = TModel::Get("tri.mesh");
    ASSERT_TRUE(model);
    model->Release();
    EXPECT_TRUE(model->GetMesh()->vertices.empty());
    EXPECT_EQ(model->GetMesh()->indexCount, 3);
    model->Restore();
    ASSERT_TRUE(model->GetMesh());
    EXPECT_EQ(model->GetMesh()->vertices.size(), 3u);
}

TEST_F(ModelTest, AssetMapsLoadMeshesByName)
{
    WriteBytes("tri.mesh", Mesh());
    TAssetMap map;
    map.AddAsset("tri.mesh");
    EXPECT_EQ(map.Count(), 1);
    EXPECT_TRUE(assets.GetAsset("tri.mesh"));
}

}  // namespace
