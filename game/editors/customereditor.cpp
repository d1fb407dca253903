#include "game/editors/customereditor.h"

#include "engine/base/safefile.h"
#include "engine/script/luabind.h"
#include "engine/window/text.h"
#include "engine/window/windowmanager.h"
#include "game/editors/editorfields.h"
#include "game/editors/namelist.h"
#include "game/settings/configfile.h"
#include "game/settings/settings.h"

#include <iterator>

namespace {

constexpr const char* kCustomerFile = "assets/config/customer.xml";

const qm::lua::TBinding kLuaFunctions[] = {
    {"IncrementCustomer", qm::lua::Method<&TCustomerEditor::IncrementCustomer>},
    {"NewCustomer", qm::lua::Method<&TCustomerEditor::NewCustomer>},
    {"DeleteCustomer", qm::lua::Method<&TCustomerEditor::DeleteCustomer>},
};

}  // namespace

namespace {
// The fields, in transfer order: a TText each (a TTextEdit where typed in).
constexpr auto kCustomername = contract::Child<TText>("customername");
constexpr auto kGraphicval = contract::Numbered<TText>("graphicval%d", 0, 6);
constexpr auto kTimemood = contract::Child<TText>("timemood");
constexpr auto kColormood = contract::Child<TText>("colormood");
constexpr auto kBasetip = contract::Child<TText>("basetip");
constexpr auto kMoodtip = contract::Child<TText>("moodtip");
constexpr auto kDessertmood = contract::Child<TText>("dessertmood");
constexpr auto kLoveeffect = contract::Child<TText>("loveeffect");
constexpr auto kSpecialchance = contract::Child<TText>("specialchance");
constexpr auto kSpillchance = contract::Child<TText>("spillchance");
constexpr auto kSpilltimer = contract::Child<TText>("spilltimer");
constexpr auto kNoiserate = contract::Child<TText>("noiserate");
constexpr auto kNoiserangex = contract::Child<TText>("noiserangex");
constexpr auto kNoiserangey = contract::Child<TText>("noiserangey");
constexpr auto kNoisemood = contract::Child<TText>("noisemood");
constexpr auto kNoiseeffect = contract::Child<TText>("noiseeffect");
constexpr auto kWaitingmadms = contract::Child<TText>("waitingmadms");
constexpr auto kDecidingdurationms = contract::Child<TText>("decidingdurationms");
constexpr auto kReadyhappyms = contract::Child<TText>("readyhappyms");
constexpr auto kReadymadms = contract::Child<TText>("readymadms");
constexpr auto kOrderedhappyms = contract::Child<TText>("orderedhappyms");
constexpr auto kOrederedmadms = contract::Child<TText>("orederedmadms");
constexpr auto kEatingdurationms = contract::Child<TText>("eatingdurationms");
constexpr auto kCheckhappyms = contract::Child<TText>("checkhappyms");
constexpr auto kCheckmadms = contract::Child<TText>("checkmadms");
constexpr auto kSnackhappyms = contract::Child<TText>("snackhappyms");
constexpr auto kSnackmadms = contract::Child<TText>("snackmadms");
constexpr auto kSpecialhappyms = contract::Child<TText>("specialhappyms");
constexpr auto kSpecialmadms = contract::Child<TText>("specialmadms");
constexpr auto kOrderdesserthappyms = contract::Child<TText>("orderdesserthappyms");
constexpr auto kOrderdessertmadms = contract::Child<TText>("orderdessertmadms");
constexpr auto kEatingdessertdurationms = contract::Child<TText>("eatingdessertdurationms");
const contract::TChildSpec kCustomerChildren[] = {
    kCustomername,
    kGraphicval,
    kTimemood, kColormood,
    kBasetip, kMoodtip,
    kDessertmood, kLoveeffect,
    kSpecialchance, kSpillchance,
    kSpilltimer, kNoiserate,
    kNoiserangex, kNoiserangey,
    kNoisemood, kNoiseeffect,
    kWaitingmadms, kDecidingdurationms,
    kReadyhappyms, kReadymadms,
    kOrderedhappyms, kOrederedmadms,
    kEatingdurationms, kCheckhappyms,
    kCheckmadms, kSnackhappyms,
    kSnackmadms, kSpecialhappyms,
    kSpecialmadms, kOrderdesserthappyms,
    kOrderdessertmadms,
    kEatingdessertdurationms,
};

// The fields and the keys of the customer element they show, in the order
// they are transferred: the name, the seven graphics, then the rest.
struct TFieldKey {
    const char* field;
    const char* key;
};
const char* const kGraphicKeys[] = {"graphicType",      "graphicOverride1", "graphicOverride2", "graphicOverride3",
                                    "graphicOverride4", "graphicOverride5", "graphicOverride6"};
const TFieldKey kFields[] = {
    {kTimemood.name, "timeMood"},
    {kColormood.name, "colorMood"},
    {kBasetip.name, "baseTip"},
    {kMoodtip.name, "moodTip"},
    {kDessertmood.name, "dessertMood"},
    {kLoveeffect.name, "loveEffect"},
    {kSpecialchance.name, "specialChance"},
    {kSpillchance.name, "spillChance"},
    {kSpilltimer.name, "spillTimer"},
    {kNoiserate.name, "noiseRate"},
    {kNoiserangex.name, "noiseRangeX"},
    {kNoiserangey.name, "noiseRangeY"},
    {kNoisemood.name, "noiseMood"},
    {kNoiseeffect.name, "noiseEffect"},
    {kWaitingmadms.name, "waiting_MadMS"},
    {kDecidingdurationms.name, "deciding_DurationMS"},
    {kReadyhappyms.name, "ready_HappyMS"},
    {kReadymadms.name, "ready_MadMS"},
    {kOrderedhappyms.name, "ordered_HappyMS"},
    {kOrederedmadms.name, "ordered_MadMS"},
    {kEatingdurationms.name, "eating_DurationMS"},
    {kCheckhappyms.name, "check_HappyMS"},
    {kCheckmadms.name, "check_MadMS"},
    {kSnackhappyms.name, "snack_HappyMS"},
    {kSnackmadms.name, "snack_MadMS"},
    {kSpecialhappyms.name, "special_HappyMS"},
    {kSpecialmadms.name, "special_MadMS"},
    {kOrderdesserthappyms.name, "orderdessert_HappyMS"},
    {kOrderdessertmadms.name, "orderdessert_MadMS"},
    {kEatingdessertdurationms.name, "eatingdessert_DurationMS"},
};

// Calls transfer(field, key) for every field, in order.
template <class Fn>
void ForEachField(Fn transfer)
{
    transfer(str(kCustomername.name), "id");
    for (int n = 0; n < static_cast<int>(std::size(kGraphicKeys)); ++n)
        transfer(str(kGraphicval.NameOf(n).c_str()), kGraphicKeys[n]);
    for (const TFieldKey& field : kFields)
        transfer(str(field.field), field.key);
}
}  // namespace

