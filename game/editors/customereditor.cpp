#include "game/editors/customereditor.h"

#include "engine/base/safefile.h"
#include "engine/script/luabind.h"
#include "engine/window/text.h"
#include "engine/window/windowmanager.h"
#include "game/editors/editorfields.h"
#include "game/editors/namelist.h"
#include "game/settings/configfile.h"
#include "game/settings/settings.h"

namespace {

constexpr const char* kCustomerFile = "assets/config/customer.xml";

struct TFieldKey {
    const char* field;
    const char* key;
};

// In the order the fields are transferred.
const TFieldKey kFields[] = {
    {"customername", "id"},
    {"graphicval0", "graphicType"},
    {"graphicval1", "graphicOverride1"},
    {"graphicval2", "graphicOverride2"},
    {"graphicval3", "graphicOverride3"},
    {"graphicval4", "graphicOverride4"},
    {"graphicval5", "graphicOverride5"},
    {"graphicval6", "graphicOverride6"},
    {"timemood", "timeMood"},
    {"colormood", "colorMood"},
    {"basetip", "baseTip"},
    {"moodtip", "moodTip"},
    {"dessertmood", "dessertMood"},
    {"loveeffect", "loveEffect"},
    {"specialchance", "specialChance"},
    {"spillchance", "spillChance"},
    {"spilltimer", "spillTimer"},
    {"noiserate", "noiseRate"},
    {"noiserangex", "noiseRangeX"},
    {"noiserangey", "noiseRangeY"},
    {"noisemood", "noiseMood"},
    {"noiseeffect", "noiseEffect"},
    {"waitingmadms", "waiting_MadMS"},
    {"decidingdurationms", "deciding_DurationMS"},
    {"readyhappyms", "ready_HappyMS"},
    {"readymadms", "ready_MadMS"},
    {"orderedhappyms", "ordered_HappyMS"},
    {"orederedmadms", "ordered_MadMS"},
    {"eatingdurationms", "eating_DurationMS"},
    {"checkhappyms", "check_HappyMS"},
    {"checkmadms", "check_MadMS"},
    {"snackhappyms", "snack_HappyMS"},
    {"snackmadms", "snack_MadMS"},
    {"specialhappyms", "special_HappyMS"},
    {"specialmadms", "special_MadMS"},
    {"orderdesserthappyms", "orderdessert_HappyMS"},
    {"orderdessertmadms", "orderdessert_MadMS"},
    {"eatingdessertdurationms", "eatingdessert_DurationMS"},
};

TCustomerEditor* Editor(lua_State* L) { return qm::lua::Self<TCustomerEditor>(L); }

int LuaIncrementCustomer(lua_State* L)
{
    Editor(L)->IncrementCustomer(qm::lua::CheckInt(L, 1), lua_toboolean(L, 2) != 0);
    return 0;
}

int LuaNewCustomer(lua_State* L)
{
    Editor(L)->NewCustomer(qm::lua::CheckString(L, 1));
    return 0;
}

int LuaDeleteCustomer(lua_State* L)
{
    Editor(L)->DeleteCustomer();
    return 0;
}

const qm::lua::TBinding kLuaFunctions[] = {
    {"IncrementCustomer", LuaIncrementCustomer},
    {"NewCustomer", LuaNewCustomer},
    {"DeleteCustomer", LuaDeleteCustomer},
};

}  // namespace

namespace {
// The fields, in transfer order: a TText each (a TTextEdit where typed in).
const contract::TChildSpec kCustomerChildren[] = {
    contract::Child("customername", &TText::ClassId),
    contract::Numbered("graphicval%d", 0, 6, &TText::ClassId),
    contract::Child("timemood", &TText::ClassId), contract::Child("colormood", &TText::ClassId),
    contract::Child("basetip", &TText::ClassId), contract::Child("moodtip", &TText::ClassId),
    contract::Child("dessertmood", &TText::ClassId), contract::Child("loveeffect", &TText::ClassId),
    contract::Child("specialchance", &TText::ClassId), contract::Child("spillchance", &TText::ClassId),
    contract::Child("spilltimer", &TText::ClassId), contract::Child("noiserate", &TText::ClassId),
    contract::Child("noiserangex", &TText::ClassId), contract::Child("noiserangey", &TText::ClassId),
    contract::Child("noisemood", &TText::ClassId), contract::Child("noiseeffect", &TText::ClassId),
    contract::Child("waitingmadms", &TText::ClassId), contract::Child("decidingdurationms", &TText::ClassId),
    contract::Child("readyhappyms", &TText::ClassId), contract::Child("readymadms", &TText::ClassId),
    contract::Child("orderedhappyms", &TText::ClassId), contract::Child("orederedmadms", &TText::ClassId),
    contract::Child("eatingdurationms", &TText::ClassId), contract::Child("checkhappyms", &TText::ClassId),
    contract::Child("checkmadms", &TText::ClassId), contract::Child("snackhappyms", &TText::ClassId),
    contract::Child("snackmadms", &TText::ClassId), contract::Child("specialhappyms", &TText::ClassId),
    contract::Child("specialmadms", &TText::ClassId), contract::Child("orderdesserthappyms", &TText::ClassId),
    contract::Child("orderdessertmadms", &TText::ClassId),
    contract::Child("eatingdessertdurationms", &TText::ClassId),
};
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
    for (const TFieldKey& field : kFields)
        editors::SetField(this, field.field, customer->GetChildContent(field.key));
}

void TCustomerEditor::RecordCustomer()
{
    TXmlNode* customer = CurrentCustomer();
    if (!customer)
        return;
    for (const TFieldKey& field : kFields) {
        TXmlNode* value = customer->GetChild(field.key);
        if (!value)
            value = customer->CreateChild(field.key);
        value->SetContent(editors::GetField(this, field.field).c_str());
    }
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
            editors::SetField(this, "customername", name);
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
