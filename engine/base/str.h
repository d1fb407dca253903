// The engine's byte string: one pointer to a shared, reference-counted body.
// Copies share the body; every writer first clones a body that is shared.
// The length is always that of the NUL-terminated text (recomputed, not
// stored), so a string may hold bytes past an embedded NUL that it ignores.
#pragma once

#include <cstddef>

class str {
public:
    // Search flags shared by find() and replace().
    enum {
        kIgnoreCase = 1,
        kReplaceAll = 2,  // replace() only
        kBackwards = 4,
    };

    str() = default;
    str(const char* text);
    str(const char* text, int n);
    str(const str& other);
    str(str&& other) noexcept;
    ~str();

    str& operator=(const str& other);
    str& operator=(str&& other) noexcept;
    str& operator=(const char* text);

    int length() const;
    const char* c_str() const;
    char operator[](int i) const;
    int to_int() const;
    float to_float() const;

    int compare(const str& other) const;
    bool operator==(const str& other) const { return compare(other) == 0; }
    bool operator!=(const str& other) const { return compare(other) != 0; }
    bool operator<(const str& other) const { return compare(other) < 0; }
    bool operator>=(const str& other) const { return compare(other) >= 0; }

    int find(char c, int flags = 0, int start = 0) const;
    int find(const str& sub, int flags = 0, int start = 0) const;
    str substr(int pos, int n = -1) const;

    str operator+(const str& other) const;
    str operator+(char c) const;

    static str getFormatted(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
    void format(const char* fmt, ...) __attribute__((format(printf, 2, 3)));

    void reserve(int n);
    str& operator+=(const str& other);
    void erase(int pos, int n = -1);
    str& replace(const str& find, const str& with, int flags = 0, int start = 0);
    int insert(int pos, const char* text, int n, bool terminate);

    // Capacity of the body in bytes, 0 without one. For tests and diagnostics.
    int capacity() const;
    // True when this string and the other share one body.
    bool sharesBodyWith(const str& other) const { return mBody != nullptr && mBody == other.mBody; }

private:
    struct Body {
        char* buffer;
        int refs;
        int capacity;
    };

    static Body* newBody(int capacity);
    static void release(Body* body);
    void makeUnique();
    int rawLength() const;

    Body* mBody = nullptr;
};
