#include "game/app/windowtypes.h"

#include <iterator>
#include <map>

#include "engine/window/slider.h"
#include "engine/window/windowmanager.h"
#include "game/app/luaglobals.h"
#include "game/editors/customereditor.h"
#include "game/editors/leveleditor.h"
#include "game/editors/namelist.h"
#include "game/play/game.h"
#include "game/screens/chooserestaurant.h"
#include "game/screens/coinjar.h"
#include "game/screens/comic.h"
#include "game/screens/credits.h"
#include "game/screens/displaywindows.h"
#include "game/screens/fillwindow.h"
#include "game/screens/heroine.h"
#include "game/screens/hiscore.h"
#include "game/screens/levelintro.h"
#include "game/screens/levelover.h"
#include "game/screens/linktext.h"
#include "game/screens/lockedlevels.h"
#include "game/screens/mapmarkers.h"
#include "game/screens/mainmenu.h"
#include "game/screens/playerscreens.h"
#include "game/screens/preloader.h"
#include "game/screens/quessascloset.h"
#include "game/screens/screenfade.h"
#include "game/screens/serversavelogin.h"
#include "game/screens/textdropbutton.h"
#include "game/screens/unlocknotices.h"
#include "game/screens/upgradepicker.h"

namespace game {

namespace {

struct TWindowType {
    const char* name;
    TClassId (*classId)();
    const contract::TScreenSpec* contract;  // null for the engine's own class
};

// In registration order.
const TWindowType kWindowTypes[] = {
    {"GameWindow", &TGame::ClassId, &TGame::kContract},
    {"GameUILayer", &TGameUILayer::ClassId, &TGameUILayer::kContract},
    {"GamePostUILayer", &TGamePostUILayer::ClassId, &TGamePostUILayer::kContract},
    {"GameTimer", &TGameTimer::ClassId, &TGameTimer::kContract},
    {"LockedLevels", &TLockedLevels::ClassId, &TLockedLevels::kContract},
    {"CoinJar", &TCoinJar::ClassId, &TCoinJar::kContract},
    {"PreLoader", &TPreLoader::ClassId, &TPreLoader::kContract},
    {"ScreenFade", &TScreenFade::ClassId, &TScreenFade::kContract},
    {"TimedFade", &TTimedFade::ClassId, &TTimedFade::kContract},
    {"ComicPanel", &TComic::ClassId, &TComic::kContract},
    {"Doodle", &TLevelIntroDoodle::ClassId, &TLevelIntroDoodle::kContract},
    {"AnimWindow", &TAnimWindow::ClassId, &TAnimWindow::kContract},
    {"QuessaWindow", &TQuessaWindow::ClassId, &TQuessaWindow::kContract},
    {"SpriteWindow", &TSpriteWindow::ClassId, &TSpriteWindow::kContract},
    {"QuessasCloset", &TQuessasCloset::ClassId, &TQuessasCloset::kContract},
    {"UnlockWindow", &TUnlockWindow::ClassId, &TUnlockWindow::kContract},
    {"ClothingUnlocked", &TClothingUnlocked::ClassId, &TClothingUnlocked::kContract},
    {"LevelEditor", &TLevelEditor::ClassId, &TLevelEditor::kContract},
    {"FillWindow", &TFillWindow::ClassId, &TFillWindow::kContract},
    {"CustomerEditor", &TCustomerEditor::ClassId, &TCustomerEditor::kContract},
    {THiscore::kTypeName, &THiscore::ClassId, &THiscore::kContract},
    {"ChoosePlayerWindow", &TChoosePlayer::ClassId, &TChoosePlayer::kContract},
    {"CreditsWindow", &TCredits::ClassId, &TCredits::kContract},
    {"EnterNameWindow", &TEnterName::ClassId, &TEnterName::kContract},
    {TServerSaveLogin::kTypeName, &TServerSaveLogin::ClassId, &TServerSaveLogin::kContract},
    {"LevelIntro", &TLevelIntro::ClassId, &TLevelIntro::kContract},
    {"LevelOver", &TLevelOver::ClassId, &TLevelOver::kContract},
    {"ChooseRestaurant", &TChooseRestaurant::ClassId, &TChooseRestaurant::kContract},
    {TUpgradePicker::kTypeName, &TUpgradePicker::ClassId, &TUpgradePicker::kContract},
    {"MainMenu", &TMainMenu::ClassId, &TMainMenu::kContract},
    {"OptionsWindow", &TOptions::ClassId, &TOptions::kContract},
    {"Slider", &TSlider::ClassId, nullptr},
};

// Stated classes that Main does not register: the name lists (registered by
// the editors as they are built), and those made by code or by a factory.
const game::TStatedClass kOtherStatedClasses[] = {
    {&TCustomerWindow::kContract, &TCustomerWindow::ClassId},
    {&TGraphicsWindow::kContract, &TGraphicsWindow::ClassId},
    {&THiscoreSubmit::kContract, &THiscoreSubmit::ClassId},
    {&TTextDropButton::kContract, &TTextDropButton::ClassId},
    {&TLinkText::kContract, &TLinkText::ClassId},
    {&TAnimatedMapMarker::kContract, &TAnimatedMapMarker::ClassId},
    {&TLockedAnimation::kContract, &TLockedAnimation::ClassId},
    {&kMainContract, &TWindow::ClassId},  // the start-up's globals: no window class
};

}  // namespace

std::vector<TStatedClass> StatedWindowClasses()
{
    std::vector<TStatedClass> classes;
    for (const TWindowType& type : kWindowTypes)
        if (type.contract)
            classes.push_back({type.contract, type.classId});
    classes.insert(classes.end(), std::begin(kOtherStatedClasses), std::end(kOtherStatedClasses));
    return classes;
}

namespace {

// The names a child spec stands for, as the lint lists them: those the
// script must build and writes out in its text.
void AppendNames(const contract::TChildSpec& child, std::string* line)
{
    if (child.optional || child.composed)
        return;
    if (!child.IsNumbered()) {
        *line += std::string(" ") + child.name;
        return;
    }
    if (std::string(child.name).rfind("%d", 0) == 0)
        return;  // "%d" first: made from a number alone, nothing to find in the text
    // The lint finds the text before the number, which the script joins to it.
    *line += std::string(" ") + child.name;
}

}  // namespace

std::vector<std::string> WindowContractLines()
{
    std::vector<std::string> lines;
    for (const TStatedClass& stated : StatedWindowClasses()) {
        const contract::TScreenSpec& spec = *stated.contract;
        // A class no one script builds states only children of other scripts.
        std::string own;
        if (spec.script)
            own = std::string("window ") + spec.script + " " + (spec.typeName ? spec.typeName : "-");
        std::map<std::string, std::string> others;  // script -> names
        for (const contract::TChildSpec& child : spec.children) {
            if (child.script)
                AppendNames(child, &others[child.script]);
            else if (spec.script)
                AppendNames(child, &own);
        }
        lines.push_back("# " + std::string(spec.className));
        if (!own.empty())
            lines.push_back(own);
        for (const auto& [script, names] : others)
            if (!names.empty())
                lines.push_back("window " + script + " -" + names);
    }
    return lines;
}

void RegisterWindowTypes()
{
    TWindowManager* manager = TWindowManager::GetInstance();
    if (!manager)
        return;
    for (const TWindowType& type : kWindowTypes)
        manager->AddWindowType(type.name, type.classId());
    manager->AdoptWindowFactory("linktext", new TLinkTextFactory);
    manager->AdoptWindowFactory("_button", new TTextDropButtonFactory);
    // The loading screen and the heroine window draw the floor's waitress.
    InstallQuessaHeroine();
}

}  // namespace game
