#include "str.h"

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

namespace {

constexpr int kMinCapacity = 16;
constexpr int kFormatBufferSize = 4096;

bool charsEqual(char a, char b, int flags)
{
    if (flags & str::kIgnoreCase)
        return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
    return a == b;
}

}  // namespace

// ---------------------------------------------------------------- bodies

str::Body* str::newBody(int capacity)
{
    // Zero-filled, so a buffer written piecewise by insert() stays terminated.
    char* buffer = static_cast<char*>(std::calloc(static_cast<size_t>(capacity), 1));
    if (!buffer)
        throw std::bad_alloc();
    Body* body = static_cast<Body*>(std::malloc(sizeof(Body)));
    if (!body) {
        std::free(buffer);
        throw std::bad_alloc();
    }
    body->buffer = buffer;
    body->refs = 1;
    body->capacity = capacity;
    return body;
}

void str::release(Body* body)
{
    if (body && --body->refs == 0) {
        std::free(body->buffer);
        std::free(body);
    }
}

// A shared body is replaced by a private copy of its text (capacity length + 1).
void str::makeUnique()
{
    if (!mBody || mBody->refs <= 1)
        return;
    int len = rawLength();
    Body* copy = newBody(len + 1);
    std::memcpy(copy->buffer, mBody->buffer, static_cast<size_t>(len));
    release(mBody);
    mBody = copy;
}

int str::rawLength() const
{
    return mBody ? static_cast<int>(std::strlen(mBody->buffer)) : 0;
}

// ---------------------------------------------------------------- construction

str::str(const char* text)
{
    if (!text) {
        mBody = newBody(kMinCapacity);
        return;
    }
    int len = static_cast<int>(std::strlen(text));
    mBody = newBody(len + 1);
    std::memcpy(mBody->buffer, text, static_cast<size_t>(len));
}

str::str(const char* text, int n)
{
    if (n < 0)
        n = 0;
    mBody = newBody(std::max(n + 1, kMinCapacity));
    if (text && n > 0)
        std::memcpy(mBody->buffer, text, static_cast<size_t>(n));
}

str::str(const str& other) : mBody(other.mBody)
{
    if (mBody)
        ++mBody->refs;
}

str::str(str&& other) noexcept : mBody(other.mBody)
{
    other.mBody = nullptr;
}

str::~str()
{
    release(mBody);
}

str& str::operator=(const str& other)
{
    if (other.mBody)
        ++other.mBody->refs;
    release(mBody);
    mBody = other.mBody;
    return *this;
}

str& str::operator=(str&& other) noexcept
{
    if (this != &other) {
        release(mBody);
        mBody = other.mBody;
        other.mBody = nullptr;
    }
    return *this;
}

str& str::operator=(const char* text)
{
    str fresh(text);
    return *this = std::move(fresh);
}

// ---------------------------------------------------------------- queries

int str::length() const
{
    return rawLength();
}

const char* str::c_str() const
{
    return mBody ? mBody->buffer : "";
}

char str::operator[](int i) const
{
    if (i < 0 || i >= rawLength())
        return 0;
    return mBody->buffer[i];
}

int str::to_int() const
{
    return mBody ? std::atoi(mBody->buffer) : 0;
}

float str::to_float() const
{
    return mBody ? static_cast<float>(std::atof(mBody->buffer)) : 0.0f;
}

int str::capacity() const
{
    return mBody ? mBody->capacity : 0;
}

int str::compare(const str& other) const
{
    if (mBody == other.mBody)
        return 0;
    if (mBody && other.mBody)
        return std::strcmp(mBody->buffer, other.mBody->buffer);
    // Exactly one side has a body: its emptiness decides.
    if (mBody)
        return mBody->buffer[0] ? 1 : 0;
    return other.mBody->buffer[0] ? -1 : 0;
}

int str::find(char c, int flags, int start) const
{
    int len = rawLength();
    if (!mBody || start >= len)
        return -1;
    if (flags & kBackwards) {
        for (int i = len - 1 - start; i >= 0; --i)
            if (charsEqual(mBody->buffer[i], c, flags))
                return i;
        return -1;
    }
    for (int i = std::max(start, 0); i < len; ++i)
        if (charsEqual(mBody->buffer[i], c, flags))
            return i;
    return -1;
}

int str::find(const str& sub, int flags, int start) const
{
    int len = rawLength();
    if (!mBody || start >= len)
        return -1;
    int subLen = sub.length();
    const char* text = mBody->buffer;
    const char* pattern = sub.c_str();
    auto matchesAt = [&](int pos) {
        for (int k = 0; k < subLen; ++k)
            if (!charsEqual(text[pos + k], pattern[k], flags))
                return false;
        return true;
    };
    int last = len - subLen;
    if (flags & kBackwards) {
        for (int pos = last - start; pos >= 0; --pos)
            if (matchesAt(pos))
                return pos;
        return -1;
    }
    for (int pos = std::max(start, 0); pos <= last; ++pos)
        if (matchesAt(pos))
            return pos;
    return -1;
}

