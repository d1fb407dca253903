// The customer types of "assets/config/customer.xml": the level manager
// owns one and asks it for each arriving party's definition.
#pragma once

#include "engine/base/str.h"
#include "game/settings/customerdef.h"

#include <memory>

class TXmlNode;

class TCustomerSettings {
public:
    // Reads the file (plain or its enciphered ".bin" sibling); a missing or
    // unreadable file leaves no types, so every id gives the all-zero record.
    TCustomerSettings();
    ~TCustomerSettings();
    TCustomerSettings(const TCustomerSettings&) = delete;
    TCustomerSettings& operator=(const TCustomerSettings&) = delete;

    // The first type whose "id" is exactly `id`; all zero when none is.
    TCustomerDef CreateCustomerDefinition(str id);
    // Non-empty "graphicOverride1".."graphicOverride6" children over every
    // type with that id; a nonzero count fixes the party size.
    int GetNumGraphicOverrides(str id);
    // Fills `def` from one type element; nothing when either is null.
    static void UpdateCustomerDef(TXmlNode* typeElement, TCustomerDef* def);

private:
    TXmlNode* Root() const;

    std::unique_ptr<TXmlNode> mDocument;
};
