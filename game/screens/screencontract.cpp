#include "game/screens/screencontract.h"

#include "engine/base/debuglog.h"
#include "engine/script/windowscript.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <utility>
#include <vector>

namespace contract {

bool TChildSpec::IsNumbered() const { return std::strstr(name, "%d") != nullptr; }

std::string TChildSpec::NameOf(int n) const
{
    const char* mark = std::strstr(name, "%d");
    if (!mark)
        return name;
    return std::string(name, mark) + std::to_string(n) + (mark + 2);
}

bool TChildSpec::Matches(const char* childName) const
{
    if (!childName)
        return false;
    const char* mark = std::strstr(name, "%d");
    if (!mark)
        return std::strcmp(name, childName) == 0;
    // "prefix%dsuffix": the prefix, a number in range, the suffix.
    const size_t prefix = static_cast<size_t>(mark - name);
    if (std::strncmp(name, childName, prefix) != 0)
        return false;
    const char* digits = childName + prefix;
    char* end = nullptr;
    const long n = std::strtol(digits, &end, 10);
    if (end == digits || *digits == '-' || *digits == '+')
        return false;
    return std::strcmp(end, mark + 2) == 0 && n >= first && n <= last;
}

const TChildSpec* TScreenSpec::Find(const char* childName) const
{
    for (const TChildSpec& child : children)
        if (child.Matches(childName))
            return &child;
    return nullptr;
}

const TScreenSpec* ContractOf(const TWindow* window)
{
    const auto* stated = dynamic_cast<const IStated*>(window);
    return stated ? &stated->Contract() : nullptr;
}

namespace {

// "TClass: \"name\"" for each unstated lookup, in the order first made.
std::vector<std::string>& Unstated()
{
    static std::vector<std::string> lookups;
    return lookups;
}

}  // namespace

std::vector<std::string> UnstatedLookups() { return Unstated(); }

bool Check(const TWindow* window, const char* name)
{
    const TScreenSpec* spec = ContractOf(window);
    if (!spec || spec->Find(name))
        return true;
    // Once per class and name: a screen may look a child up every frame.
    static std::set<std::pair<std::string, std::string>> reported;
    if (reported.emplace(spec->className, name ? name : "").second) {
        Unstated().push_back(std::string(spec->className) + ": \"" + (name ? name : "(null)") + "\"");
        WriteDbg("%s: the child \"%s\" is not in its statement of what its script builds", spec->className,
                 name ? name : "(null)");
        QM_ASSERT(spec->Find(name));
    }
    return false;
}

void PublishFunctions(const TScreenSpec& spec, void* self, TWindow* window)
{
    if (spec.functions.empty())
        return;
    if (TWindowScript* script = TWindowScript::Get())
        qm::lua::PublishAll(script->GetState(), spec.functions, spec.FunctionOwner(), self, window->Lifeline());
}

}  // namespace contract