const contract::TScreenSpec TCustomerEditor::kContract{"TCustomerEditor", "CustomerEditor",
                                                       "scripts/customereditor.lua", kLuaFunctions, kCustomerChildren};

TCustomerEditor::TCustomerEditor()
{
    if (TWindowManager* manager = TWindowManager::GetInstance())
        manager->AddWindowType(TGraphicsWindow::kContract.typeName, TGraphicsWindow::ClassId());
    // A damaged file is refused (and named): with nothing read, nothing is saved over it.
    game::ReadConfigDocument(kCustomerFile, &mDocument, "dataroot", "the customer editor has nothing to edit");
    PublishFunctions();
    editors::PublishFieldFunctions(this);
}

TCustomerEditor::~TCustomerEditor()
{
    if (mSaved)
        return;
    RecordCustomer();
    SaveData();
}

void TCustomerEditor::PostChildrenInit() { InitCustomer(); }

bool TCustomerEditor::OnTaskAnimate()
{
    InvalidateRect(nullptr);
    return true;
}

bool TCustomerEditor::OnDirtyRect(TRect* r)
{
    if (r)
        *r = TRect{0, 0, 800, 600};
    return true;
}

int TCustomerEditor::CountCustomers() const
{
    TXmlNode* root = mDocument.GetChild("dataroot");
    if (!root)
        return 0;
    int count = 0;
    str name;
    TXmlNode* child = nullptr;
    root->ResetChildren();
    while (root->GetNextChild(&name, &child))
        if (name == str("customer"))
            ++count;
    return count;
}

