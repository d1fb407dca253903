#include "engine/base/base64.h"
#include "engine/base/blowfish.h"
#include "engine/base/encrypt.h"
#include "engine/base/encryptionkey.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<unsigned char> fromHex(const std::string& hex)
{
    std::vector<unsigned char> bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<unsigned char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

std::string toHex(const unsigned char* bytes, size_t n)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string hex;
    for (size_t i = 0; i < n; ++i) {
        hex += digits[bytes[i] >> 4];
        hex += digits[bytes[i] & 15];
    }
    return hex;
}

std::string encipherBlock(const std::string& keyHex, const std::string& plainHex)
{
    TBlowfish cipher;
    auto key = fromHex(keyHex);
    cipher.Init(key.data(), static_cast<int>(key.size()));
    auto block = fromHex(plainHex);
    cipher.EncryptBytes(block.data());
    std::string result = toHex(block.data(), 8);
    cipher.DecryptBytes(block.data());
    EXPECT_EQ(toHex(block.data(), 8), plainHex) << "deciphering undoes enciphering";
    return result;
}

std::string encode(const std::string& bytes)
{
    std::string text(Base64EncodeGetLength(bytes.size()), '?');
    unsigned long n = Base64Encode(text.data(), bytes.data(), bytes.size());
    EXPECT_EQ(n, text.size());
    return text;
}

std::string decode(const std::string& text)
{
    std::string bytes(Base64DecodeGetLength(text.size()), '?');
    unsigned long n = Base64Decode(bytes.data(), text.data(), text.size());
    EXPECT_LE(n, bytes.size());
    bytes.resize(n);
    return bytes;
}

}  // namespace

// Eric Young's published ECB test vectors: key, plain text, cipher text.
TEST(Blowfish, PassesThePublishedEcbVectors)
{
    const char* vectors[][3] = {
        {"0000000000000000", "0000000000000000", "4EF997456198DD78"},
        {"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF", "51866FD5B85ECB8A"},
        {"3000000000000000", "1000000000000001", "7D856F9A613063F2"},
        {"1111111111111111", "1111111111111111", "2466DD878B963C9D"},
        {"0123456789ABCDEF", "1111111111111111", "61F9C3802281B096"},
        {"1111111111111111", "0123456789ABCDEF", "7D0CC630AFDA1EC7"},
        {"FEDCBA9876543210", "0123456789ABCDEF", "0ACEAB0FC6A0A28D"},
        {"7CA110454A1A6E57", "01A1D6D039776742", "59C68245EB05282B"},
        {"0131D9619DC1376E", "5CD54CA83DEF57DA", "B1B8CC0B250F09A0"},
        {"07A1133E4A0B2686", "0248D43806F67172", "1730E5778BEA1DA4"},
        {"3849674C2602319E", "51454B582DDF440A", "A25E7856CF2651EB"},
        {"04B915BA43FEB5B6", "42FD443059577FA2", "353882B109CE8F1A"},
        {"0113B970FD34F2CE", "059B5E0851CF143A", "48F4D0884C379918"},
        {"0170F175468FB5E6", "0756D8E0774761D2", "432193B78951FC98"},
        {"43297FAD38E373FE", "762514B829BF486A", "13F04154D69D1AE5"},
        {"07A7137045DA2A16", "3BDD119049372802", "2EEDDA93FFD39C79"},
        {"04689104C2FD3B2F", "26955F6835AF609A", "D887E0393C2DA6E3"},
        {"37D06BB516CB7546", "164D5E404F275232", "5F99D04F5B163969"},
        {"1F08260D1AC2465E", "6B056E18759F5CCA", "4A057A3B24D3977B"},
        {"584023641ABA6176", "004BD6EF09176062", "452031C1E4FADA8E"},
        {"025816164629B007", "480D39006EE762F2", "7555AE39F59B87BD"},
        {"49793EBC79B3258F", "437540C8698F3CFA", "53C55F9CB49FC019"},
        {"4FB05E1515AB73A7", "072D43A077075292", "7A8E7BFA937E89A3"},
        {"49E95D6D4CA229BF", "02FE55778117F12A", "CF9C5D7A4986ADB5"},
        {"018310DC409B26D6", "1D9D5C5018F728C2", "D1ABB290658BC778"},
        {"1C587F1C13924FEF", "305532286D6F295A", "55CB3774D13EF201"},
        {"0101010101010101", "0123456789ABCDEF", "FA34EC4847B268B2"},
        {"1F1F1F1F0E0E0E0E", "0123456789ABCDEF", "A790795108EA3CAE"},
        {"E0FEE0FEF1FEF1FE", "0123456789ABCDEF", "C39E072D9FAC631D"},
        {"0000000000000000", "FFFFFFFFFFFFFFFF", "014933E0CDAFF6E4"},
        {"FFFFFFFFFFFFFFFF", "0000000000000000", "F21E9A77B71C49BC"},
        {"0123456789ABCDEF", "0000000000000000", "245946885754369A"},
        {"FEDCBA9876543210", "FFFFFFFFFFFFFFFF", "6B5C5A9C5D9E0A5A"},
    };
    for (auto& v : vectors)
        EXPECT_EQ(encipherBlock(v[0], v[1]), v[2]) << "key " << v[0];
}

