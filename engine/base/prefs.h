// The player's settings and progress: prefs.dat in the user data folder.
//
// One XML tree of text values. The file holds one "install" section per
// installation of the game (keyed by the attribute "qminstallkey"), each
// with at most one "global" element and any number of "user" elements
// (player profiles, numbered by their order); every value is an attribute
// of one of those. With a key text the whole tree is stored enciphered in a
// small wrapper, with a checksum:
//
//   <>
//       <data1
//           data="...Base64 of the enciphered tree...">
//       </data1>
//       <data2
//           data="...checksum...">
//       </data2>
//   </>
//
// and the file ends with a NUL byte. Saving replaces the file through a
// temporary file, so a failed save leaves the previous one; a file that
// cannot be read is renamed to prefs.dat.bad and the store starts empty,
// except one this user may not open, which is left alone and never saved over.
#pragma once

#include "engine/base/str.h"
#include "engine/base/xml.h"

class TPrefs {
public:
    // The largest prefs.dat read: a player's values take some 2 KB
    // enciphered, so this is thousands of players. Anything larger is
    // treated as damaged.
    static constexpr std::size_t kMaxFileBytes = std::size_t(8) << 20;

    // Loads the store. `key`: the cipher key text; empty means plain XML.
    // When `writable` is false nothing is ever written or renamed.
    TPrefs(str key, bool writable);
    ~TPrefs();
    TPrefs(const TPrefs&) = delete;
    TPrefs& operator=(const TPrefs&) = delete;

    // user < 0: the installation's global values; otherwise that player.
    // The default when the player does not exist or the value is missing or empty.
    str GetStr(str name, str defaultValue, int user);
    int GetInt(str name, int defaultValue, int user);
    // -1 when missing; 0 when copied; otherwise (no buffer, or too small) the stored size.
    int GetBinary(str name, void* buffer, int size, int user);

    // Missing players are created up to `user`. Writes the file when `save` is true.
    void SetStr(str name, str value, int user, bool save);
    void SetInt(str name, int value, int user, bool save);
    void SetBinary(str name, const void* data, int size, int user, bool save);

    int GetNumUsers();
    // Later players move down by one. Does not save.
    void DeleteUser(int user);

    // A player's whole element as transportable text ("" when there is no such player).
    str GetUserStr(int user);
    // Replaces a player's values with those of GetUserStr text. Does not save.
    void SetUserStr(int user, str text);

    // Writes the file; false (logged) when it could not be written.
    bool SavePrefs();
    // Why the last save that was tried failed (an errno value); 0 when it
    // succeeded or none was tried. A store that is not writable tries none.
    int GetLastSaveError() const { return mLastSaveError; }
    // Reads the file again (the constructor does this).
    void LoadPrefs();

    const str& GetPath() const { return mPath; }
    const str& GetInstallKey() const { return mInstallKey; }
    // Whether the last load found a file it could not read (the store then
    // started empty), and where that file was kept aside ("" when it could
    // not be: nothing is saved over it then).
    bool FoundUnreadableFile() const { return mFoundUnreadable; }
    const str& GetKeptAside() const { return mKeptAside; }
    // Whether the last load found a prefs.dat this user may not open
    // (another user's): no damage, so it is left as it is, the store starts
    // empty and nothing is ever saved over it.
    bool FoundFileNotPermitted() const { return mFoundNotPermitted; }

    // Decodes the bytes of a prefs.dat into the document holder. False when
    // they are not a store written under this key (garbage, damaged, foreign
    // key, wrong checksum); the document may then hold a partial tree.
    static bool ReadDocument(const char* bytes, int length, const str& keyText, TXmlNode* document);
    // The bytes a save writes for this document (terminating NUL included).
    static std::string WriteDocument(const TXmlNode& document, const str& keyText);
    // The checksum stored beside the enciphered text.
    static int Checksum(const char* text, int length);

private:
    TXmlNode* GlobalElement();
    TXmlNode* UserElement(int user);
    TXmlNode* EnsureUser(int user);
    void ChooseInstallKey();
    void ChooseSection();

    TXmlNode mDocument;
    TXmlNode* mSection = nullptr;
    str mKey;
    str mPath;
    str mInstallKey;
    bool mWritable;
    bool mFoundUnreadable = false;
    bool mFoundNotPermitted = false;
    str mKeptAside;
    int mLastSaveError = 0;
};
