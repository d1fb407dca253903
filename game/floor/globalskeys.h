// Reading the level file's `globals` keys the floor's helpers take their
// numbers from. Each accepts the `globals` element itself, a `dataroot`
// holding one or a document holding that, and says whether the key was there, so a missing key keeps
// the caller's own default.
#pragma once

#include "engine/base/xml.h"

namespace globalskeys {

inline TXmlNode* Globals(TXmlNode* node)
{
    if (!node)
        return nullptr;
    if (TXmlNode* root = node->GetChild("dataroot"))
        node = root;
    TXmlNode* inner = node->GetChild("globals");
    return inner ? inner : node;
}

inline bool ReadInt(TXmlNode* node, const char* key, int* value)
{
    TXmlNode* globals = Globals(node);
    if (!globals || !globals->GetChild(key))
        return false;
    *value = globals->GetChildContent(key).to_int();
    return true;
}

inline bool ReadFloat(TXmlNode* node, const char* key, float* value)
{
    TXmlNode* globals = Globals(node);
    if (!globals || !globals->GetChild(key))
        return false;
    *value = static_cast<float>(globals->GetChildContent(key).to_float());
    return true;
}

}  // namespace globalskeys