// The same author's variable key-length vectors: the key is cycled, so keys
// longer than a word (the program's is 42 bytes) take every byte into account.
TEST(Blowfish, PassesTheVariableKeyLengthVectors)
{
    const std::string fullKey = "F0E1D2C3B4A5968778695A4B3C2D1E0F0011223344556677";
    const char* expected[] = {
        "F9AD597C49DB005E", "E91D21C1D961A6D6", "E9C2B70A1BC65CF3", "BE1E639408640F05",
        "B39E44481BDB1E6E", "9457AA83B1928C0D", "8BB77032F960629D", "E87A244E2CC85E82",
        "15750E7A4F4EC577", "122BA70B3AB64AE0", "3A833C9AFFC537F6", "9409DA87A90F6BF2",
        "884F80625060B8B4", "1F85031C19E11968", "79D9373A714CA34F", "93142887EE3BE15C",
        "03429E838CE2D14B", "A4299E27469FF67B", "AFD5AED1C1BC96A8", "10851C0E3858DA9F",
        "E6F51ED79B9DB21F", "64A6E14AFD36B46F", "80C7D7D45A5479AD", "05044B62FA52D080",
    };
    for (int bytes = 1; bytes <= 24; ++bytes)
        EXPECT_EQ(encipherBlock(fullKey.substr(0, 2 * bytes), "FEDCBA9876543210"), expected[bytes - 1])
            << bytes << "-byte key";
}

TEST(Blowfish, InitialTablesAreTheDigitsOfPi)
{
    EXPECT_EQ(TBlowfish::kInitialP[0], 0x243F6A88u);
    EXPECT_EQ(TBlowfish::kInitialP[17], 0x8979FB1Bu);
    EXPECT_EQ(TBlowfish::kInitialS[0][0], 0xD1310BA6u);
    EXPECT_EQ(TBlowfish::kInitialS[3][255], 0x3AC372E6u);
}

TEST(Blowfish, PadsWithTheCountOfPadBytes)
{
    TBlowfish cipher;
    auto key = fromHex("0123456789ABCDEF");
    cipher.Init(key.data(), 8);
    for (int length : {0, 1, 7, 8, 13, 16}) {
        std::string data(static_cast<size_t>(length), 'x');
        int n = -1;
        auto enciphered = cipher.EncryptString(data.data(), length, &n);
        int pad = 8 - length % 8;
        EXPECT_EQ(n, length + pad) << length;
        auto* bytes = reinterpret_cast<unsigned char*>(enciphered.get());
        for (int at = 0; at < n; at += 8)
            cipher.DecryptBytes(bytes + at);
        for (int i = length; i < n; ++i)
            EXPECT_EQ(bytes[i], pad) << "pad byte " << i << " of " << length;
        EXPECT_EQ(std::string(enciphered.get(), static_cast<size_t>(length)), data);
    }
}

TEST(Blowfish, ImplausiblePadCountsGiveNothing)
{
    TBlowfish cipher;
    auto key = fromHex("0123456789ABCDEF");
    cipher.Init(key.data(), 8);
    auto blockEndingWith = [&](unsigned char last) {
        unsigned char block[8] = {'a', 'b', 'c', 'd', 'e', 'f', 'g', last};
        cipher.EncryptBytes(block);
        int n = -1;
        auto plain = cipher.DecryptString(reinterpret_cast<char*>(block), 8, &n);
        return n;
    };
    EXPECT_EQ(blockEndingWith(0), 8) << "a last byte of 0 keeps every byte";
    EXPECT_EQ(blockEndingWith(3), 5);
    EXPECT_EQ(blockEndingWith(8), 0);
    EXPECT_EQ(blockEndingWith(9), 0) << "above the length";
    EXPECT_EQ(blockEndingWith(0x80), 0) << "negative as a signed byte";
    int n = -1;
    cipher.DecryptString("", 0, &n);
    EXPECT_EQ(n, 0) << "no input, no pad byte to read";
}

TEST(Base64, PassesTheRfc4648VectorsAndEveryByteValueRoundTrips)
{
    const char* vectors[][2] = {
        {"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"},
    };
    for (auto& v : vectors) {
        EXPECT_EQ(encode(v[0]), v[1]);
        EXPECT_EQ(decode(v[1]), v[0]);
    }
    EXPECT_EQ(Base64EncodeGetLength(0), 0u);
    EXPECT_EQ(Base64EncodeGetLength(4), 8u);
    EXPECT_EQ(Base64DecodeGetLength(5), 6u);
    EXPECT_EQ(decode("Zg"), "f");  // short input is completed with fill
    EXPECT_EQ(decode("Zm8"), "fo");

    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    for (size_t length = 0; length <= all.size(); length += 37)
        EXPECT_EQ(decode(encode(all.substr(0, length))), all.substr(0, length));

    // Bytes 128-255 count as invalid characters (all six bits set), like any
    // other character outside the alphabet, and nothing outside the table is read.
    EXPECT_EQ(decode("\x80\xC3\xFF\xE9"), decode("////"));
    EXPECT_EQ(decode("\x80\xC3\xFF\xE9"), decode("!!!!"));
}

