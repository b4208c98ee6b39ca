// Audio files through libsndfile: WAV, AIFF and FLAC, 16/24/32-bit integer or float,
// read and written as interleaved 32-bit floats.
#pragma once

#include <cstdint>
#include <string>

typedef struct sf_private_tag SNDFILE;

enum class SampleEncoding { Pcm16, Pcm24, Pcm32, Float };

struct AudioFormat {
    int sampleRate = 0;
    int channels = 0;
    std::int64_t frames = 0;
    std::int64_t promisedFrames = 0;  // by the header; more than frames in a file cut short
    SampleEncoding encoding = SampleEncoding::Float;
    bool encodingKnown = false;  // false for encodings outside the four above
};

class AudioReader {
public:
    // Throws HostError: InputUnreadable, or UnsupportedFormat for anything but WAV, AIFF, FLAC.
    explicit AudioReader(const std::string& path);
    ~AudioReader();
    AudioReader(const AudioReader&) = delete;
    AudioReader& operator=(const AudioReader&) = delete;

    const AudioFormat& format() const { return info; }
    // Reads up to frames frames; answers how many were read (0 at the end).
    std::int64_t read(float* interleaved, std::int64_t frames);

private:
    SNDFILE* file = nullptr;
    AudioFormat info;
};

// Writes into a temporary file beside the target; commit() moves it into place. A writer
// destroyed without commit() removes what it wrote, so no partial output is left behind.
class AudioWriter {
public:
    // The container comes from the file name's ending (.wav, .aif, .aiff, .flac).
    // Throws HostError: UnsupportedFormat, OutputNotWritable.
    AudioWriter(const std::string& path, int sampleRate, int channels, SampleEncoding encoding);
    ~AudioWriter();
    AudioWriter(const AudioWriter&) = delete;
    AudioWriter& operator=(const AudioWriter&) = delete;

    void write(const float* interleaved, std::int64_t frames);
    void commit();

private:
    void discard();

    std::string finalPath;
    std::string temporaryPath;
    SNDFILE* file = nullptr;
};

// True when the output's container can hold the encoding (FLAC holds no float or 32-bit).
bool containerHolds(const std::string& outputPath, SampleEncoding encoding);
// Parses "16", "24", "32" or "float"; false for anything else.
bool parseSampleEncoding(const std::string& text, SampleEncoding& encoding);
const char* sampleEncodingName(SampleEncoding encoding);
