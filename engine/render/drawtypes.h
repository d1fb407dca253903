// The records and modes the display handler draws with. The platform facade
// exposes the enumerations as its own (TPlatform::EDrawType and so on); it
// declares them without their values, hence the fixed underlying type.
#pragma once

#include "engine/render/rendertypes.h"

enum EDrawType : int {
    kDrawPoints0 = 0,
    kDrawPoints = 1,
    kDrawLines = 2,
    kDrawLineStrip = 3,
    kDrawTriangles = 4,
    kDrawTriangleStrip = 5,
    kDrawTriangleFan = 6,
};

enum EBlendModes : int {
    kBlendAlpha = 0,
    kBlendOff = 1,
    kBlendAdditive = 2,
    kBlendAlphaAdditive = 3,
    kBlendReverseSubtract = 4,
};

enum EFilteringModes : int {
    kFilterPoint = 0,
    kFilterLinear = 1,
};

enum ECullModes : int {
    kCullNone = 1,
    kCullClockwise = 2,
    kCullCounterClockwise = 3,
};

enum EShadeModes : int {
    kShadeFlat = 1,
    kShadeSmooth = 2,
};

// A screen-space vertex: x and y are pixels from the top left, y down.
struct TTransformedLitVert {
    float x = 0, y = 0, z = 0, rhw = 1;
    TColor32 color;
    TColor32 specular;
    float u = 0, v = 0;
};
static_assert(sizeof(TTransformedLitVert) == 32, "vertices are handed to GL with a stride of 32");

// The glyph rasteriser's vertices: drawn exactly like TTransformedLitVert.
struct TPreScaledTransformedLitVert : TTransformedLitVert {};
static_assert(sizeof(TPreScaledTransformedLitVert) == 32);

// A vertex lit by the 3D pipeline: position, normal, texture coordinates.
struct TLitVert {
    float x = 0, y = 0, z = 0;
    float nx = 0, ny = 0, nz = 0;
    float u = 0, v = 0;
};
static_assert(sizeof(TLitVert) == 32);

// A view of vertices owned by the caller. Kinds: 0 TLitVert, 1 and 2 transformed lit.
class TVertexSet {
public:
    TVertexSet(TTransformedLitVert* vertices, int count) : mKind(2), mVertices(vertices), mCount(count) {}
    TVertexSet(TPreScaledTransformedLitVert* vertices, int count) : mKind(2), mVertices(vertices), mCount(count) {}
    TVertexSet(TLitVert* vertices, int count) : mKind(0), mVertices(vertices), mCount(count) {}

    // A caller that refills a fixed array draws a varying number with one set.
    void SetCount(int count) { mCount = count; }

    int GetKind() const { return mKind; }
    const void* GetVertices() const { return mVertices; }
    int GetCount() const { return mCount; }

private:
    int mKind;
    const void* mVertices;
    int mCount;
};

struct TMaterial {
    TColor diffuse, ambient, specular, emissive;
    float power = 0;
};

struct TLight {
    enum { kDirectional = 0, kPoint = 1, kSpot = 2 };
    int kind = kDirectional;
    TColor diffuse, specular, ambient;
    TVec3 position, direction;
};
