// TXSellWindow ("XSellWindow"): a window that advertises other games. Its
// Lua definition builds the child windows; SetupXSell fills them from
// "assets/xsell/xsell.xml" (up to seven entries, the maker's site link and
// two centred lines) and LaunchGameLink opens an entry's link (1-7) or the
// site link (0) in the web browser. Both are Lua globals published by the
// window when it is made.
#pragma once

#include "engine/base/str.h"
#include "engine/window/window.h"

#include <array>
#include <memory>

class TXmlNode;

class TXSellWindow : public TWindow {
public:
    static constexpr int kMaxGames = 7;

    TXSellWindow();
    ~TXSellWindow() override;

    static TClassId ClassId();
    bool IsKindOf(TClassId id) const override { return id == ClassId() || TWindow::IsKindOf(id); }

    void SetupXSell();
    // n from 1 to 7: game link n; 0: the site link. Others are refused.
    void LaunchGameLink(int n);

    const str& GetGameLink(int n) const { return mGameLinks[static_cast<size_t>(n - 1)]; }
    const str& GetSiteLink() const { return mSiteLink; }

private:
    int ReadEntries(TXmlNode* xsell);
    void SetEntryText(int n, TXmlNode* gameinfo);
    void CentreOnDefinedPosition(TWindow* w);
    void CentreItems();

    std::array<str, kMaxGames> mGameLinks;
    str mSiteLink;
};

TWindow* TXSellWindowDynamicCreate();
