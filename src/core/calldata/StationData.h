// The four band values of an old-layout record and the station text made from them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class CallRecord;

struct StationData {
    bool hasBands = false;
    std::uint16_t band6m = 0;
    std::uint16_t band2m = 0;
    std::uint16_t band222 = 0;
    std::uint16_t band432 = 0;

    [[nodiscard]] static StationData fromRecord(const CallRecord& record);
    [[nodiscard]] std::string toText() const;
};

// The decimal number at the start of text, reduced to its low 16 bits; 0 without digits.
[[nodiscard]] std::uint16_t leadingNumber16(std::string_view text);
