// soundgen OUT.ogg [seconds] [frequency] [channels] [rate]
// Writes a sine tone as Ogg Vorbis.
#include "tools/soundgen/soundgen.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 6) {
        std::fprintf(stderr, "usage: soundgen OUT.ogg [seconds] [frequency] [channels] [rate]\n");
        return 2;
    }
    TToneSpec spec;
    if (argc > 2)
        spec.seconds = std::atof(argv[2]);
    if (argc > 3)
        spec.frequency = std::atof(argv[3]);
    if (argc > 4)
        spec.channels = std::atoi(argv[4]);
    if (argc > 5)
        spec.rate = std::atoi(argv[5]);
    if (spec.seconds < 0 || spec.channels < 1 || spec.channels > 2 || spec.rate < 8000 || spec.rate > 192000) {
        std::fprintf(stderr, "soundgen: bad tone parameters\n");
        return 2;
    }
    if (!WriteToneOgg(argv[1], spec)) {
        std::fprintf(stderr, "soundgen: could not write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
