#include "game/app/windowtypes.h"

#include "engine/window/slider.h"
#include "engine/window/windowmanager.h"
#include "game/editors/customereditor.h"
#include "game/editors/leveleditor.h"
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
};

// In registration order.
const TWindowType kWindowTypes[] = {
    {"GameWindow", &TGame::ClassId},
    {"GameUILayer", &TGameUILayer::ClassId},
    {"GamePostUILayer", &TGamePostUILayer::ClassId},
    {"GameTimer", &TGameTimer::ClassId},
    {"LockedLevels", &TLockedLevels::ClassId},
    {"CoinJar", &TCoinJar::ClassId},
    {"PreLoader", &TPreLoader::ClassId},
    {"ScreenFade", &TScreenFade::ClassId},
    {"TimedFade", &TTimedFade::ClassId},
    {"ComicPanel", &TComic::ClassId},
    {"Doodle", &TLevelIntroDoodle::ClassId},
    {"AnimWindow", &TAnimWindow::ClassId},
    {"QuessaWindow", &TQuessaWindow::ClassId},
    {"SpriteWindow", &TSpriteWindow::ClassId},
    {"QuessasCloset", &TQuessasCloset::ClassId},
    {"UnlockWindow", &TUnlockWindow::ClassId},
    {"ClothingUnlocked", &TClothingUnlocked::ClassId},
    {"LevelEditor", &TLevelEditor::ClassId},
    {"FillWindow", &TFillWindow::ClassId},
    {"CustomerEditor", &TCustomerEditor::ClassId},
    {THiscore::kTypeName, &THiscore::ClassId},
    {"ChoosePlayerWindow", &TChoosePlayer::ClassId},
    {"CreditsWindow", &TCredits::ClassId},
    {"EnterNameWindow", &TEnterName::ClassId},
    {TServerSaveLogin::kTypeName, &TServerSaveLogin::ClassId},
    {"LevelIntro", &TLevelIntro::ClassId},
    {"LevelOver", &TLevelOver::ClassId},
    {"ChooseRestaurant", &TChooseRestaurant::ClassId},
    {TUpgradePicker::kTypeName, &TUpgradePicker::ClassId},
    {"MainMenu", &TMainMenu::ClassId},
    {"OptionsWindow", &TOptions::ClassId},
    {"Slider", &TSlider::ClassId},
};

}  // namespace

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
