#include "game/levels/levelrecord.h"

#include "engine/base/xml.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>

const char* const TCareerLevelRecord::kFlags[4] = {"flashlight", "startdirty", "mustcolor", "brokenarm"};

namespace {

// "time12" -> 12 when `name` is `prefix` and a slot number, else 0.
int SlotOf(const std::string& name, const char* prefix)
{
    const std::size_t length = std::strlen(prefix);
    if (name.compare(0, length, prefix) != 0 || name.size() == length)
        return 0;
    for (std::size_t i = length; i < name.size(); ++i)
        if (name[i] < '0' || name[i] > '9')
            return 0;
    const int slot = name.size() - length > 4 ? 0 : std::stoi(name.substr(length));
    return slot >= 1 && slot <= 1000 ? slot : 0;
}

// The shortest text that reads back as the value ("1.5", "40").
std::string Number(float value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
    return text;
}

std::string Escaped(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else
            out += c;
    }
    return out;
}

bool WriteElement(TXmlNode& node, int indent, std::string* out)
{
    str name, value;
    node.ResetAttributes();
    if (node.GetNextAttribute(&name, &value))
        return false;
    const std::string blanks(static_cast<std::size_t>(indent), ' ');
    const std::string tag = node.GetName().c_str();
    if (!node.HasChildren()) {
        *out += blanks + "<" + tag + ">" + Escaped(node.GetContent().c_str()) + "</" + tag + ">\n";
        return true;
    }
    if (node.GetContent().length() > 0)
        return false;
    *out += blanks + "<" + tag + ">\n";
    TXmlNode* child = nullptr;
    node.ResetChildren();
    while (node.GetNextChild(&name, &child))
        if (!WriteElement(*child, indent + 4, out))
            return false;
    *out += blanks + "</" + tag + ">\n";
    return true;
}

}  // namespace

TXmlNode* LastChild(const TXmlNode* node, const char* name)
{
    if (!node)
        return nullptr;
    auto* walked = const_cast<TXmlNode*>(node);  // the child walk keeps a cursor
    TXmlNode* last = nullptr;
    str childName;
    TXmlNode* child = nullptr;
    walked->ResetChildren();
    while (walked->GetNextChild(&childName, &child))
        if (childName == str(name))
            last = child;
    return last;
}

TXmlNode* CareerLevelElement(const TXmlNode* dataroot, int number)
{
    if (!dataroot)
        return nullptr;
    auto* walked = const_cast<TXmlNode*>(dataroot);  // the child walk keeps a cursor
    str name;
    TXmlNode* child = nullptr;
    walked->ResetChildren();
    while (walked->GetNextChild(&name, &child)) {
        const TXmlNode* level = LastChild(child, "level");
        if (name == str("career") && level && level->GetContent().to_int() == number)
            return child;
    }
    return nullptr;
}

bool WriteLevelFile(TXmlNode& root, std::string* text)
{
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    if (!WriteElement(root, 0, &out))
        return false;
    *text = std::move(out);
    return true;
}

TCareerLevelRecord TCareerLevelRecord::Read(const TXmlNode& career)
{
    TCareerLevelRecord record;
    const std::set<std::string> flags(std::begin(kFlags), std::end(kFlags));
    auto* node = const_cast<TXmlNode*>(&career);  // the child walk keeps a cursor
    str name;
    TXmlNode* child = nullptr;
    node->ResetChildren();
    while (node->GetNextChild(&name, &child)) {
        const std::string key = name.c_str();
        const std::string value = child->GetContent().c_str();
        const int number = child->GetContent().to_int();
        const float real = child->GetContent().to_float();
        auto group = [&record](int slot) -> TGroup& {
            if (static_cast<int>(record.groups.size()) < slot)
                record.groups.resize(static_cast<std::size_t>(slot));
            return record.groups[static_cast<std::size_t>(slot - 1)];
        };
        if (key == "level")
            record.level = number;
        else if (key == "edited")
            record.edited = number != 0;
        else if (key == "restaurant")
            record.restaurant = number;
        else if (key == "goal")
            record.goal = number;
        else if (key == "expert")
            record.expert = number;
        else if (key == "leavePenalty")
            record.leavePenalty = number;
        else if (key == "layout")
            record.layout = value;
        else if (key == "snackChance")
            record.snackChance = number;
        else if (key == "doodle")
            record.doodle = value;
        else if (flags.count(key)) {
            // A flag named again takes its later value, on or off.
            record.flags.erase(std::remove(record.flags.begin(), record.flags.end(), key), record.flags.end());
            if (value == "1")
                record.flags.push_back(key);
        } else if (key == "newchef")
            record.newChef = real;
        else if (key == "shakefreq")
            record.shakeFreq = real;
        else if (key == "shakelength")
            record.shakeLength = real;
        else if (key == "shakespill")
            record.shakeSpill = real;
        else if (int slot = SlotOf(key, "time"))
            group(slot).timeMS = number;
        else if (int slot = SlotOf(key, "groupType"))
            group(slot).type = value;
        else if (int slot = SlotOf(key, "groupDef"))
            group(slot).def = value;
        else
            record.others.emplace_back(key, value);
    }
    // The editor keeps every slot; the file ends with the last one in use.
    while (!record.groups.empty() && record.groups.back().timeMS == 0 && record.groups.back().type.empty() &&
           record.groups.back().def.empty())
        record.groups.pop_back();
    return record;
}

std::string TCareerLevelRecord::Write() const
{
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<dataroot>\n    <career>\n";
    auto add = [&out](const std::string& key, const std::string& value) {
        out += "        <" + key + ">" + Escaped(value) + "</" + key + ">\n";
    };
    add("level", std::to_string(level));
    if (edited)
        add("edited", "1");
    if (restaurant >= 0)
        add("restaurant", std::to_string(restaurant));
    add("goal", std::to_string(goal));
    add("expert", std::to_string(expert));
    if (leavePenalty)
        add("leavePenalty", std::to_string(*leavePenalty));
    add("layout", layout);
    add("snackChance", std::to_string(snackChance));
    if (!doodle.empty())
        add("doodle", doodle);
    for (const char* flag : kFlags)
        for (const std::string& set : flags)
            if (set == flag)
                add(flag, "1");
    if (newChef != 0)
        add("newchef", Number(newChef));
    if (shakeFreq != 0) {
        add("shakefreq", Number(shakeFreq));
        add("shakelength", Number(shakeLength));
        add("shakespill", Number(shakeSpill));
    }
    for (std::size_t i = 0; i < groups.size(); ++i) {
        const std::string slot = std::to_string(i + 1);
        add("time" + slot, std::to_string(groups[i].timeMS));
        add("groupType" + slot, groups[i].type);
        add("groupDef" + slot, groups[i].def);
    }
    for (const auto& [key, value] : others)
        add(key, value);
    out += "    </career>\n</dataroot>\n";
    return out;
}