TXmlNode* TCustomerEditor::CurrentCustomer() const
{
    TXmlNode* root = mDocument.GetChild("dataroot");
    if (!root)
        return nullptr;
    int index = 0;
    str name;
    TXmlNode* child = nullptr;
    root->ResetChildren();
    while (root->GetNextChild(&name, &child))
        if (name == str("customer") && index++ == mCurrent)
            return child;
    return nullptr;
}

void TCustomerEditor::InitCustomer()
{
    const TXmlNode* customer = CurrentCustomer();
    if (!customer)
        return;
    ForEachField([&](const str& field, const char* key) {
        editors::SetField(this, field, customer->GetChildContent(key));
    });
}

void TCustomerEditor::RecordCustomer()
{
    TXmlNode* customer = CurrentCustomer();
    if (!customer)
        return;
    ForEachField([&](const str& field, const char* key) {
        TXmlNode* value = customer->GetChild(key);
        if (!value)
            value = customer->CreateChild(key);
        value->SetContent(editors::GetField(this, field).c_str());
    });
}

void TCustomerEditor::IncrementCustomer(int delta, bool record)
{
    if (record)
        RecordCustomer();
    const int count = CountCustomers();
    mCurrent += delta;
    if (mCurrent < 0)
        mCurrent = count > 0 ? count - 1 : 0;
    else if (mCurrent >= count)
        mCurrent = 0;
    InitCustomer();
}

void TCustomerEditor::NewCustomer(str name)
{
    TXmlNode* root = mDocument.GetChild("dataroot");
    if (!root)
        root = mDocument.CreateChild("dataroot");
    TXmlNode* added = root->CreateChild("customer");
    added->CreateChild("id")->SetContent(name.c_str());
    RecordCustomer();
    mCurrent = 0;
    IncrementCustomer(-1, false);
    const int created = mCurrent;
    // Start from the "default" type's values when the file has one.
    str tag;
    TXmlNode* child = nullptr;
    int index = 0;
    root->ResetChildren();
    while (root->GetNextChild(&tag, &child)) {
        if (tag != str("customer"))
            continue;
        if (child->GetChildContent("id") == str("default")) {
            mCurrent = index;
            InitCustomer();
            mCurrent = created;
            editors::SetField(this, kCustomername.name, name);
            break;
        }
        ++index;
    }
}

// An empty document has no current customer to remove: nothing happens
// (stepping would wrap with a count of 0).
void TCustomerEditor::DeleteCustomer()
{
    TXmlNode* customer = CurrentCustomer();
    TXmlNode* root = mDocument.GetChild("dataroot");
    if (!customer || !root)
        return;
    root->DeleteChild(customer);
    IncrementCustomer(-1, false);
}

bool TCustomerEditor::SaveData()
{
    TXmlNode* root = mDocument.GetChild("dataroot");
    if (!root)
        return false;
    const str text = str("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n") + root->AsString();
    return qm::WriteFileReplacing(kCustomerFile, text.c_str(), static_cast<std::size_t>(text.length()));
}

void TCustomerEditor::SaveLevelData()
{
    RecordCustomer();
    mSaved = SaveData();
}
