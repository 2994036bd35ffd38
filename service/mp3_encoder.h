// Mono 16-bit samples to an MP3 file image with LAME.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace service {

// Constant bit rate, no ID3 tag. An empty input gives a short silence so the
// result is always a playable MP3. Empty only when LAME fails.
std::string encodeMp3(const std::vector<int16_t>& samples, int sampleRate);

}  // namespace service
