// A career level as its file holds it: one typed record, read from the
// level's <career> element (the level manager plays it from the record) and
// written back in the one layout every level file has (the one
// tools/levels/make-levels writes), so a level saved by the level editor
// differs from a generated one only where its values do.
//
//   <?xml version="1.0" encoding="UTF-8"?>
//   <dataroot>
//       <career>
//           <level>1</level>
//           ...
//       </career>
//   </dataroot>
//
// A file the editor saved carries <edited>1</edited>: the generator then
// reads it back instead of writing it.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

class TXmlNode;

struct TCareerLevelRecord {
    // One arriving party: its slot's delay, customer type and colours.
    struct TGroup {
        int timeMS = 0;
        std::string type;
        std::string def;
    };

    int level = 0;
    bool edited = false;
    int restaurant = -1;  // a downloaded level's restaurant; -1: none
    int goal = 0;
    int expert = 0;
    std::optional<int> leavePenalty;  // none: the game's default
    std::string layout;
    int snackChance = 0;
    std::string doodle;
    std::vector<std::string> flags;  // set rules, in the order kFlags lists them
    float newChef = 0;               // 0: no new cook
    float shakeFreq = 0, shakeLength = 0, shakeSpill = 0;  // frequency 0: no shaking
    std::vector<TGroup> groups;      // slot 1 first; trailing empty slots are not kept
    // Elements the record has no field for, kept in their order. An element
    // the record has a field for that the file names twice takes the later
    // value; the earlier one counts for nothing and is not kept.
    std::vector<std::pair<std::string, std::string>> others;

    // The rules a level may set ("1" when on), in the file's order.
    static const char* const kFlags[4];

    static TCareerLevelRecord Read(const TXmlNode& career);
    // The whole file's text.
    std::string Write() const;
};

// A level file may name an element twice (a hand edit appended below the
// old value): the later one counts, in every reader of level files. The
// child of `node` named `name` that counts, or null (also for a null node).
TXmlNode* LastChild(const TXmlNode* node, const char* name);

// The first <career> child of a level document's <dataroot> whose <level>
// (as LastChild reads it) is `number`: the level it defines. Null without
// one (also for a null dataroot).
TXmlNode* CareerLevelElement(const TXmlNode* dataroot, int number);

// Any level document (the endless file) in the layout of every level file:
// an element holding text on one line, one holding elements over several,
// four spaces deeper a level. False, and nothing written, for a document
// that layout cannot hold (attributes, or text beside elements).
bool WriteLevelFile(TXmlNode& root, std::string* text);
