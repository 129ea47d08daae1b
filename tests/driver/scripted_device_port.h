// A DevicePort that plays a scripted driver: each read delivers the stream from its start,
// as far as the requested length (and an optional limit) reaches. It records every call.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <optional>
#include <vector>

#include "driver/device_port.h"

namespace drivertest {

// Appends a signed 64-bit little-endian value.
inline void AppendValue(std::vector<std::byte>& out, std::uint64_t value) {
    for (int i = 0; i < 8; ++i) out.push_back(static_cast<std::byte>(value >> (8 * i)));
}

// A stream with the given Count and one record per status word. The high halves and the
// second header value are filled with junk that a correct reader never takes.
inline std::vector<std::byte> MakeStream(std::int64_t count,
                                         const std::vector<std::uint32_t>& statuses) {
    std::vector<std::byte> out;
    AppendValue(out, static_cast<std::uint64_t>(count));
    AppendValue(out, 0x1122334455667788ull);
    for (std::size_t i = 0; i < statuses.size(); ++i) {
        AppendValue(out, 0xA5A5A5A500000000ull | (100 + i));
        AppendValue(out, 0x5A5A5A5B00000000ull | statuses[i]);
    }
    return out;
}
inline std::vector<std::byte> MakeStream(const std::vector<std::uint32_t>& statuses) {
    return MakeStream(static_cast<std::int64_t>(statuses.size()), statuses);
}

class ScriptedDevicePort final : public driver::DevicePort {
public:
    // Script.
    bool openSucceeds = true;
    std::vector<std::byte> stream;
    std::optional<std::int64_t> laterCount;  // the Count that reads after the first see
    bool firstReadFails = false;
    bool secondReadFails = false;
    std::size_t laterReadDeliversAtMost = std::numeric_limits<std::size_t>::max();
    bool controlSucceeds = true;
    std::uint32_t answer = 0;
    std::size_t answerBytes = 4;

    // Record.
    int opens = 0;
    int closes = 0;
    bool isOpen = false;
    std::vector<std::uint32_t> readLengths;
    std::vector<std::uint32_t> controlCodes;
    std::vector<std::uint32_t> answerWordsHandedIn;  // each answer word as it came, unwritten

    bool Open() noexcept override {
        if (!openSucceeds) return false;
        ++opens;
        isOpen = true;
        return true;
    }

    bool Read(void* buffer, std::uint32_t length) noexcept override {
        if (!isOpen) return false;
        const std::size_t index = readLengths.size();
        readLengths.push_back(length);
        if ((index == 0 && firstReadFails) || (index == 1 && secondReadFails)) return false;
        std::vector<std::byte> seen = stream;
        if (index > 0 && laterCount && seen.size() >= 8) {
            for (int i = 0; i < 8; ++i)
                seen[i] =
                    static_cast<std::byte>(static_cast<std::uint64_t>(*laterCount) >> (8 * i));
        }
        std::size_t delivered = std::min<std::size_t>(length, seen.size());
        if (index > 0) delivered = std::min(delivered, laterReadDeliversAtMost);
        if (delivered > 0) std::memcpy(buffer, seen.data(), delivered);
        return true;
    }

    bool Control(std::uint32_t code, std::uint32_t& answerWord) noexcept override {
        if (!isOpen) return false;
        controlCodes.push_back(code);
        answerWordsHandedIn.push_back(answerWord);
        if (!controlSucceeds) return false;
        for (std::size_t i = 0; i < answerBytes && i < 4; ++i) {
            auto* bytes = reinterpret_cast<unsigned char*>(&answerWord);
            bytes[i] = static_cast<unsigned char>(answer >> (8 * i));  // little-endian word
        }
        return true;
    }

    void Close() noexcept override {
        if (isOpen) ++closes;
        isOpen = false;
    }
};

}  // namespace drivertest
