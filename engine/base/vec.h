// Float vectors: plain values, copied freely.
#pragma once

struct TVec3;

struct TVec2 {
    float x = 0;
    float y = 0;

    TVec2() = default;
    TVec2(float x_, float y_) : x(x_), y(y_) {}

    TVec2& operator+=(const TVec2& o)
    {
        x += o.x;
        y += o.y;
        return *this;
    }
};

inline TVec2 operator-(const TVec2& a, const TVec2& b) { return TVec2(a.x - b.x, a.y - b.y); }
// Exact comparison: a moved point is one whose coordinates changed at all.
inline bool operator!=(const TVec2& a, const TVec2& b) { return a.x != b.x || a.y != b.y; }

struct TVec3 {
    float x = 0;
    float y = 0;
    float z = 0;

    TVec3() = default;
    TVec3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}

    // Divides by the length; a zero vector stays zero.
    TVec3& Normalize();
};

inline TVec3 operator-(const TVec3& a, const TVec3& b) { return TVec3(a.x - b.x, a.y - b.y, a.z - b.z); }

float DotProduct(const TVec3& a, const TVec3& b);
TVec3 CrossProduct(const TVec3& a, const TVec3& b);

struct TVec4 {
    float x = 0;
    float y = 0;
    float z = 0;
    float w = 0;

    TVec4() = default;
    TVec4(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}
    TVec4(const TVec3& v, float w_) : x(v.x), y(v.y), z(v.z), w(w_) {}

    // (x/w, y/w, z/w).
    TVec3 Projection() const { return TVec3(x / w, y / w, z / w); }

    float& operator[](int i) { return (&x)[i]; }
    float operator[](int i) const { return (&x)[i]; }
};
