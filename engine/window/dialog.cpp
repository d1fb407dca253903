#include "engine/window/dialog.h"

#include "engine/base/debuglog.h"
#include "engine/window/message.h"
#include "engine/window/screen.h"
#include "engine/window/webpage.h"
#include "engine/window/windowmanager.h"
#include "engine/window/windowscripthook.h"

#include <cstdio>
#include <cstring>

namespace {

TWindow* CreateDialog()
{
    return new TDialog(str(), str(), str());
}

// Messages named "http=<address>" ask for a web page.
constexpr char kWebPrefix[] = "http=";
constexpr size_t kWebPrefixLength = sizeof(kWebPrefix) - 1;

}  // namespace

TDialog::TDialog(str script, str body, str title)
    : mScript(std::move(script)), mBody(std::move(body)), mTitle(std::move(title))
{
}

TClassId TDialog::ClassId()
{
    static const TClassId id = RegisterCreatable(&CreateDialog);
    return id;
}

str TDialog::LuaLiteral(const str& text)
{
    // A long string cannot hold "]]" (it ends there) nor "[[" (long strings
    // nest), and a "]" at the end would join the closing brackets. Such texts
    // are written as quoted strings with decimal escapes instead; the value
    // is the same, including the long string's dropped first newline.
    const char* s = text.c_str();
    const size_t n = std::strlen(s);
    const bool longStringSafe = !std::strstr(s, "]]") && !std::strstr(s, "[[") && (n == 0 || s[n - 1] != ']');
    if (longStringSafe)
        return str("[[") + text + str("]]");
    std::string quoted = "\"";
    for (size_t i = (s[0] == '\n') ? 1 : 0; i < n; ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x20 || c == 0x7F || c == '"' || c == '\\' || c == '[' || c == ']') {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\%03u", c);
            quoted += escape;
        } else {
            quoted += static_cast<char>(c);
        }
    }
    quoted += '"';
    return str(quoted.c_str());
}

bool TDialog::Init()
{
    TWindowManager* manager = TWindowManager::GetInstance();
    IWindowScript* script = manager ? manager->GetScript() : nullptr;
    if (!script) {
        WriteDbg("TDialog::Init: no window script; dialog %s stays empty", mScript.c_str());
        return true;
    }
    script->RunLuaText(str(" gDialogTable.body=") + LuaLiteral(mBody) + str("; gDialogTable.title=") + LuaLiteral(mTitle) + str(";"));
    script->RunScript(mScript.c_str());
    if (GetChildren().empty()) {
        // Nothing to show and nothing to press: left open, the dialog would
        // hold every event forever. It closes at once; the screen waiting for
        // it goes on with no value.
        WriteDbg("TDialog::Init: dialog script %s made no windows; closing the dialog", mScript.c_str());
        if (manager)
            manager->PostWindowMessage(new TMessage(kCloseWindow, GetIdText(), nullptr));
    }
    if (GetRect().x1 == 0 && GetRect().y1 == 0)
        CentreOnScreen();
    script->RunLuaText(str::getFormatted(
        "function gDialogFunction() DebugOut('inside a dialog function'); WaitForCloseMessage('%s'); end;",
        FormatWindowId(GetId()).c_str()));
    script->SendGlobalFunction("gDialogFunction");
    return true;
}

void TDialog::CentreOnScreen()
{
    TWindowManager* manager = TWindowManager::GetInstance();
    TScreen* screen = manager ? manager->GetScreen() : nullptr;
    if (!screen)
        return;
    SetWindowPos((screen->GetWindowWidth() - GetWindowWidth()) / 2, (screen->GetWindowHeight() - GetWindowHeight()) / 2);
}

bool TDialog::OnMessage(TMessage* m)
{
    WriteDbg("TRACE: %s, %d", "src/core/dialog", 62);
    const char* name = m->GetName().c_str();
    if (std::strncmp(name, kWebPrefix, kWebPrefixLength) == 0) {
        const char* address = name + kWebPrefixLength;
        if (*address)
            qm::OpenWebPage(address);
        return true;
    }
    return TModalWindow::OnMessage(m);
}
