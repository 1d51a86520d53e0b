// Plays the tune's note data on the sound chip and mixes the voices into one mono track.
#pragma once

#include <cstdint>
#include <vector>

namespace soundtrack {

// The first sample of a sequencer step. A step is 5512.5 samples, so the boundaries are
// taken in integers to keep the tune on the demo's clock without drift.
std::int64_t StepStartSample(int step);

// The whole tune at its arranged levels, before mastering: roughly -1..1.
std::vector<float> RenderTune();

}  // namespace soundtrack
