#include "game/settings/customersettings.h"

#include "engine/base/debuglog.h"
#include "engine/base/xml.h"
#include "game/settings/configfile.h"
#include "game/settings/settings.h"

#include <cstring>
#include <string>

namespace {

const char* const kCustomerFile = "assets/config/customer.xml";

struct TStateKeys {
    const char* prefix;  // nullptr: the state has no times in the file
    bool timed;
};

// Indexed by the party's state number.
const TStateKeys kStateKeys[kCustomerStateCount] = {
    {"waiting", true},       {"deciding", false}, {"ready", true},        {"ordered", true},
    {"eating", false},       {"orderdessert", true}, {"eatingdessert", false}, {"check", true},
    {nullptr, false},        {nullptr, false},    {nullptr, false},       {"snack", true},
    {"special", true},
};

void CopyGraphicName(char* slot, const str& text)
{
    std::strncpy(slot, text.c_str(), kCustomerGraphicNameSize - 1);
    slot[kCustomerGraphicNameSize - 1] = '\0';
}

// "graphicOverride1".."graphicOverride6" → 0..5; -1 for any other name.
int OverrideSlot(const std::string& name)
{
    static const std::string kPrefix = "graphicOverride";
    if (name.size() != kPrefix.size() + 1 || name.compare(0, kPrefix.size(), kPrefix) != 0)
        return -1;
    const char digit = name.back();
    return digit >= '1' && digit <= '6' ? digit - '1' : -1;
}

float* FloatField(TCustomerDef* def, const std::string& name)
{
    if (name == "timeMood") return &def->timeMood;
    if (name == "colorMood") return &def->colorMood;
    if (name == "baseTip") return &def->baseTip;
    if (name == "moodTip") return &def->moodTip;
    if (name == "specialChance") return &def->specialChance;
    if (name == "spillChance") return &def->spillChance;
    if (name == "spillTimer") return &def->spillTimer;
    if (name == "noiseRate") return &def->noiseRate;
    if (name == "noiseRangeX") return &def->noiseRangeX;
    if (name == "noiseRangeY") return &def->noiseRangeY;
    return nullptr;
}

int32_t* IntField(TCustomerDef* def, const std::string& name)
{
    if (name == "dessertMood") return &def->dessertMood;
    if (name == "loveEffect") return &def->loveEffect;
    if (name == "noiseMood") return &def->noiseMood;
    if (name == "noiseEffect") return &def->noiseEffect;
    return nullptr;
}

// A per-state time such as "ready_MadMS"; nullptr for any other name.
float* StateTimeField(TCustomerDef* def, const std::string& name)
{
    for (int i = 0; i < kCustomerStateCount; ++i) {
        if (!kStateKeys[i].prefix)
            continue;
        const std::string prefix = kStateKeys[i].prefix;
        if (name.compare(0, prefix.size(), prefix) != 0)
            continue;
        const std::string suffix = name.substr(prefix.size());
        if (suffix == "_HappyMS") return &def->states[i].happyMS;
        if (suffix == "_MadMS") return &def->states[i].madMS;
        if (suffix == "_DurationMS") return &def->states[i].durationMS;
    }
    return nullptr;
}

}  // namespace

TCustomerSettings::TCustomerSettings() : mDocument(std::make_unique<TXmlNode>())
{
    game::ReadConfigDocument(kCustomerFile, mDocument.get(), "dataroot", "no customer types");
}

TCustomerSettings::~TCustomerSettings() = default;

TXmlNode* TCustomerSettings::Root() const { return mDocument->GetChild("dataroot"); }

TCustomerDef TCustomerSettings::CreateCustomerDefinition(str id)
{
    TCustomerDef def{};
    TXmlNode* root = Root();
    if (!root)
        return def;
    str name;
    TXmlNode* type = nullptr;
    root->ResetChildren();
    while (root->GetNextChild(&name, &type)) {
        if (std::strcmp(type->GetChildContent("id").c_str(), id.c_str()) == 0) {
            UpdateCustomerDef(type, &def);
            break;
        }
    }
    return def;
}

int TCustomerSettings::GetNumGraphicOverrides(str id)
{
    TXmlNode* root = Root();
    if (!root)
        return 0;
    int count = 0;
    str name;
    TXmlNode* type = nullptr;
    root->ResetChildren();
    while (root->GetNextChild(&name, &type)) {
        if (std::strcmp(type->GetChildContent("id").c_str(), id.c_str()) != 0)
            continue;
        str childName;
        TXmlNode* child = nullptr;
        type->ResetChildren();
        while (type->GetNextChild(&childName, &child))
            if (OverrideSlot(childName.c_str()) >= 0 && child->GetContent().length() > 0)
                ++count;
    }
    return count;
}

void TCustomerSettings::UpdateCustomerDef(TXmlNode* typeElement, TCustomerDef* def)
{
    if (!typeElement || !def)
        return;
    def->fixedScaleA = 1.0f;
    def->fixedScaleB = 1.0f;
    def->minStatePeriodMS = 1000.0f;
    for (int i = 0; i < kCustomerStateCount; ++i)
        def->states[i] = TCustomerStateTimes{kStateKeys[i].timed, 0.0f, 0.0f, 0.0f};

    str childName;
    TXmlNode* child = nullptr;
    typeElement->ResetChildren();
    while (typeElement->GetNextChild(&childName, &child)) {
        const std::string name = childName.c_str();
        const str& content = child->GetContent();
        if (name == "graphicType") {
            // Overwrites every override: overrides count only when they follow it.
            CopyGraphicName(def->graphicType, content);
            for (auto& slot : def->graphicOverride)
                CopyGraphicName(slot, content);
        } else if (const int slot = OverrideSlot(name); slot >= 0) {
            if (content.length() > 0)
                CopyGraphicName(def->graphicOverride[slot], content);
        } else if (float* f = FloatField(def, name)) {
            *f = content.to_float();
        } else if (int32_t* n = IntField(def, name)) {
            *n = content.to_int();
        } else if (float* t = StateTimeField(def, name)) {
            *t = content.to_float();
        }
    }
}
