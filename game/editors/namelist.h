// The editors' scrolled name lists: five buttons ("gamebutton_1" to
// "gamebutton_5") showing a page of names, moved by the slider beside them.
// The editor scripts read a picked name with Lua "GetCustomerName".
#pragma once

#include "engine/base/str.h"
#include "engine/window/scrolledwindow.h"
#include "game/screens/scriptedwindow.h"

#include <array>
#include <vector>

class TButton;

class TNameList : public TScrolledWindow {
public:
    static constexpr int kShown = 5;

    TNameList();
    ~TNameList() override;

    void PostChildrenInit() override;
    bool OnMessage(TMessage* m) override;

    void SetNames(std::vector<str> names);
    const std::vector<str>& GetNames() const { return mNames; }
    int GetTop() const { return mTop; }
    void UpdateDisplay();
    // The label of the button at 0-based index i ("" for none).
    str GetCustomerName(int i) const;

protected:
    virtual std::vector<str> BuildNames() = 0;

private:
    void Page(int direction);

    std::array<TButton*, kShown> mButtons{};
    std::vector<str> mNames;
    int mTop = 0;
};

// "CustomerWindow": the customer types of the customer file, for the level
// editor's party fields; the power-up types are left out.
class TCustomerWindow : public TScriptedWindow<TCustomerWindow, TNameList> {
public:
    static const contract::TScreenSpec kContract;
    TCustomerWindow();

protected:
    std::vector<str> BuildNames() override;
};

// "GraphicsWindow": the customer figures' graphic names, for the customer
// editor's graphic fields.
class TGraphicsWindow : public TScriptedWindow<TGraphicsWindow, TNameList> {
public:
    static const contract::TScreenSpec kContract;
    TGraphicsWindow();

protected:
    std::vector<str> BuildNames() override;
};

// The customer identifiers of a customer file's text, in order, without the
// power-up types.
std::vector<str> CustomerIdsOf(const str& xmlText);
