#include "engine/render/model.h"

#include "engine/base/folders.h"

#include <cstdio>
#include <cstring>
#include <string>

TClassId TModel::ClassId()
{
    return MakeClassId(&TModel::ClassId);
}

bool TModel::IsKindOf(TClassId id) const
{
    return id == ClassId() || TAsset::IsKindOf(id);
}

std::shared_ptr<TModel> TModel::Get(str name)
{
    TAssetManager* assets = TAssetManager::GetInstance();
    if (assets)
        if (auto live = assets->GetAsset(name))
            if (auto model = live->GetCast<TModel>())
                return model;
    auto model = std::make_shared<TModel>();
    if (!model->Init(name.c_str()))
        return nullptr;
    if (assets)
        assets->AddAsset(name, model);
    return model;
}

TModel::~TModel()
{
    Free();
}

namespace {

// Reads little-endian 16-bit values; every read reports whether the file had them.
struct TMeshReader {
    std::FILE* file;

    bool Bytes(void* out, std::size_t n) { return std::fread(out, 1, n, file) == n; }
    bool U16(std::uint16_t* out)
    {
        unsigned char b[2];
        if (!Bytes(b, 2))
            return false;
        *out = std::uint16_t(b[0] | (b[1] << 8));
        return true;
    }
    bool Scaled(float* out)
    {
        std::uint16_t raw;
        if (!U16(&raw))
            return false;
        *out = float(std::int16_t(raw)) / 1000.0f;
        return true;
    }
};

bool ReadMesh(std::FILE* file, TModel::TMesh* mesh)
{
    TMeshReader in{file};
    char magic[4];
    if (!in.Bytes(magic, 4) || std::memcmp(magic, "TRIS", 4) != 0)
        return false;
    std::uint16_t vertexCount, triangleCount;
    if (!in.U16(&vertexCount) || !in.U16(&triangleCount))
        return false;
    mesh->vertices.resize(vertexCount);
    for (TGLVertexTNV& v : mesh->vertices) {
        float* fields[8] = {&v.x, &v.y, &v.z, &v.nx, &v.ny, &v.nz, &v.u, &v.v};
        for (float* field : fields)
            if (!in.Scaled(field))
                return false;
    }
    mesh->indices.resize(std::size_t(triangleCount) * 3);
    for (std::uint16_t& index : mesh->indices)
        if (!in.U16(&index) || index >= vertexCount)
            return false;
    mesh->vertexCount = vertexCount;
    mesh->indexCount = int(mesh->indices.size());
    return true;
}

}  // namespace

bool TModel::Init(const char* name)
{
    Free();
    if (!name || std::string(name).find(".mesh") == std::string::npos)
        return false;
    char path[qm::kPathBufferSize] = {};
    std::FILE* file = qm::OpenResource(name, path);
    if (!file)
        return false;
    auto mesh = std::make_unique<TMesh>();
    bool ok = ReadMesh(file, mesh.get());
    std::fclose(file);
    if (!ok)
        return false;
    mesh->path = name;
    mMesh = std::move(mesh);
    return true;
}

void TModel::Free()
{
    mMesh.reset();
}

void TModel::Release()
{
    if (mMesh)
        mMesh->vertices.clear();
}

void TModel::Restore()
{
    if (mMesh) {
        str path = mMesh->path;
        Init(path.c_str());
    }
}

void RegisterModelAssetLoader()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    TAssetMap::RegisterLoader(kModelLoaderOrder, [](const str& name) -> std::shared_ptr<TAsset> {
        if (std::string(name.c_str()).find(".mesh") == std::string::npos)
            return nullptr;
        return TModel::Get(name);
    });
}

static const bool gModelLoaderRegistered = (RegisterModelAssetLoader(), true);
