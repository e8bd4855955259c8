#include "mci/limiter.h"

#include <algorithm>
#include <cmath>

#include "mci/output.h"

namespace {

// Per frame, the share of the way back to full gain: about 200 ms to recover.
constexpr float kRelease = 1.0f / (0.2f * kOutputSampleRate);

}  // namespace

void RenderLimited(fluid_synth_t* synth, Limiter* limiter, float* out, int frames)
{
    fluid_synth_write_float(synth, frames, out, 0, 2, out, 1, 2);
    float gain = limiter->gain;
    for (int i = 0; i < frames; ++i) {
        float& left = out[2 * i];
        float& right = out[2 * i + 1];
        gain += (1.0f - gain) * kRelease;
        const float peak = std::max(std::fabs(left), std::fabs(right)) * gain;
        if (peak > kLimiterCeiling)
            gain *= kLimiterCeiling / peak;
        left *= gain;
        right *= gain;
    }
    limiter->gain = gain;
}
