#include "service/mp3_encoder.h"

#include <lame/lame.h>

namespace service {

std::string encodeMp3(const std::vector<int16_t>& input, int sampleRate) {
    std::vector<int16_t> samples = input;
    if (samples.empty()) samples.assign(sampleRate / 10, 0);
    lame_global_flags* lame = lame_init();
    if (lame == nullptr) return std::string();
    lame_set_in_samplerate(lame, sampleRate);
    lame_set_out_samplerate(lame, sampleRate);
    lame_set_num_channels(lame, 1);
    lame_set_mode(lame, MONO);
    lame_set_brate(lame, 48);
    lame_set_quality(lame, 5);
    lame_set_bWriteVbrTag(lame, 0);
    std::string mp3;
    if (lame_init_params(lame) >= 0) {
        std::vector<unsigned char> buffer(samples.size() * 5 / 4 + 7200);
        const int encoded =
            lame_encode_buffer(lame, samples.data(), samples.data(), static_cast<int>(samples.size()),
                               buffer.data(), static_cast<int>(buffer.size()));
        if (encoded >= 0) {
            mp3.assign(reinterpret_cast<const char*>(buffer.data()), encoded);
            const int flushed = lame_encode_flush(lame, buffer.data(), static_cast<int>(buffer.size()));
            if (flushed >= 0)
                mp3.append(reinterpret_cast<const char*>(buffer.data()), flushed);
            else
                mp3.clear();
        }
    }
    lame_close(lame);
    return mp3;
}

}  // namespace service
