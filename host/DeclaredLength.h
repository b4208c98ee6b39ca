// The frames a WAV or AIFF header promises. libsndfile reports the frames a file holds,
// so a file cut short would otherwise look whole.
#pragma once

#include <cstdint>
#include <string>

// The frames the header's data or COMM chunk declares; 0 for other formats, for headers
// that declare no length (a stream's placeholder) and for headers that cannot be read.
std::int64_t declaredFrames(const std::string& path);
