// The one base of the game's window classes: TScriptedWindow<TLevelOver>
// (or <TTimedFade, TScreenFade> over another class) gives the class its
// identity and creation function (ClassId, IsKindOf), its statement of what
// it shares with its script (the class's `static const
// contract::TScreenSpec kContract`, screencontract.h), the publication of
// the Lua functions the statement names, and Child<T>(name), the lookup of
// a stated child.
//
// A class made by a window type needs a public default constructor; one made
// otherwise (a factory, the code) declares `static TWindow* DynamicCreate()`.
#pragma once

#include "engine/window/modalwindow.h"
#include "engine/window/window.h"
#include "game/screens/screencontract.h"

#include <concepts>

template <class Derived, class Base = TWindow>
class TScriptedWindow : public Base, public virtual contract::IStated {
public:
    using Base::Base;

    static TClassId ClassId()
    {
        static const TClassId id = TWindow::RegisterCreatable(&Create);
        return id;
    }
    bool IsKindOf(TClassId id) const override { return id == ClassId() || Base::IsKindOf(id); }
    const contract::TScreenSpec& Contract() const override { return Derived::kContract; }

protected:
    // The stated child below this window, as T (null when missing or of
    // another class); a name not in the statement is logged and asserted.
    template <class T = TWindow>
    T* Child(const char* name)
    {
        return contract::Find<T>(this, this, name);
    }
    template <class T = TWindow>
    T* Child(const str& name)
    {
        return contract::Find<T>(this, this, name.c_str());
    }
    // The stated child found in the screen around this window.
    template <class T = TWindow>
    T* ScreenChild(const char* name)
    {
        return contract::Find<T>(this, this->FindParentModal(), name);
    }
    // The stated child below another window (a screen this class opened).
    template <class T = TWindow>
    T* ChildOf(TWindow* root, const char* name)
    {
        return contract::Find<T>(this, root, name);
    }
    // The same through the child's constant (screencontract.h): the class
    // comes with it; a numbered one takes its number.
    template <class T>
    T* Child(const contract::TChild<T>& child)
    {
        return contract::Find<T>(this, this, child.name);
    }
    template <class T>
    T* Child(const contract::TChild<T>& numbered, int n)
    {
        return contract::Find<T>(this, this, numbered.NameOf(n).c_str());
    }
    template <class T>
    T* ScreenChild(const contract::TChild<T>& child)
    {
        return contract::Find<T>(this, this->FindParentModal(), child.name);
    }
    template <class T>
    T* ChildOf(TWindow* root, const contract::TChild<T>& child)
    {
        return contract::Find<T>(this, root, child.name);
    }
    // Publishes the statement's Lua functions, bound to this window: the
    // constructor calls it.
    void PublishFunctions() { contract::PublishFunctions(Derived::kContract, static_cast<Derived*>(this), this); }

private:
    static TWindow* Create()
    {
        if constexpr (requires { { Derived::DynamicCreate() } -> std::convertible_to<TWindow*>; })
            return Derived::DynamicCreate();
        else
            return new Derived;
    }
};
