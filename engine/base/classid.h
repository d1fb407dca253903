// Class identities. An identity is the address of something unique to the
// class (a static function or object), so it is pointer-sized: an int cannot
// hold an address on a 64-bit machine.
#pragma once

#include <cstdint>

using TClassId = std::uintptr_t;

// The identity made from the address of a function or object.
template <typename T>
TClassId MakeClassId(T* address)
{
    return reinterpret_cast<TClassId>(address);
}
