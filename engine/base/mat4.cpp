#include "engine/base/mat4.h"

#include <cmath>

TVec3& TVec3::Normalize()
{
    float length = std::sqrt(DotProduct(*this, *this));
    if (length != 0) {
        x /= length;
        y /= length;
        z /= length;
    }
    return *this;
}

float DotProduct(const TVec3& a, const TVec3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

TVec3 CrossProduct(const TVec3& a, const TVec3& b)
{
    return TVec3(a.y * b.z - b.y * a.z, a.z * b.x - b.z * a.x, a.x * b.y - a.y * b.x);
}

TMat4::TMat4()
    : TMat4(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1)
{
}

TMat4::TMat4(float m00, float m01, float m02, float m03,
             float m10, float m11, float m12, float m13,
             float m20, float m21, float m22, float m23,
             float m30, float m31, float m32, float m33)
    : m{TVec4(m00, m01, m02, m03), TVec4(m10, m11, m12, m13), TVec4(m20, m21, m22, m23),
        TVec4(m30, m31, m32, m33)}
{
}

TMat4 operator*(const TMat4& a, const TMat4& b)
{
    TMat4 r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            float sum = 0;
            for (int k = 0; k < 4; ++k)
                sum += a[i][k] * b[k][j];
            r[i][j] = sum;
        }
    return r;
}

TVec4 operator*(const TVec4& v, const TMat4& m)
{
    TVec4 r;
    for (int j = 0; j < 4; ++j) {
        float sum = 0;
        for (int k = 0; k < 4; ++k)
            sum += v[k] * m[k][j];
        r[j] = sum;
    }
    return r;
}

TVec3 operator*(const TMat4& m, const TVec3& p)
{
    return (TVec4(p, 1) * m).Projection();
}

TMat4& TMat4::Scale(float x, float y, float z)
{
    TMat4 s(x, 0, 0, 0, 0, y, 0, 0, 0, 0, z, 0, 0, 0, 0, 1);
    *this = *this * s;
    return *this;
}

TMat4& TMat4::RotateAxis(const TVec3& axis, float angle)
{
    const float c = std::cos(angle), s = std::sin(angle), t = 1 - c;
    const float x = axis.x, y = axis.y, z = axis.z;
    TMat4 r(t * x * x + c, t * x * y + s * z, t * x * z - s * y, 0,
            t * x * y - s * z, t * y * y + c, t * y * z + s * x, 0,
            t * x * z + s * y, t * y * z - s * x, t * z * z + c, 0,
            0, 0, 0, 1);
    *this = *this * r;
    return *this;
}

TMat4& TMat4::RotateY(float angle)
{
    return RotateAxis(TVec3(0, 1, 0), angle);
}

namespace {

// A zero translation term is stored as +0.0, never -0.0.
float positiveZero(float v)
{
    return v == 0 ? 0.0f : v;
}

}  // namespace

TMat4& TMat4::LookAt(const TVec3& eye, const TVec3& at, const TVec3& up)
{
    TVec3 zaxis = (at - eye).Normalize();
    TVec3 xaxis = CrossProduct(up, zaxis).Normalize();
    TVec3 yaxis = CrossProduct(zaxis, xaxis);
    *this = TMat4(xaxis.x, yaxis.x, zaxis.x, 0,
                  xaxis.y, yaxis.y, zaxis.y, 0,
                  xaxis.z, yaxis.z, zaxis.z, 0,
                  positiveZero(-DotProduct(xaxis, eye)), positiveZero(-DotProduct(yaxis, eye)),
                  positiveZero(-DotProduct(zaxis, eye)), 1);
    return *this;
}

TMat4& TMat4::Orthogonal(float left, float right, float bottom, float top, float zNear, float zFar)
{
    // The off-centre terms make a viewport that does not start at the origin
    // (the display handler passes left, left + width, top, top + height)
    // map onto the whole clip square.
    float x = positiveZero(-(right + left) / (right - left));
    float y = positiveZero(-(top + bottom) / (top - bottom));
    *this = TMat4(2 / (right - left), 0, 0, 0,
                  0, 2 / (top - bottom), 0, 0,
                  0, 0, 1 / (zFar - zNear), 0,
                  x, y, zNear / (zNear - zFar), 1);
    return *this;
}

TMat4& TMat4::Perspective(float zNear, float zFar, float fovY, float aspect)
{
    float yScale = std::cos(fovY / 2) / std::sin(fovY / 2);
    float xScale = yScale / aspect;
    *this = TMat4(xScale, 0, 0, 0,
                  0, yScale, 0, 0,
                  0, 0, zFar / (zFar - zNear), 1,
                  0, 0, -zNear * zFar / (zFar - zNear), 0);
    return *this;
}
