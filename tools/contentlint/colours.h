// The colour rules, checked on the screen scripts and the generated
// pictures: every text colour a screen uses reads on what it is drawn on,
// and the party colours stay apart for colour-blind players. Both print a
// table for reading.
//
//   textcolours FILE FOLDER [SKIP...]   the text colours are named in FILE (NAME = FColor(r, g, b) or
//                                       Color(r, g, b)); every font of the scripts in FOLDER (but the
//                                       SKIP files) -- { "fonts/F.mvec", SIZE, COLOUR [, WIDTH, OUTLINE] },
//                                       fontcolor = COLOUR, headercolor = COLOUR -- names its colours there
//   ground NAME RRGGBB...               what text is drawn on: flat colours
//   ground NAME IMAGE X Y W H           ... or the pixels of a picture under the text (its opaque pixels,
//                                       the darkest and lightest 1 % left out as edges and specks)
//   contrast STYLE GROUND...            text in STYLE (a colour's name, NAME/OUTLINE when outlined) on
//                                       each ground: 4.5:1 (3:1 from 24 px); outlined text needs that
//                                       between letter and outline, and 3:1 between outline and ground
//                                       unless the letters alone pass on it
//   partycolours MIN IMAGE...           each picture's commonest colour (the outline's left out) is a
//                                       party colour: every pair at least MIN apart (CIEDE2000) as seen
//                                       with normal vision, deuteranopia and protanopia
#pragma once

#include "contracts.h"
#include "lint.h"

#include <array>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace contentlint {

using TRgb = std::array<double, 3>;  // 0..255
using TLab = std::array<double, 3>;  // CIE L*a*b*, D65

// A picture's pixels: B, G, R, A rows of `side` pixels; empty when it does not load.
struct TPicture {
    std::vector<unsigned char> bgra;
    int width = 0, height = 0, side = 0;
};

// The resource's path as the engine opens it (the name, else under assets/);
// empty when there is none.
std::string ResourcePath(const std::string& name);

// The picture the engine would open by that name (".png" added when it has no extension).
TPicture LoadPicture(const std::string& name);

// WCAG relative luminance and contrast ratio.
double RelativeLuminance(const TRgb& c);
double ContrastRatio(double luminanceA, double luminanceB);
// CIEDE2000 between two sRGB colours, both seen through the same vision
// ("normal", "deuteranopia", "protanopia", "tritanopia": Machado et al.'s
// full-severity matrices on linear RGB).
double ColourDistance(const TRgb& a, const TRgb& b, const std::string& vision);
double Ciede2000(const TLab& a, const TLab& b);

class TColourRules {
public:
    explicit TColourRules(TLintReport* report) : mReport(*report) {}
    // Takes a colour statement; the checks run in Finish, once every one is in.
    void Add(const TContract& c);
    void Finish();

private:
    struct TStyleUse {
        int smallest = 1000;  // px
        std::string where;    // the first use
    };
    struct TGround {
        double darkest = 0, lightest = 0;  // relative luminance
        std::string where;
    };

    void ReadColourNames(const TContract& c);
    void ScanScripts(const TContract& c);
    void ScanScript(const std::string& file, const std::string& text);
    void UseStyle(const std::string& where, int size, const std::string& colour, const std::string& outline);
    void ReadGround(const TContract& c);
    void CheckContrast(const TContract& c);
    void CheckPartyColours(const TContract& c);
    void Fail(const std::string& where, const std::string& why) { mReport.failures.push_back(where + ": " + why); }

    TLintReport& mReport;
    std::map<std::string, TRgb> mNames;
    std::map<std::string, TStyleUse> mStyles;  // "NAME" or "NAME/OUTLINE"
    std::map<std::string, TGround> mGrounds;
    std::vector<TContract> mContrasts, mParties;
    std::set<std::string> mChecked;
    bool mScanned = false;
};

}  // namespace contentlint
