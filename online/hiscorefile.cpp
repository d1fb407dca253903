#include "online/hiscorefile.h"

#include "engine/base/debuglog.h"
#include "engine/base/encrypt.h"
#include "engine/base/ownership.h"
#include "engine/base/safefile.h"

#include <array>
#include <cstring>
#include <string>
#include <vector>

namespace qm {

namespace {

constexpr size_t kChecksumBlock = 8;  // four checksum bytes padded to one cipher block

std::array<unsigned char, 4> checksumOf(const unsigned char* bytes, size_t size)
{
    std::array<unsigned char, 4> sum = {0, 0, 0, 0};
    for (size_t i = 0; i < size; ++i)
        sum[i % 4] ^= bytes[i];
    return sum;
}

// Enciphers raw bytes (no Base64); empty on failure.
std::vector<unsigned char> encipher(TEncrypt& cipher, const void* data, int size)
{
    int needed = cipher.EncryptBinary(data, size, nullptr, 0, false);
    if (needed <= 0)
        return {};
    std::vector<unsigned char> out(static_cast<size_t>(needed));
    if (cipher.EncryptBinary(data, size, out.data(), needed, false) != 0)
        return {};
    return out;
}

// Deciphers raw bytes into a buffer with room for a terminating NUL; false on failure.
bool decipher(TEncrypt& cipher, const unsigned char* data, int size, std::vector<unsigned char>* out)
{
    int needed = cipher.DecryptBinary(data, size, nullptr, 0, false);
    if (needed <= 0)
        return false;
    out->assign(static_cast<size_t>(needed) + 1, 0);
    return cipher.DecryptBinary(data, size, out->data(), needed, false) == 0;
}

// Never saved over: the file may hold scores a later version can read.
EHiscoreFile reject(const str& path, const char* why, str* keptAside)
{
    *keptAside = KeepAside(path);
    if (keptAside->length() > 0)
        WriteDbg("HiScores: %s %s; kept as %s, starting with no scores", path.c_str(), why, keptAside->c_str());
    else
        WriteDbg("HiScores: %s %s and cannot be set aside; starting with no scores", path.c_str(), why);
    return EHiscoreFile::kRejected;
}

}  // namespace

bool WriteHiscoreFile(const str& path, const str& text, TEncrypt& cipher)
{
    std::vector<unsigned char> body = encipher(cipher, text.c_str(), text.length() + 1);
    if (body.empty())
        return false;
    std::array<unsigned char, 4> sum = checksumOf(body.data(), body.size());
    std::vector<unsigned char> tail = encipher(cipher, sum.data(), 4);
    if (tail.size() != kChecksumBlock)
        return false;
    body.insert(body.end(), tail.begin(), tail.end());
    return WriteFileReplacing(path, body.data(), body.size());
}

const char* DecodeHiscoreBytes(const std::string& bytes, TEncrypt& cipher, str* text)
{
    if (bytes.size() <= kChecksumBlock)
        return "is too short to hold scores";
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t bodySize = bytes.size() - kChecksumBlock;
    std::vector<unsigned char> stored;
    if (!decipher(cipher, data + bodySize, static_cast<int>(kChecksumBlock), &stored) || stored.size() < 4 ||
        std::memcmp(stored.data(), checksumOf(data, bodySize).data(), 4) != 0) {
        WriteDbg("HiScores: Checksum did not match! Ignoring saved score data.");
        return "fails its checksum";
    }
    std::vector<unsigned char> plain;
    if (!decipher(cipher, data, static_cast<int>(bodySize), &plain))
        return "cannot be deciphered";
    // The text ends at its NUL; the buffer always has one at the end.
    *text = str(reinterpret_cast<const char*>(plain.data()));
    return nullptr;
}

EHiscoreFile ReadHiscoreFile(const str& path, TEncrypt& cipher, str* text, str* keptAside)
{
    str ignored;
    if (!keptAside)
        keptAside = &ignored;
    *keptAside = str();
    std::string bytes;
    EFileProblem problem = EFileProblem::kNone;
    if (!ReadWholeFile(path, &bytes, kMaxHiscoreFileBytes, &problem)) {
        if (!PathExists(path))
            return EHiscoreFile::kMissing;
        if (problem == EFileProblem::kNotPermitted) {
            // Not damaged: another user's. Set aside, it would be lost to its owner.
            WriteDbg("HiScores: %s may not be opened by this user (it belongs to %s); it is left as it is, and no "
                     "scores are read or written",
                     path.c_str(), OwnerName(path).c_str());
            return EHiscoreFile::kNotPermitted;
        }
        const std::string why = "cannot be read (it " + FileProblemText(problem, kMaxHiscoreFileBytes) + ")";
        return reject(path, why.c_str(), keptAside);
    }
    if (const char* why = DecodeHiscoreBytes(bytes, cipher, text))
        return reject(path, why, keptAside);
    return EHiscoreFile::kRead;
}

}  // namespace qm
