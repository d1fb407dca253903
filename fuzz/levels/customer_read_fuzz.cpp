// Customer types from any customer.xml: every id the file names gives a
// definition and a member count, and an unknown id the zero record.
#include "fuzz_folder.h"
#include "engine/base/xml.h"
#include "game/settings/customersettings.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    qmfuzz::EnterScratchFolder();
    qmfuzz::WriteInput("assets/config/customer.xml", data, size);
    TCustomerSettings customers;

    TXmlNode document;
    const std::string text(reinterpret_cast<const char*>(data), size);
    document.ParseString(text.c_str());
    TXmlNode* root = document.GetChild("dataroot");
    if (root) {
        str name;
        TXmlNode* type = nullptr;
        root->ResetChildren();
        while (root->GetNextChild(&name, &type)) {
            const str id = type->GetChildContent("id");
            const TCustomerDef def = customers.CreateCustomerDefinition(id);
            if (std::memchr(def.graphicType, 0, sizeof def.graphicType) == nullptr)
                std::abort();
            const int overrides = customers.GetNumGraphicOverrides(id);
            if (overrides < 0)
                std::abort();
        }
    }
    const TCustomerDef none = customers.CreateCustomerDefinition("\x01no such type");
    if (none.minStatePeriodMS != 0 && !root)
        std::abort();
    return 0;
}