str str::substr(int pos, int n) const
{
    int len = rawLength();
    if (!mBody || pos >= len || n == 0)
        return str(nullptr, std::max(n, 0));
    if (pos < 0)
        pos = 0;
    if (n < 0 || pos + n > len)
        n = len - pos;
    return str(mBody->buffer + pos, n);
}

// ---------------------------------------------------------------- building

str str::operator+(const str& other) const
{
    int len = rawLength();
    int otherLen = other.length();
    str result;
    result.mBody = newBody(std::max(len + otherLen + 1, kMinCapacity));
    std::memcpy(result.mBody->buffer, c_str(), static_cast<size_t>(len));
    std::memcpy(result.mBody->buffer + len, other.c_str(), static_cast<size_t>(otherLen));
    return result;
}

str str::operator+(char c) const
{
    int len = rawLength();
    str result;
    result.mBody = newBody(std::max(len + 2, kMinCapacity));
    std::memcpy(result.mBody->buffer, c_str(), static_cast<size_t>(len));
    result.mBody->buffer[len] = c;
    return result;
}

static str formatV(const char* fmt, va_list args)
{
    char buffer[kFormatBufferSize];
    int written = std::vsnprintf(buffer, sizeof buffer, fmt, args);
    if (written < 0)
        buffer[0] = 0;
    return str(buffer);
}

str str::getFormatted(const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    str result = formatV(fmt, args);
    va_end(args);
    return result;
}

void str::format(const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    str result = formatV(fmt, args);
    va_end(args);
    *this = std::move(result);
}

// ---------------------------------------------------------------- changing in place

void str::reserve(int n)
{
    makeUnique();
    if (mBody && mBody->capacity >= n)
        return;
    int len = rawLength();
    Body* grown = newBody(std::max(n, kMinCapacity));
    if (mBody)
        std::memcpy(grown->buffer, mBody->buffer, static_cast<size_t>(std::min(len, grown->capacity - 1)));
    release(mBody);
    mBody = grown;
}

str& str::operator+=(const str& other)
{
    int len = rawLength();
    int otherLen = other.length();
    // Hold the other body, which may be ours, across the reallocation.
    str source(other);
    // The capacity at least doubles when it grows: a text built by appending
    // (an XML element's content, word by word) is copied a few times in all,
    // not once per append.
    const int needed = len + otherLen + 1;
    makeUnique();
    if (!mBody || mBody->capacity < needed) {
        const int doubled = mBody && mBody->capacity < std::numeric_limits<int>::max() / 2 ? 2 * mBody->capacity : 0;
        reserve(std::max(needed, doubled));
    }
    std::memmove(mBody->buffer + len, source.c_str(), static_cast<size_t>(otherLen));
    mBody->buffer[len + otherLen] = 0;
    return *this;
}

void str::erase(int pos, int n)
{
    int len = rawLength();
    if (!mBody || pos < 0 || pos >= len)
        return;
    makeUnique();
    if (n < 0 || pos + n >= len) {
        mBody->buffer[pos] = 0;
        return;
    }
    std::memmove(mBody->buffer + pos, mBody->buffer + pos + n, static_cast<size_t>(len - pos - n + 1));
}

str& str::replace(const str& find, const str& with, int flags, int start)
{
    // Hold both arguments: either may share our body.
    str pattern(find), replacement(with);
    makeUnique();
    int findLen = pattern.length();
    int withLen = replacement.length();
    if (!mBody) {
        if (findLen > 0)
            return *this;
        reserve(withLen + 1);
    }
    int delta = withLen - findLen;
    for (;;) {
        int p = this->find(pattern, flags, start);
        if (p < 0)
            break;
        start = p + withLen;
        int len = rawLength();
        if (delta > 0)
            reserve(len + delta + 1);
        if (delta != 0)
            std::memmove(mBody->buffer + p + withLen, mBody->buffer + p + findLen,
                         static_cast<size_t>(len - p - findLen + 1));
        std::memcpy(mBody->buffer + p, replacement.c_str(), static_cast<size_t>(withLen));
        // An empty pattern would match forever at the growing end.
        if (!(flags & kReplaceAll) || findLen == 0)
            break;
    }
    return *this;
}

int str::insert(int pos, const char* text, int n, bool terminate)
{
    if (n < 0)
        n = 0;
    if (pos < 0)
        pos = 0;
    // No length is measured here: insert builds long strings piece by piece.
    // Bodies are zero-filled when made and grown, so a gap before pos reads as NULs.
    makeUnique();
    int needed = pos + n + 1;
    if (!mBody) {
        reserve(needed);
    } else if (mBody->capacity < needed) {
        int capacity = std::max(mBody->capacity, 1);
        while (capacity < needed)
            capacity *= 2;
        char* grown = static_cast<char*>(std::realloc(mBody->buffer, static_cast<size_t>(capacity)));
        if (!grown)
            throw std::bad_alloc();
        std::memset(grown + mBody->capacity, 0, static_cast<size_t>(capacity - mBody->capacity));
        mBody->buffer = grown;
        mBody->capacity = capacity;
    }
    if (n > 0)
        std::memmove(mBody->buffer + pos, text, static_cast<size_t>(n));
    if (terminate)
        mBody->buffer[pos + n] = 0;
    return pos + n;
}
