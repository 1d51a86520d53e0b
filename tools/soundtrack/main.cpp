// The soundtrack generator the build runs: writes the demo's music to the path it is given.
#include <cstdio>

#include "master.h"
#include "sequencer.h"
#include "wav/wav.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.wav\n", argc > 0 ? argv[0] : "soundtrack");
        return 2;
    }
    using namespace soundtrack;
    if (!WriteWavFile(argv[1], EncodeWav(kFileFormat, ToPcm16(RenderTune())))) {
        std::fprintf(stderr, "soundtrack: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
