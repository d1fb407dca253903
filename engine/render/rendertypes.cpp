#include "engine/render/rendertypes.h"

#include <algorithm>
#include <cmath>

TRect TRect::Intersect(const TRect& o) const
{
    TRect r{std::max(x1, o.x1), std::max(y1, o.y1), std::min(x2, o.x2), std::min(y2, o.y2)};
    if (r.IsEmpty())
        return {};
    return r;
}

TRect TRect::Union(const TRect& o) const
{
    if (IsEmpty())
        return o;
    if (o.IsEmpty())
        return *this;
    return {std::min(x1, o.x1), std::min(y1, o.y1), std::max(x2, o.x2), std::max(y2, o.y2)};
}

static std::uint8_t ToByte(float v)
{
    return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
}

TColor32 TColor32::From(const TColor& c)
{
    return {ToByte(c.r), ToByte(c.g), ToByte(c.b), ToByte(c.a)};
}

TMat4 TMat4::Scale(float x, float y, float z)
{
    TMat4 s;
    s.m[0] = x;
    s.m[5] = y;
    s.m[10] = z;
    return s;
}

TMat4 TMat4::RotateY(float radians)
{
    TMat4 r;
    float c = std::cos(radians), s = std::sin(radians);
    r.m[0] = c;
    r.m[2] = -s;
    r.m[8] = s;
    r.m[10] = c;
    return r;
}

TMat4 TMat4::Perspective(float nearZ, float farZ, float fovY, float aspect)
{
    TMat4 p;
    float f = 1.0f / std::tan(fovY / 2);
    p.m[0] = f / aspect;
    p.m[5] = f;
    p.m[10] = (farZ + nearZ) / (nearZ - farZ);
    p.m[11] = -1;
    p.m[14] = 2 * farZ * nearZ / (nearZ - farZ);
    p.m[15] = 0;
    return p;
}

TMat4 TMat4::Orthogonal(float left, float right, float top, float bottom, float nearZ, float farZ)
{
    TMat4 o;
    o.m[0] = 2 / (right - left);
    o.m[5] = 2 / (bottom - top);
    o.m[10] = -2 / (farZ - nearZ);
    o.m[12] = -(right + left) / (right - left);
    o.m[13] = -(bottom + top) / (bottom - top);
    o.m[14] = -(farZ + nearZ) / (farZ - nearZ);
    return o;
}

static TVec3 Normalised(TVec3 v)
{
    float len = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (len == 0)
        return v;
    return {v.x / len, v.y / len, v.z / len};
}

static TVec3 Cross(const TVec3& a, const TVec3& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

static float Dot(const TVec3& a, const TVec3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

TMat4 TMat4::LookAt(const TVec3& eye, const TVec3& at, const TVec3& up)
{
    TVec3 f = Normalised({at.x - eye.x, at.y - eye.y, at.z - eye.z});
    TVec3 s = Normalised(Cross(f, up));
    TVec3 u = Cross(s, f);
    TMat4 v;
    v.m[0] = s.x;
    v.m[4] = s.y;
    v.m[8] = s.z;
    v.m[1] = u.x;
    v.m[5] = u.y;
    v.m[9] = u.z;
    v.m[2] = -f.x;
    v.m[6] = -f.y;
    v.m[10] = -f.z;
    v.m[12] = -Dot(s, eye);
    v.m[13] = -Dot(u, eye);
    v.m[14] = Dot(f, eye);
    return v;
}

TMat4 TMat4::operator*(const TMat4& o) const
{
    TMat4 r;
    for (int col = 0; col < 4; ++col)
        for (int row = 0; row < 4; ++row) {
            float sum = 0;
            for (int k = 0; k < 4; ++k)
                sum += m[k * 4 + row] * o.m[col * 4 + k];
            r.m[col * 4 + row] = sum;
        }
    return r;
}

TVec3 TMat4::Transform(const TVec3& v) const
{
    return {m[0] * v.x + m[4] * v.y + m[8] * v.z + m[12], m[1] * v.x + m[5] * v.y + m[9] * v.z + m[13],
            m[2] * v.x + m[6] * v.y + m[10] * v.z + m[14]};
}
