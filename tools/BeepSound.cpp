#include "BeepSound.h"

#include <cmath>
#include <cstdint>

namespace {

void PutLittleEndian(std::vector<unsigned char>& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<unsigned char>(value >> (8 * i)));
    }
}

void PutTag(std::vector<unsigned char>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

}  // namespace

std::vector<unsigned char> MakeBeepWav()
{
    constexpr std::uint32_t kRate = 22050;
    constexpr int kSamples = static_cast<int>(kRate * 0.12);
    constexpr double kPi = 3.14159265358979;
    constexpr double kTone = 740.0;
    constexpr double kAttack = 0.008, kRelease = 0.07;

    std::vector<unsigned char> wav;
    const std::uint32_t dataBytes = kSamples * 2;
    PutTag(wav, "RIFF");
    PutLittleEndian(wav, 36 + dataBytes, 4);
    PutTag(wav, "WAVE");
    PutTag(wav, "fmt ");
    PutLittleEndian(wav, 16, 4);
    PutLittleEndian(wav, 1, 2);  // PCM
    PutLittleEndian(wav, 1, 2);  // mono
    PutLittleEndian(wav, kRate, 4);
    PutLittleEndian(wav, kRate * 2, 4);
    PutLittleEndian(wav, 2, 2);
    PutLittleEndian(wav, 16, 2);
    PutTag(wav, "data");
    PutLittleEndian(wav, dataBytes, 4);

    const double duration = static_cast<double>(kSamples) / kRate;
    for (int i = 0; i < kSamples; ++i) {
        const double t = static_cast<double>(i) / kRate;
        // Raised-cosine edges keep the start and end free of clicks.
        double envelope = 1.0;
        if (t < kAttack) envelope = 0.5 - 0.5 * std::cos(kPi * t / kAttack);
        const double left = duration - t;
        if (left < kRelease) envelope *= 0.5 - 0.5 * std::cos(kPi * left / kRelease);
        // A little of the octave gives the tone some body without making it harsh.
        const double wave = std::sin(2 * kPi * kTone * t) + 0.18 * std::sin(4 * kPi * kTone * t);
        const double sample = 0.25 * envelope * wave / 1.18;
        const auto value = static_cast<std::int16_t>(std::lround(sample * 32767.0));
        PutLittleEndian(wav, static_cast<std::uint16_t>(value), 2);
    }
    return wav;
}
