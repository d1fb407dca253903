// qmcrypt: the program's cipher from the command line.
//
//   qmcrypt encipher IN OUT   IN (text, e.g. a config .xml) -> OUT (its .bin sibling)
//   qmcrypt decipher IN OUT   a .bin file back to its text (OUT "-": standard output)
//   qmcrypt prefs [FILE]      prints a prefs.dat (default: the user's) as plain XML
//   qmcrypt scores [FILE]     prints a hiscore.dat (default: the user's) as its XML text
//
// Options before the command: --key TEXT uses another key text than the
// program's; --plain reads a prefs.dat stored without a key.
//
// A .bin file is what the game deciphers when the .xml beside it is absent:
// the Base64 text of the enciphered text and its NUL, with no line break.
#include "engine/base/encrypt.h"
#include "engine/base/encryptionkey.h"
#include "engine/base/folders.h"
#include "engine/base/prefs.h"
#include "engine/base/safefile.h"
#include "online/hiscorefile.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// Larger than any file of the game's, and no device read to its end.
constexpr std::size_t kMaxInputBytes = std::size_t(64) << 20;

int usage()
{
    std::fprintf(stderr,
                 "usage: qmcrypt [--key TEXT] [--plain] encipher IN OUT\n"
                 "       qmcrypt [--key TEXT] [--plain] decipher IN OUT|-\n"
                 "       qmcrypt [--key TEXT] [--plain] prefs [FILE]\n"
                 "       qmcrypt [--key TEXT] scores [FILE]\n");
    return 2;
}

int fail(const char* what, const char* path)
{
    std::fprintf(stderr, "qmcrypt: %s: %s\n", path, what);
    return 1;
}

bool writeOutput(const char* path, const std::string& bytes)
{
    if (std::strcmp(path, "-") == 0)
        return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() && std::fflush(stdout) == 0;
    return qm::WriteFileReplacing(str(path), bytes.data(), bytes.size());
}

int encipher(const str& key, const char* in, const char* out)
{
    std::string text;
    if (!qm::ReadWholeFile(str(in), &text, kMaxInputBytes))
        return fail("cannot read", in);
    // The text travels with a terminating NUL: it cannot hold one itself.
    if (text.find('\0') != std::string::npos)
        return fail("holds a NUL byte; only text can be enciphered", in);
    str enciphered = TEncrypt(key).EncryptStr(str(text.c_str()));
    if (!writeOutput(out, std::string(enciphered.c_str())))
        return fail("cannot write", out);
    return 0;
}

int decipher(const str& key, const char* in, const char* out)
{
    std::string text;
    if (!qm::ReadWholeFile(str(in), &text, kMaxInputBytes))
        return fail("cannot read", in);
    // Deciphered bytes, which for a file we enciphered are the text and its
    // NUL: anything else (another key, damage) is refused, not written out.
    TEncrypt crypt(key);
    int length = static_cast<int>(text.size());
    int size = crypt.DecryptBinary(text.data(), length, nullptr, 0, true);
    std::string plain(static_cast<size_t>(size > 0 ? size : 0), '\0');
    bool deciphered = size >= 1 && crypt.DecryptBinary(text.data(), length, plain.data(), size, true) == 0 &&
                      plain.find('\0') == plain.size() - 1;
    if (!deciphered)
        return fail("cannot be deciphered (another key, or damaged)", in);
    plain.pop_back();
    if (!writeOutput(out, plain))
        return fail("cannot write", out);
    return 0;
}

int printPrefs(const str& key, const char* path)
{
    str file = path ? str(path) : qm::UserDataDirectory() + str("/prefs.dat");
    std::string bytes;
    if (!qm::ReadWholeFile(file, &bytes, kMaxInputBytes))
        return fail("cannot read", file.c_str());
    TXmlNode document;
    if (!TPrefs::ReadDocument(bytes.data(), static_cast<int>(bytes.size()), key, &document))
        return fail("is not a preferences file under this key", file.c_str());
    std::fputs(document.AsString().c_str(), stdout);
    return 0;
}

// Read only: a file that does not decode is reported, never set aside as the game would.
int printScores(const str& key, const char* path)
{
    str file = path ? str(path) : qm::UserDataDirectory() + str("/hiscore.dat");
    std::string bytes;
    if (!qm::ReadWholeFile(file, &bytes, kMaxInputBytes))
        return fail("cannot read", file.c_str());
    TEncrypt cipher(key);
    str text;
    if (const char* why = qm::DecodeHiscoreBytes(bytes, cipher, &text))
        return fail(why, file.c_str());
    std::fputs(text.c_str(), stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    str key(ENCRYPTION_KEY);
    bool plain = false;
    int at = 1;
    for (; at < argc && std::strncmp(argv[at], "--", 2) == 0; ++at) {
        if (std::strcmp(argv[at], "--key") == 0 && at + 1 < argc)
            key = str(argv[++at]);
        else if (std::strcmp(argv[at], "--plain") == 0)
            plain = true;
        else
            return usage();
    }
    if (at >= argc)
        return usage();
    const char* command = argv[at];
    int rest = argc - at - 1;
    char** args = argv + at + 1;
    if (std::strcmp(command, "prefs") == 0 && rest <= 1)
        return printPrefs(plain ? str("") : key, rest == 1 ? args[0] : nullptr);
    if (plain)
        return usage();
    if (std::strcmp(command, "scores") == 0 && rest <= 1)
        return printScores(key, rest == 1 ? args[0] : nullptr);
    if (std::strcmp(command, "encipher") == 0 && rest == 2)
        return encipher(key, args[0], args[1]);
    if (std::strcmp(command, "decipher") == 0 && rest == 2)
        return decipher(key, args[0], args[1]);
    return usage();
}
