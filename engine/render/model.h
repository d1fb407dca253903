// TModel: a triangle mesh loaded from a ".mesh" file and shared through the
// asset registry like a texture. Nothing draws meshes yet; this loads, keeps
// and reloads them for the 3D path of the display handler.
//
// ".mesh", little-endian: "TRIS"; vertex count and triangle count (unsigned
// 16-bit); per vertex eight signed 16-bit values (position x, y, z, normal
// x, y, z, u, v), each the stored integer / 1000; then three unsigned 16-bit
// vertex indices per triangle.
#pragma once

#include "engine/base/asset.h"

#include <cstdint>
#include <memory>
#include <vector>

struct TGLVertexTNV {
    float u = 0, v = 0;
    float nx = 0, ny = 0, nz = 0;
    float x = 0, y = 0, z = 0;
};
static_assert(sizeof(TGLVertexTNV) == 32);

class TModel : public TAsset {
public:
    struct TMesh {
        std::vector<TGLVertexTNV> vertices;
        int vertexCount = 0;
        std::vector<std::uint16_t> indices;  // three a triangle
        int indexCount = 0;
        str path;
    };

    static TClassId ClassId();
    bool IsKindOf(TClassId id) const override;

    // The live model registered under the name, else one loaded from it; empty on failure.
    static std::shared_ptr<TModel> Get(str name);

    ~TModel() override;

    // Loads the mesh; false for a name without ".mesh", a missing, short or
    // malformed file, or an index past the vertices (nothing is kept then).
    bool Init(const char* name);
    void Free();
    // Drops the vertices (counts, indices and path stay) until Restore.
    void Release() override;
    void Restore() override;

    const TMesh* GetMesh() const { return mMesh.get(); }

private:
    std::unique_ptr<TMesh> mMesh;
};

// Loads models named in asset maps (".mesh" names). Repeated calls register nothing more.
void RegisterModelAssetLoader();
