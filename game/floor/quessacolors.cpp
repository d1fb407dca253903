#include "game/floor/quessacolors.h"

#include "engine/base/instanceholder.h"
#include "engine/base/xml.h"
#include "game/settings/configfile.h"

#include <cstdlib>
#include <utility>

namespace {

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

TQuessaColors::TQuessaColors()
    : TQuessaColors(
          Parse(game::ReadConfigXmlText(kColorsFile, "clothing", "the waitress's clothes keep their drawn colours")))
{
}

TQuessaColors::TQuessaColors(std::list<TColorEntry> colours) : mColours(std::move(colours))
{
    TInstanceHolder<TQuessaColors>::Publish(this);
}

TQuessaColors::~TQuessaColors() { TInstanceHolder<TQuessaColors>::Withdraw(this); }

TQuessaColors* TQuessaColors::GetInstance() { return TInstanceHolder<TQuessaColors>::Get(); }

str TQuessaColors::ColorName(int index)
{
    const TQuessaColors* colours = GetInstance();
    if (!colours || index < 0)
        return str();
    for (const TColorEntry& entry : colours->Colors())
        if (index-- == 0)
            return entry.name;
    return str();
}

const TColorEntry* TQuessaColors::Find(str name)
{
    const TQuessaColors* colours = GetInstance();
    if (!colours)
        return nullptr;
    for (const TColorEntry& entry : colours->Colors())
        if (entry.name == name)
            return &entry;
    return nullptr;
}
