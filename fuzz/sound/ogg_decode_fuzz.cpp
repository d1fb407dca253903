// Any bytes handed to the Ogg decoder: it either refuses them or returns
// whole frames, and never reads or writes out of bounds. The same bytes
// streamed (probed, then spooled twice round as a loop) give exactly the
// whole-file decode's samples.
#include "engine/sound/oggdecode.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

std::FILE* Open(const uint8_t* data, size_t size) { return fmemopen(const_cast<uint8_t*>(data), size, "rb"); }

// What a streamed sound gives, in pieces of an odd size, until its end.
std::vector<int16_t> Spool(TOggSpooler& spooler, size_t limit)
{
    std::vector<int16_t> out;
    std::vector<int16_t> buffer(1001);
    for (;;) {
        unsigned written = 0;
        const bool more = spooler.StreamToBuffer(2002, buffer.data(), &written, false);
        out.insert(out.end(), buffer.begin(), buffer.begin() + written / 2);
        if (!more || out.size() > limit)
            return out;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    std::FILE* file = Open(data, size);
    if (!file)
        return 0;
    TPcm pcm;
    const EOggDecode decoded = DecodeOgg(file, "fuzz.ogg", &pcm);
    if (decoded == EOggDecode::kOk) {
        if (pcm.channels < 1 || pcm.rate < 1 || pcm.samples.empty() || pcm.samples.size() % pcm.channels != 0)
            std::abort();
    }
    std::FILE* again = Open(data, size);
    if (!again)
        return 0;
    auto probed = std::make_shared<TOggFile>();
    const EOggDecode streamed = ProbeOgg(again, "fuzz.ogg", probed.get());
    if (streamed != EOggDecode::kOk)
        return 0;
    TOggSpooler spooler(probed);
    const std::vector<int16_t> first = Spool(spooler, pcm.samples.size());
    spooler.SetPosition(0);
    const std::vector<int16_t> second = Spool(spooler, pcm.samples.size());
    // A file the decoder takes is streamed alike, both times round.
    if (decoded == EOggDecode::kOk && (first != pcm.samples || second != pcm.samples))
        std::abort();
    return 0;
}
