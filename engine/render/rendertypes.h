// The small value types the renderer's interfaces speak in: points,
// rectangles, colours, vectors and 4x4 matrices.
//
// These belong with the engine's maths in engine/base; until that lands they
// live here so the renderer builds on its own. When it lands this header
// becomes a forwarding include.
#pragma once

#include <cstdint>

struct TPoint {
    int x = 0;
    int y = 0;
};

// Left, top, right, bottom; right and bottom are exclusive.
struct TRect {
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;

    int Width() const { return x2 - x1; }
    int Height() const { return y2 - y1; }
    bool IsEmpty() const { return x2 <= x1 || y2 <= y1; }
    TRect Intersect(const TRect& o) const;
    TRect Union(const TRect& o) const;
};

// Four floats in 0..1.
struct TColor {
    float r = 0, g = 0, b = 0, a = 0;
};

// Packed colour: bytes red, green, blue, alpha in memory order.
struct TColor32 {
    std::uint8_t r = 0, g = 0, b = 0, a = 0;

    static TColor32 From(const TColor& c);
};

struct TVec2 {
    float x = 0, y = 0;
};

struct TVec3 {
    float x = 0, y = 0, z = 0;
};

// Column-major, as OpenGL loads it: m[column * 4 + row].
struct TMat4 {
    float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

    static TMat4 Identity() { return {}; }
    static TMat4 Scale(float x, float y, float z);
    static TMat4 RotateY(float radians);
    static TMat4 Perspective(float nearZ, float farZ, float fovY, float aspect);
    static TMat4 Orthogonal(float left, float right, float top, float bottom, float nearZ, float farZ);
    static TMat4 LookAt(const TVec3& eye, const TVec3& at, const TVec3& up);

    TMat4 operator*(const TMat4& o) const;
    TVec3 Transform(const TVec3& v) const;
};
