// The fuzz target of the WAV reader, the one parser the program runs on a file from outside:
// libFuzzer hands ParseWav byte strings in a heap block of exactly their size, so
// AddressSanitizer sees any read past them, and UndefinedBehaviorSanitizer any undefined step.
// Beyond not crashing, the reader must keep its word: a refusal says why, and what it accepts
// is a format it plays, with every sample inside the image.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "wav/wav.h"

namespace {

void Check(bool holds) {
    if (!holds) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    WavPcm pcm;
    const char* why = nullptr;
    if (!ParseWav(data, size, &pcm, &why)) {
        Check(why != nullptr && why[0] != '\0');
        return 0;
    }
    Check(pcm.channels == 1 || pcm.channels == 2);
    Check(pcm.bitsPerSample == 8 || pcm.bitsPerSample == 16);
    Check(pcm.sampleRate >= 1000 && pcm.sampleRate <= 192000);
    Check(pcm.frameCount > 0);
    const std::size_t frameBytes = static_cast<std::size_t>(pcm.channels * pcm.bitsPerSample / 8);
    const std::size_t start = static_cast<std::size_t>(pcm.samples - data);
    // No file has its samples sooner than the canonical one: after the RIFF header, a format
    // chunk and the data chunk's header.
    Check(pcm.samples >= data + kWavDataOffset && start <= size);
    Check(pcm.frameCount <= (size - start) / frameBytes);
    // Every sample byte is read, as playing the clip would.
    unsigned sum = 0;
    for (std::size_t i = 0; i < pcm.frameCount * frameBytes; ++i) sum += pcm.samples[i];
    volatile unsigned keep = sum;
    (void)keep;
    return 0;
}
