// Creation of objects from their class identity. Classes that can be made
// from their identity register a creation function under it (by convention
// the identity is that function's address), and CreateFromId makes one.
// One registry per base class: TClassRegistry<TWindow> for window classes.
#pragma once

#include "engine/base/classid.h"

#include <map>

template <typename Base>
class TClassRegistry {
public:
    using CreateFunction = Base* (*)();

    // Registers (or replaces) the creation function of an identity.
    static void Register(TClassId id, CreateFunction create)
    {
        if (create)
            functions()[id] = create;
    }

    static bool IsRegistered(TClassId id) { return functions().count(id) != 0; }

    // A new object of the class with that identity, owned by the caller;
    // null when the identity is not registered.
    static Base* CreateFromId(TClassId id)
    {
        auto found = functions().find(id);
        return found == functions().end() ? nullptr : found->second();
    }

private:
    // Made on first use, so registration from static initialisers is safe.
    static std::map<TClassId, CreateFunction>& functions()
    {
        static std::map<TClassId, CreateFunction> registered;
        return registered;
    }
};