TEST(Encrypt, ProgramKeyIsFiftySixCapitalsAndDigits)
{
    std::string key = ENCRYPTION_KEY;
    ASSERT_EQ(key.size(), 56u);
    for (char c : key)
        EXPECT_TRUE((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) << c;
    EXPECT_EQ(decode(key).size(), 42u);
}

TEST(Encrypt, SizesFollowThePaddingRule)
{
    TEncrypt crypt(ENCRYPTION_KEY);
    char data[16] = {};
    EXPECT_EQ(crypt.EncryptBinary(data, 0, nullptr, 0, false), 8);
    EXPECT_EQ(crypt.EncryptBinary(data, 8, nullptr, 0, false), 16);
    EXPECT_EQ(crypt.EncryptBinary(data, 13, nullptr, 0, false), 16);
    EXPECT_EQ(crypt.EncryptBinary(data, 13, nullptr, 0, true), 4 * 6 + 1);
    char small[8];
    EXPECT_EQ(crypt.EncryptBinary(data, 8, small, sizeof small, false), 16) << "too small: the size, nothing written";
    char out[32];
    EXPECT_EQ(crypt.EncryptBinary(data, 8, out, 16, false), 0);
    char plain[16];
    EXPECT_EQ(crypt.DecryptBinary(out, 16, nullptr, 0, false), 8);
    EXPECT_EQ(crypt.DecryptBinary(out, 16, plain, 7, false), 8);
    EXPECT_EQ(crypt.DecryptBinary(out, 16, plain, 8, false), 0);
    EXPECT_EQ(std::memcmp(plain, data, 8), 0);
}

TEST(Encrypt, StringsRoundTripThroughBase64)
{
    TEncrypt crypt(ENCRYPTION_KEY);
    str empty = crypt.EncryptStr(str(""));
    EXPECT_EQ(empty.length(), 12) << "one block: the NUL and seven 7s";
    EXPECT_STREQ(crypt.DecryptStr(empty).c_str(), "");
    for (const char* text : {"a", "hello world", "exactly8", "<install qminstallkey=\"/x\"/>", "caf\xC3\xA9"}) {
        str enciphered = crypt.EncryptStr(str(text));
        EXPECT_NE(enciphered, str(text));
        EXPECT_STREQ(crypt.DecryptStr(enciphered).c_str(), text);
    }
}

TEST(Encrypt, Base64ModeCarriesTheCipherTextExactly)
{
    TEncrypt crypt(ENCRYPTION_KEY);
    for (int length = 0; length < 40; ++length) {
        std::string data(static_cast<size_t>(length), '\0');
        for (int i = 0; i < length; ++i)
            data[static_cast<size_t>(i)] = static_cast<char>(i * 37 + 11);
        int rawSize = crypt.EncryptBinary(data.data(), length, nullptr, 0, false);
        std::vector<char> raw(static_cast<size_t>(rawSize));
        ASSERT_EQ(crypt.EncryptBinary(data.data(), length, raw.data(), rawSize, false), 0);
        int textSize = crypt.EncryptBinary(data.data(), length, nullptr, 0, true);
        std::vector<char> text(static_cast<size_t>(textSize));
        ASSERT_EQ(crypt.EncryptBinary(data.data(), length, text.data(), textSize, true), 0);
        EXPECT_EQ(std::strlen(text.data()) + 1, static_cast<size_t>(textSize));
        EXPECT_EQ(decode(text.data()), std::string(raw.begin(), raw.end()));
        std::vector<char> plain(static_cast<size_t>(length) + 1);
        ASSERT_EQ(crypt.DecryptBinary(text.data(), textSize - 1, plain.data(), length, true), 0);
        EXPECT_EQ(std::string(plain.data(), static_cast<size_t>(length)), data);
    }
}

TEST(Encrypt, WrongKeyOrDamagedTextGivesGarbageOrNothing)
{
    TEncrypt crypt(ENCRYPTION_KEY);
    TEncrypt other("AAAABBBBCCCCDDDDEEEEFFFFGGGGHHHHIIIIJJJJKKKKLLLLMMMMNNNN");
    str enciphered = crypt.EncryptStr(str("progress=10"));
    EXPECT_STRNE(other.DecryptStr(enciphered).c_str(), "progress=10");
    EXPECT_STREQ(crypt.DecryptStr(str("")).c_str(), "");
    // Text that is not Base64 deciphers to garbage or nothing; it is never read outside its bounds.
    str garbage = crypt.DecryptStr(str("\x80\x81\xFF not base64 at all"));
    EXPECT_LE(garbage.length(), 24);
}
