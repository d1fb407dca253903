// qmsynth LIST OUTFOLDER: renders every sound of a render list (renderlist.h)
// and writes each as OUTFOLDER/NAME.ogg. Exit status 0 when all were written,
// 1 on a bad list or a failed write (with the reason on stderr), 2 for a bad
// command line.
#include "render.h"
#include "renderlist.h"
#include "vorbiswriter.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: qmsynth LIST OUTFOLDER\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "qmsynth: cannot read %s\n", argv[1]);
        return 1;
    }
    std::ostringstream text;
    text << in.rdbuf();
    std::vector<synth::TSoundSpec> sounds;
    std::string error;
    if (!synth::ReadRenderList(text.str(), argv[1], &sounds, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    for (const synth::TSoundSpec& sound : sounds) {
        const std::vector<float> samples = synth::RenderSound(sound);
        if (!synth::WriteVorbis(std::string(argv[2]) + "/" + sound.out, samples, sound.rate, sound.quality, &error)) {
            std::fprintf(stderr, "%s: %s\n", sound.where.c_str(), error.c_str());
            return 1;
        }
    }
    return 0;
}
