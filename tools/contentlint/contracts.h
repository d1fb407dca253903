// The data contracts: one list of everything the code, the scripts and the
// data ask of the data (files, textures, sounds, string labels, animations,
// the script functions the game waits on, anchors), read by the content lint.
//
// One statement a line, "#" starts a comment; "{NAME}" in a line stands for
// every value of the set NAME, so one line can name a file of every customer
// type in every colour:
//
//   set NAME VALUE...                 values for {NAME}
//   file PATH                         a file the code opens
//   texture NAME                      a texture name with its "?" options ("palette=" files included)
//   sound NAME                        an Ogg sound
//   label LABEL                       a string-table label (assets/strings.xml)
//   anim FILE [IMAGE]                 an animation that loads (with the image override)
//   ends FILE FUNCTION...             script functions the game waits on: each must end
//   loops FILE FUNCTION...            script functions that may run until replaced: each must exist
//   anchor FILE FRAME NAME...         anchors of a frame ("all": every frame) that the code reads
//   window SCRIPT TYPE NAME...        a screen script builds a window of TYPE ("-": any) and
//                                     the children NAME... ("x%d": names "x" plus a number)
//   pending PATH                      named by the code, its data not made yet (noted; fails once it exists);
//                                     "SCRIPT:NAME" a window child the script does not build yet
//   loudness KIND FOLDER ...          the loudness rule for the sounds in a folder (loudness.h)
//   glow IMAGE...                     a halo laid over the scene: it fades out inside the picture, so
//                                     every pixel on its border is fully transparent (a visible pixel
//                                     there shows on screen as a straight cut) and those just inside
//                                     are faint (a halo eased out at the edge is cut all the same)
//   whole IMAGE...                    a picture drawn whole (an item, its offer's rim): nothing on its
//                                     border
//   coverboxes SCRIPT TABLE           what the game screen draws over the room: the boxes
//                                     { x, y, w, h } of the global TABLE the Lua file SCRIPT sets
//   coverpicture NAME PICTURE X0 Y0 X1 Y1   a picture drawn centred at (X0, Y0) sliding to (X1, Y1)
//   clear FILE...                     every picture a decor file (upgrades.xml) places meets no
//                                     cover at its own size, glow margin included (places.h)
//   textcolours, ground, contrast, partycolours   the colour rules (colours.h)
#pragma once

#include <string>
#include <vector>

namespace contentlint {

struct TContract {
    std::string kind;                // file, texture, sound, label, anim, ends, loops, anchor, window, pending, ...
    std::vector<std::string> words;  // the words after the kind, sets expanded
    std::string where;               // "FILE: line N"
};

// Reads the list; errors (unknown kinds, missing words, unknown sets) are
// appended to `errors` with their line.
std::vector<TContract> ReadContracts(const std::string& text, const std::string& fileName,
                                     std::vector<std::string>* errors);

}  // namespace contentlint
