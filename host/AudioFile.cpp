#include "host/AudioFile.h"

#include <sndfile.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>

#include "host/DeclaredLength.h"
#include "host/ExitCode.h"

namespace {

int containerFor(const std::string& path) {
    std::string ending = std::filesystem::path(path).extension().string();
    std::transform(ending.begin(), ending.end(), ending.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (ending == ".wav") return SF_FORMAT_WAV;
    if (ending == ".aif" || ending == ".aiff") return SF_FORMAT_AIFF;
    if (ending == ".flac") return SF_FORMAT_FLAC;
    return 0;
}

int subtypeFor(SampleEncoding encoding) {
    switch (encoding) {
        case SampleEncoding::Pcm16: return SF_FORMAT_PCM_16;
        case SampleEncoding::Pcm24: return SF_FORMAT_PCM_24;
        case SampleEncoding::Pcm32: return SF_FORMAT_PCM_32;
        case SampleEncoding::Float: return SF_FORMAT_FLOAT;
    }
    return 0;
}

bool isReadableContainer(int format) {
    const int container = format & SF_FORMAT_TYPEMASK;
    return container == SF_FORMAT_WAV || container == SF_FORMAT_WAVEX ||
           container == SF_FORMAT_AIFF || container == SF_FORMAT_FLAC;
}

bool encodingOf(int format, SampleEncoding& encoding) {
    for (SampleEncoding candidate : {SampleEncoding::Pcm16, SampleEncoding::Pcm24,
                                     SampleEncoding::Pcm32, SampleEncoding::Float}) {
        if ((format & SF_FORMAT_SUBMASK) == subtypeFor(candidate)) {
            encoding = candidate;
            return true;
        }
    }
    return false;
}

}  // namespace

bool containerHolds(const std::string& outputPath, SampleEncoding encoding) {
    const int container = containerFor(outputPath);
    if (!container) return false;
    SF_INFO probe = {};
    probe.samplerate = 44100;
    probe.channels = 1;
    probe.format = container | subtypeFor(encoding);
    return sf_format_check(&probe) == SF_TRUE;
}

bool parseSampleEncoding(const std::string& text, SampleEncoding& encoding) {
    if (text == "16") encoding = SampleEncoding::Pcm16;
    else if (text == "24") encoding = SampleEncoding::Pcm24;
    else if (text == "32") encoding = SampleEncoding::Pcm32;
    else if (text == "float") encoding = SampleEncoding::Float;
    else return false;
    return true;
}

const char* sampleEncodingName(SampleEncoding encoding) {
    switch (encoding) {
        case SampleEncoding::Pcm16: return "16-bit";
        case SampleEncoding::Pcm24: return "24-bit";
        case SampleEncoding::Pcm32: return "32-bit";
        case SampleEncoding::Float: return "float";
    }
    return "";
}

AudioReader::AudioReader(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::exists(path, error))
        throw HostError(ExitCode::InputUnreadable, "cannot read input " + path + ": no such file");
    if (!std::filesystem::is_regular_file(path, error))
        throw HostError(ExitCode::InputUnreadable, "cannot read input " + path + ": not a file");
    SF_INFO sfInfo = {};
    file = sf_open(path.c_str(), SFM_READ, &sfInfo);
    if (!file) {
        const int cause = sf_error(nullptr);
        const std::string reason = sf_error_number(cause);
        if (cause == SF_ERR_SYSTEM)
            throw HostError(ExitCode::InputUnreadable, "cannot read input " + path + ": " + reason);
        throw HostError(ExitCode::UnsupportedFormat, "unsupported input format in " + path + ": " + reason);
    }
    if (!isReadableContainer(sfInfo.format)) {
        sf_close(file);
        throw HostError(ExitCode::UnsupportedFormat,
                        "unsupported input format in " + path + ": only WAV, AIFF and FLAC are read");
    }
    info.sampleRate = sfInfo.samplerate;
    info.channels = sfInfo.channels;
    info.frames = sfInfo.frames;
    info.promisedFrames = std::max<std::int64_t>(sfInfo.frames, declaredFrames(path));
    info.encodingKnown = encodingOf(sfInfo.format, info.encoding);
}

AudioReader::~AudioReader() { sf_close(file); }

std::int64_t AudioReader::read(float* interleaved, std::int64_t frames) {
    return sf_readf_float(file, interleaved, frames);
}

AudioWriter::AudioWriter(const std::string& path, int sampleRate, int channels,
                         SampleEncoding encoding)
    : finalPath(path), temporaryPath(path + ".partial") {
    const int container = containerFor(path);
    if (!container)
        throw HostError(ExitCode::UnsupportedFormat,
                        "unsupported output format for " + path + ": use .wav, .aif, .aiff or .flac");
    if (!containerHolds(path, encoding))
        throw HostError(ExitCode::UnsupportedFormat, std::string("unsupported output format: ") +
                                                         path + " cannot hold " +
                                                         sampleEncodingName(encoding) +
                                                         " samples; use --bits 24 or 16");
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        throw HostError(ExitCode::OutputNotWritable, "cannot write " + path + ": it is a directory");

    SF_INFO sfInfo = {};
    sfInfo.samplerate = sampleRate;
    sfInfo.channels = channels;
    sfInfo.format = container | subtypeFor(encoding);
    file = sf_open(temporaryPath.c_str(), SFM_WRITE, &sfInfo);
    if (!file)
        throw HostError(ExitCode::OutputNotWritable,
                        "cannot write " + path + ": " + sf_strerror(nullptr));
    // Integer files clip loud samples instead of wrapping them around.
    sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
}

AudioWriter::~AudioWriter() { discard(); }

void AudioWriter::write(const float* interleaved, std::int64_t frames) {
    if (sf_writef_float(file, interleaved, frames) != frames)
        throw HostError(ExitCode::Failure, "write error in " + finalPath + ": " + sf_strerror(file));
}

void AudioWriter::commit() {
    const int closed = sf_close(file);
    file = nullptr;
    if (closed != 0)
        throw HostError(ExitCode::Failure, "write error in " + finalPath + ": " + sf_error_number(closed));
    std::error_code error;
    std::filesystem::rename(temporaryPath, finalPath, error);
    if (error)
        throw HostError(ExitCode::OutputNotWritable, "cannot write " + finalPath + ": " + error.message());
    temporaryPath.clear();
}

void AudioWriter::discard() {
    if (file) sf_close(file);
    file = nullptr;
    if (!temporaryPath.empty()) std::remove(temporaryPath.c_str());
}
