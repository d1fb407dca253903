#include "game/floor/quessacolors.h"

#include "engine/base/xml.h"
#include "game/settings/configfile.h"

#include <cstdlib>
#include <memory>

namespace {

constexpr const char* kColorsFile = "assets/quessa/colors.inf";

std::unique_ptr<std::list<TColorEntry>>& Instance()
{
    static std::unique_ptr<std::list<TColorEntry>> list;
    return list;
}

float Channel(const TXmlNode& node, const char* name)
{
    return float(std::atoi(node.GetAttribute(name).c_str())) / 255.0f;
}

}  // namespace

std::list<TColorEntry> TQuessaColors::Parse(const str& text)
{
    std::list<TColorEntry> colours;
    TXmlNode document;
    document.ParseString(text.c_str());
    TXmlNode* clothing = document.GetChild("clothing");
    if (!clothing)
        return colours;
    clothing->ResetChildren();
    str name;
    for (TXmlNode* node = nullptr; clothing->GetNextChild(&name, &node);) {
        if (name != str("color"))
            continue;
        colours.push_back(TColorEntry{node->GetAttribute("name"), Channel(*node, "r"), Channel(*node, "g"),
                                      Channel(*node, "b")});
    }
    return colours;
}

const std::list<TColorEntry>& TQuessaColors::GetInstance()
{
    auto& list = Instance();
    if (!list)
        list = std::make_unique<std::list<TColorEntry>>(
            Parse(game::ReadConfigXmlText(kColorsFile, "clothing", "the waitress's clothes keep their drawn colours")));
    return *list;
}

void TQuessaColors::Release() { Instance().reset(); }

str TQuessaColors::ColorName(int index)
{
    const auto& colours = GetInstance();
    if (index < 0)
        return str();
    for (const TColorEntry& entry : colours)
        if (index-- == 0)
            return entry.name;
    return str();
}

const TColorEntry* TQuessaColors::Find(str name)
{
    for (const TColorEntry& entry : GetInstance())
        if (entry.name == name)
            return &entry;
    return nullptr;
}
