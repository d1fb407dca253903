// moviegen: writes Ogg Theora movies.
//
//   moviegen splash OUT.ogv FONTFOLDER    the game's splash movie
//   moviegen colours OUT.ogv [frames] [fps] [width] [height]
//       flat red, green, blue and white frames in turn, with a tone
#include "tools/moviegen/moviegen.h"
#include "tools/moviegen/splash.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc >= 4 && !std::strcmp(argv[1], "splash")) {
        if (WriteSplashMovie(argv[2], argv[3]))
            return 0;
        std::fprintf(stderr, "moviegen: cannot write %s\n", argv[2]);
        return 1;
    }
    if (argc >= 3 && !std::strcmp(argv[1], "colours")) {
        TMovieSpec spec;
        int* fields[] = {&spec.frames, &spec.fpsNumerator, &spec.width, &spec.height};
        for (int i = 3; i < argc && i - 3 < 4; ++i)
            *fields[i - 3] = std::atoi(argv[i]);
        if (WriteColourMovie(argv[2], spec, {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}}))
            return 0;
        std::fprintf(stderr, "moviegen: cannot write %s\n", argv[2]);
        return 1;
    }
    std::fprintf(stderr, "usage: moviegen splash OUT.ogv FONTFOLDER\n"
                         "       moviegen colours OUT.ogv [frames] [fps] [width] [height]\n");
    return 2;
}
