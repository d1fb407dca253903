// A 4x4 float matrix in the row-vector convention: a point is a row vector
// multiplied on the left (p' = p x M), so the translation is the fourth row.
// The view and projection set-ups are left-handed.
#pragma once

#include "engine/base/vec.h"

struct TMat4 {
    TVec4 m[4];

    // Identity.
    TMat4();
    TMat4(float m00, float m01, float m02, float m03,
          float m10, float m11, float m12, float m13,
          float m20, float m21, float m22, float m23,
          float m30, float m31, float m32, float m33);

    TVec4& operator[](int row) { return m[row]; }
    const TVec4& operator[](int row) const { return m[row]; }

    // this = this x diag(x, y, z, 1).
    TMat4& Scale(float x, float y, float z);
    // this = this x R(axis, angle); the axis is taken as unit length, angle in radians.
    TMat4& RotateAxis(const TVec3& axis, float angle);
    TMat4& RotateY(float angle);

    // Overwrite this with a view or projection matrix.
    TMat4& LookAt(const TVec3& eye, const TVec3& at, const TVec3& up);
    // Maps [left, right] x [bottom, top] to [-1, 1] x [-1, 1] and [near, far]
    // to [0, 1], for any volume, centred on the axes or not.
    TMat4& Orthogonal(float left, float right, float bottom, float top, float zNear, float zFar);
    TMat4& Perspective(float zNear, float zFar, float fovY, float aspect);
};

TMat4 operator*(const TMat4& a, const TMat4& b);
TVec4 operator*(const TVec4& v, const TMat4& m);
// (p, 1) x m, projected back by w.
TVec3 operator*(const TMat4& m, const TVec3& p);
