#include "engine/window/xsellwindow.h"

#include "engine/base/debuglog.h"
#include "engine/base/xml.h"
#include "engine/window/showwindow.h"
#include "engine/window/text.h"
#include "engine/window/webpage.h"
#include "engine/window/windowmanager.h"
#include "engine/window/windowscripthook.h"

namespace {

constexpr char kXSellFile[] = "assets/xsell/xsell.xml";

str Numbered(const char* base, int n)
{
    return str::getFormatted("%s%d", base, n);
}

}  // namespace

TWindow* TXSellWindowDynamicCreate()
{
    return new TXSellWindow;
}

TClassId TXSellWindow::ClassId()
{
    static const TClassId id = RegisterCreatable(&TXSellWindowDynamicCreate);
    return id;
}

TXSellWindow::TXSellWindow()
{
    TWindowManager* manager = TWindowManager::GetInstance();
    IWindowScript* script = manager ? manager->GetScript() : nullptr;
    if (!script)
        return;
    // The globals stay after the window is gone; bound to its lifeline, a
    // call then does nothing instead of reaching a deleted window.
    script->PublishFunction("SetupXSell", "TXSellWindow", Lifeline(), [this]() { SetupXSell(); });
    script->PublishIntFunction("LaunchGameLink", "TXSellWindow", Lifeline(), [this](int n) { LaunchGameLink(n); });
}

TXSellWindow::~TXSellWindow() = default;

void TXSellWindow::SetupXSell()
{
    TXmlNode document;
    const EXmlParse result = document.ParseFile(kXSellFile);
    TXmlNode* xsell = document.GetChild("xsell");
    int count = 0;
    if (xsell)
        count = ReadEntries(xsell);
    else if (result != EXmlParse::kOk)
        WriteDbg("TXSellWindow::SetupXSell: %s %s; showing no entries", kXSellFile, XmlParseProblem(result));
    else
        WriteDbg("TXSellWindow::SetupXSell: no <xsell> in %s; showing no entries", kXSellFile);
    // Entries without data do not show.
    for (int n = count + 1; n <= kMaxGames + 1; ++n) {
        ShowWindow(GetChildWindow(Numbered("descrip", n), -1), false);
        ShowWindow(GetChildWindow(Numbered("xsellbutton", n), -1), false);
    }
    CentreItems();
}

int TXSellWindow::ReadEntries(TXmlNode* xsell)
{
    int count = 0;
    bool hasSiteLink = false;
    TXmlNode* centerText = nullptr;
    str name;
    TXmlNode* child = nullptr;
    xsell->ResetChildren();
    while (xsell->GetNextChild(&name, &child)) {
        if (name == str("gameinfo")) {
            if (count == kMaxGames)
                continue;  // only seven entries have windows
            ++count;
            SetEntryText(count, child);
            mGameLinks[static_cast<size_t>(count - 1)] = child->GetAttribute("link");
        } else if (name == str("sitelink")) {
            mSiteLink = child->GetAttribute("link");
            hasSiteLink = true;
        } else if (name == str("centertext")) {
            centerText = child;
        }
    }
    if (!hasSiteLink)
        ShowWindow(GetChildWindow("gamesite", -1), false);
    if (centerText) {
        if (auto* line = ::GetCast<TText>(GetChildWindow("centertext1", -1)))
            line->SetText(centerText->GetAttribute("text1"));
        if (auto* line = ::GetCast<TText>(GetChildWindow("centertext2", -1)))
            line->SetText(centerText->GetAttribute("text2"));
    }
    return count;
}

void TXSellWindow::SetEntryText(int n, TXmlNode* gameinfo)
{
    auto* text = ::GetCast<TText>(GetChildWindow(Numbered("descrip", n), -1));
    if (!text)
        return;
    str value = gameinfo->GetAttribute("description");
    const str linkText = gameinfo->GetAttribute("linktext");
    // The caption is a rich-text link naming the entry's button, so clicking
    // it runs that button's command.
    if (linkText.length() > 0)
        value = value + str(" <u><font color=\"003cff\"><a id='") + Numbered("xsellbutton", n) + str("'>") + linkText +
                str("</a></font></u>");
    text->SetText(value);
}

void TXSellWindow::CentreOnDefinedPosition(TWindow* w)
{
    // The definition gives each item's centre: move it up and left by half
    // its size. The rectangle is in screen coordinates and the position taken
    // in the parent's, which agree with the window at the screen origin.
    TRect r;
    w->GetWindowRect(&r);
    w->SetWindowPos(r.x1 - (r.x2 - r.x1) / 2, r.y1 - (r.y2 - r.y1) / 2);
}

void TXSellWindow::CentreItems()
{
    for (int n = 1; n <= kMaxGames; ++n)
        if (TWindow* w = GetChildWindow(Numbered("xsellbutton", n), -1))
            CentreOnDefinedPosition(w);
    for (const char* name : {"sitelogo", "quellmoorlogo", "gamesite"})
        if (TWindow* w = GetChildWindow(name, -1))
            CentreOnDefinedPosition(w);
}

void TXSellWindow::LaunchGameLink(int n)
{
    if (n < 0 || n > kMaxGames) {
        WriteDbg("LaunchGameLink: no link %d (0 is the site, 1 to %d the games)", n, kMaxGames);
        return;
    }
    const str& link = (n == 0) ? mSiteLink : mGameLinks[static_cast<size_t>(n - 1)];
    qm::OpenWebPage(link.c_str());
}
