// espeak-ng keeps global state and is not thread-safe: every use of the
// library, transcription or synthesis, holds this one lock.
#pragma once

#include <mutex>

namespace service {

std::mutex& espeakMutex();

}  // namespace service
