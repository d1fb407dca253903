// TXmlNode::ParseString on any text; what it builds is written and read again.
#include "engine/base/xml.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);  // NUL-terminated copy
    TXmlNode document;
    document.ParseString(text.c_str());
    str written = document.AsString();
    TXmlNode again;
    again.ParseString(written.c_str());
    again.ResetChildren();
    str name;
    TXmlNode* child;
    while (again.GetNextChild(&name, &child)) {
        child->ResetAttributes();
        str attribute, value;
        while (child->GetNextAttribute(&attribute, &value)) {
        }
    }
    return 0;
}
