#include "plugins/gnutella/rateTexts.h"

#include <cstdio>

namespace vesk::gnutella {

namespace {

std::string scaled(double amount, const char* const units[4]) {
    int unit = 0;
    while (unit < 3 && amount > 1024) {
        amount /= 1024;
        ++unit;
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.2f %s", amount, units[unit]);
    return text;
}

}  // namespace

std::string SizeText(std::uint64_t bytes) {
    static const char* const units[4] = {"Bytes", "KB", "MB", "GB"};
    return scaled(static_cast<double>(bytes), units);
}

std::string SpeedText(double bytesPerSecond) {
    static const char* const units[4] = {"Bytes/Sec", "KB/Sec", "MB/Sec", "GB/Sec"};
    return scaled(bytesPerSecond, units);
}

std::string TimeLeftText(std::uint64_t seconds) {
    if (seconds <= 60)
        return std::to_string(seconds) + " sec";
    std::uint64_t minutes = seconds / 60;
    seconds %= 60;
    if (minutes <= 60)
        return std::to_string(minutes) + " min, " + std::to_string(seconds) + " sec";
    std::uint64_t hours = minutes / 60;
    minutes %= 60;
    return std::to_string(hours) + " hours, " + std::to_string(minutes) + " min, " + std::to_string(seconds) +
           " sec";
}

std::string CountdownText(std::uint64_t seconds) {
    std::string text;
    if (std::uint64_t hours = seconds / 3600)
        text += std::to_string(hours) + "h ";
    if (std::uint64_t minutes = seconds / 60 % 60)
        text += std::to_string(minutes) + "m ";
    return text + std::to_string(seconds % 60) + "s ";
}

std::string ProgressText(const char* label, std::uint64_t done, std::uint64_t total) {
    return std::string(label ? label : "") + " (" + SizeText(done) + " of " + SizeText(total) + ")";
}

std::string CompletionText(const char* label, std::uint64_t done) {
    return std::string(label ? label : "") + " (" + SizeText(done) + ")";
}

}  // namespace vesk::gnutella
