#include "game/editors/namelist.h"

#include "engine/base/xml.h"
#include "engine/script/luabind.h"
#include "game/screens/screencontract.h"
#include "engine/window/button.h"
#include "engine/window/message.h"
#include "engine/window/showwindow.h"
#include "engine/window/slider.h"
#include "game/settings/settings.h"

#include <algorithm>

namespace {

constexpr const char* kCustomerFile = "assets/config/customer.xml";
const char* const kGraphicNames[] = {"bookworm_female", "business_female", "cellphone_male", "dad_male",
                                     "fitness_female",  "kid_male",        "mom_female",     "old_male",
                                     "young_female",    "tourist_male",    "tourist_female", "lovebird_male",
                                     "lovebird_female"};

const qm::lua::TBinding kNameListFunctions[] = {
    {"GetCustomerName", qm::lua::Method<&TNameList::GetCustomerName>},
};

constexpr auto kGamebutton = contract::Numbered<TButton>("gamebutton_%d", 1, TNameList::kShown);
const contract::TChildSpec kNameListChildren[] = {
    kGamebutton,
};

}  // namespace

// Both lists publish GetCustomerName as one owner: it reaches the newest
// list of either kind.
const contract::TScreenSpec TCustomerWindow::kContract{"TCustomerWindow", "CustomerWindow",
                                                       "scripts/leveleditorparties.lua", kNameListFunctions,
                                                       kNameListChildren, "TNameList"};
const contract::TScreenSpec TGraphicsWindow::kContract{"TGraphicsWindow", "GraphicsWindow",
                                                       "scripts/customereditor.lua", kNameListFunctions,
                                                       kNameListChildren, "TNameList"};

TNameList::TNameList() = default;

TCustomerWindow::TCustomerWindow()
{
    // The newest list takes the global over; a call after it died does nothing.
    contract::PublishFunctions(kContract, static_cast<TNameList*>(this), this);
}

TGraphicsWindow::TGraphicsWindow() { contract::PublishFunctions(kContract, static_cast<TNameList*>(this), this); }

TNameList::~TNameList() = default;

void TNameList::PostChildrenInit()
{
    TScrolledWindow::PostChildrenInit();
    for (int k = 0; k < kShown; ++k)
        mButtons[size_t(k)] = contract::Find<TButton>(this, this, kGamebutton.NameOf(k + 1).c_str());
    SetNames(BuildNames());
}

void TNameList::SetNames(std::vector<str> names)
{
    mNames = std::move(names);
    UpdateDisplay();
}

void TNameList::UpdateDisplay()
{
    const int count = static_cast<int>(mNames.size());
    mTop = std::max(0, std::min(mTop, count - kShown));
    for (int k = 0; k < kShown; ++k) {
        TButton* button = mButtons[size_t(k)];
        if (!button)
            continue;
        const int index = mTop + k;
        if (index < count)
            button->SetLabel(mNames[size_t(index)]);
        ShowWindow(button, index < count);
    }
    if (TSlider* slider = GetSlider())
        slider->ShowHandle(count > kShown);
    InvalidateRect(nullptr);
}

str TNameList::GetCustomerName(int i) const
{
    if (i < 0 || i >= kShown || !mButtons[size_t(i)])
        return str();
    return mButtons[size_t(i)]->GetLabel();
}

// A list that fits on the buttons has nothing to page through: the
// slider's value cannot be turned into a page (and a count of 0 would divide
// by zero).
void TNameList::Page(int direction)
{
    TSlider* slider = GetSlider();
    const int count = static_cast<int>(mNames.size());
    if (!slider || count <= kShown)
        return;
    const float step = static_cast<float>(kShown) / static_cast<float>(count);
    slider->SetValue(std::clamp(slider->GetValue() + direction * step, 0.0f, 1.0f), false);
}

bool TNameList::OnMessage(TMessage* m)
{
    switch (m->GetType()) {
    case kSliderMoved: {
        TSlider* slider = GetSlider();
        const int count = static_cast<int>(mNames.size());
        mTop = slider && count > kShown ? std::max(0, static_cast<int>(slider->GetValue() * (count - 4))) : 0;
        UpdateDisplay();
        return true;
    }
    case kSliderPageBack:
        Page(-1);
        return true;
    case kSliderPageForward:
        Page(1);
        return true;
    default:
        return false;
    }
}

std::vector<str> CustomerIdsOf(const str& xmlText)
{
    std::vector<str> ids;
    TXmlNode document;
    document.ParseString(xmlText.c_str());
    TXmlNode* root = document.GetChild("dataroot");
    if (!root)
        return ids;
    root->ResetChildren();
    str name;
    TXmlNode* child = nullptr;
    while (root->GetNextChild(&name, &child)) {
        if (name != str("customer") || !child->GetChild("id"))
            continue;
        const str id = child->GetChildContent("id");
        if (id.find(str("powerup")) < 0)
            ids.push_back(id);
    }
    return ids;
}

std::vector<str> TCustomerWindow::BuildNames() { return CustomerIdsOf(TSettings::ReadEncryptedFile(kCustomerFile)); }

std::vector<str> TGraphicsWindow::BuildNames() { return std::vector<str>(std::begin(kGraphicNames), std::end(kGraphicNames)); }
