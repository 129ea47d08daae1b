#include "toolkit/inflate.h"

#include <array>
#include <vector>

namespace toolkit {
namespace {

constexpr int kMaxCodeLength = 15;

// Reads the stream's bits from the least significant end of each byte. Past the end it
// yields zero bits, so a code can always be looked up at full width; Overrun() then tells
// whether any of those made-up bits were used.
class BitReader {
public:
    explicit BitReader(std::span<const std::uint8_t> data) : data_(data) {}

    std::uint32_t Peek(int count) {
        while (held_ < count) {
            const std::uint64_t byte = next_ < data_.size() ? data_[next_] : 0;
            ++next_;
            bits_ |= byte << held_;
            held_ += 8;
        }
        return static_cast<std::uint32_t>(bits_ & ((std::uint64_t{1} << count) - 1));
    }
    void Drop(int count) {
        bits_ >>= count;
        held_ -= count;
    }
    std::uint32_t Take(int count) {
        const std::uint32_t value = Peek(count);
        Drop(count);
        return value;
    }
    void AlignToByte() { Drop(held_ % 8); }
    [[nodiscard]] std::size_t BitsUsed() const { return next_ * 8 - static_cast<size_t>(held_); }
    [[nodiscard]] std::size_t BitsLeft() const {
        return Overrun() ? 0 : data_.size() * 8 - BitsUsed();
    }
    [[nodiscard]] bool Overrun() const { return BitsUsed() > data_.size() * 8; }

private:
    std::span<const std::uint8_t> data_;
    std::size_t next_ = 0;  // the next byte to load into bits_
    std::uint64_t bits_ = 0;
    int held_ = 0;
};

// A canonical Huffman code as one table indexed by the next maxLength bits of input: each
// entry is symbol << 4 | code length, zero where no code starts with those bits.
struct HuffmanTable {
    std::vector<std::uint16_t> entries;
    int maxLength = 0;
};

// Builds the table for these code lengths (zero: the symbol is unused). Refuses lengths
// that claim more codes than fit; an incomplete set is refused too, except a single code of
// one bit, which deflate allows (a block with one distance). allowEmpty admits a distance
// code with no codes at all (a block of literals only).
bool BuildTable(std::span<const std::uint8_t> lengths, HuffmanTable& table, bool allowEmpty) {
    std::array<int, kMaxCodeLength + 1> count{};
    for (const std::uint8_t length : lengths) ++count[length];
    count[0] = 0;
    int maxLength = 0;
    int left = 1;  // codes still free at the current length
    for (int length = 1; length <= kMaxCodeLength; ++length) {
        left = left * 2 - count[length];
        if (left < 0) return false;
        if (count[length] != 0) maxLength = length;
    }
    if (maxLength == 0) {
        if (!allowEmpty) return false;
        maxLength = 1;  // every lookup finds no code
    } else if (left != 0 && !(maxLength == 1 && count[1] == 1)) {
        return false;
    }
    table.maxLength = maxLength;
    table.entries.assign(std::size_t{1} << maxLength, 0);

    std::array<std::uint32_t, kMaxCodeLength + 2> next{};
    std::uint32_t code = 0;
    for (int length = 1; length <= kMaxCodeLength; ++length) {
        code = (code + static_cast<std::uint32_t>(count[length - 1])) << 1;
        next[length] = code;
    }
    for (std::size_t symbol = 0; symbol < lengths.size(); ++symbol) {
        const int length = lengths[symbol];
        if (length == 0) continue;
        const std::uint32_t value = next[length]++;
        // Codes are sent from their most significant bit: the table is indexed reversed.
        std::uint32_t reversed = 0;
        for (int i = 0; i < length; ++i) reversed |= ((value >> i) & 1u) << (length - 1 - i);
        const auto entry = static_cast<std::uint16_t>(symbol << 4 | static_cast<size_t>(length));
        for (std::size_t i = reversed; i < table.entries.size(); i += std::size_t{1} << length) {
            table.entries[i] = entry;
        }
    }
    return true;
}

// The next symbol, or -1 where the bits start no code.
int Decode(BitReader& in, const HuffmanTable& table) {
    const std::uint16_t entry = table.entries[in.Peek(table.maxLength)];
    if (entry == 0) return -1;
    in.Drop(entry & 15);
    return entry >> 4;
}

constexpr std::array<std::uint16_t, 29> kLengthBase = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                                       15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                                       67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<std::uint8_t, 29> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                       2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<std::uint16_t, 30> kDistanceBase = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<std::uint8_t, 30> kDistanceExtra = {0, 0, 0,  0,  1,  1,  2,  2,  3,  3,
                                                         4, 4, 5,  5,  6,  6,  7,  7,  8,  8,
                                                         9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

// A caller's buffer as the output: written from its start, never past its end (every
// write below is checked against its capacity first).
class SpanOutput {
public:
    explicit SpanOutput(std::span<std::uint8_t> buffer) noexcept : buffer_(buffer) {}
    [[nodiscard]] std::size_t size() const noexcept { return size_; }
    [[nodiscard]] std::size_t capacity() const noexcept { return buffer_.size(); }
    void push_back(std::uint8_t byte) noexcept { buffer_[size_++] = byte; }
    [[nodiscard]] std::uint8_t operator[](std::size_t i) const noexcept { return buffer_[i]; }
    [[nodiscard]] std::span<const std::uint8_t> Written() const noexcept {
        return buffer_.first(size_);
    }

private:
    std::span<std::uint8_t> buffer_;
    std::size_t size_ = 0;
};

InflateResult InflateCodes(BitReader& in, const HuffmanTable& literals,
                           const HuffmanTable& distances, SpanOutput& out) {
    for (;;) {
        const int symbol = Decode(in, literals);
        if (in.Overrun()) return InflateResult::Truncated;
        if (symbol < 0) return InflateResult::BadCode;
        if (symbol < 256) {
            if (out.size() >= out.capacity()) return InflateResult::TooLarge;
            out.push_back(static_cast<std::uint8_t>(symbol));
            continue;
        }
        if (symbol == 256) return InflateResult::Ok;
        const auto lengthIndex = static_cast<std::size_t>(symbol - 257);
        if (lengthIndex >= kLengthBase.size()) return InflateResult::BadCode;
        const std::size_t length = kLengthBase[lengthIndex] + in.Take(kLengthExtra[lengthIndex]);
        const int distanceSymbol = Decode(in, distances);
        if (in.Overrun()) return InflateResult::Truncated;
        if (distanceSymbol < 0 || distanceSymbol >= static_cast<int>(kDistanceBase.size())) {
            return InflateResult::BadCode;
        }
        const auto d = static_cast<std::size_t>(distanceSymbol);
        const std::size_t distance = kDistanceBase[d] + in.Take(kDistanceExtra[d]);
        if (in.Overrun()) return InflateResult::Truncated;
        if (distance > out.size()) return InflateResult::DistanceTooFar;
        if (length > out.capacity() - out.size()) return InflateResult::TooLarge;
        // Byte by byte: the copy may overlap what it writes (distance < length repeats).
        std::size_t from = out.size() - distance;
        for (std::size_t i = 0; i < length; ++i) out.push_back(out[from++]);
    }
}

InflateResult InflateStored(BitReader& in, SpanOutput& out) {
    in.AlignToByte();
    const std::uint32_t length = in.Take(16);
    const std::uint32_t complement = in.Take(16);
    if (in.Overrun()) return InflateResult::Truncated;
    if ((length ^ 0xFFFFu) != complement) return InflateResult::BadBlock;
    if (std::size_t{length} * 8 > in.BitsLeft()) return InflateResult::Truncated;
    if (length > out.capacity() - out.size()) return InflateResult::TooLarge;
    for (std::uint32_t i = 0; i < length; ++i) out.push_back(static_cast<std::uint8_t>(in.Take(8)));
    return InflateResult::Ok;
}

InflateResult ReadDynamicTables(BitReader& in, HuffmanTable& literals, HuffmanTable& distances) {
    const std::uint32_t literalCount = in.Take(5) + 257;
    const std::uint32_t distanceCount = in.Take(5) + 1;
    const std::uint32_t lengthCodeCount = in.Take(4) + 4;
    if (literalCount > 286 || distanceCount > 30) return InflateResult::BadCode;

    static constexpr std::array<std::uint8_t, 19> kOrder = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                            11, 4,  12, 3, 13, 2, 14, 1, 15};
    std::array<std::uint8_t, 19> lengthCodes{};
    for (std::uint32_t i = 0; i < lengthCodeCount; ++i) {
        lengthCodes[kOrder[i]] = static_cast<std::uint8_t>(in.Take(3));
    }
    if (in.Overrun()) return InflateResult::Truncated;
    HuffmanTable lengthTable;
    if (!BuildTable(lengthCodes, lengthTable, false)) return InflateResult::BadCode;

    // Both codes' lengths form one sequence: a repeat may run from one into the other.
    std::array<std::uint8_t, 286 + 30> lengths{};
    const std::uint32_t total = literalCount + distanceCount;
    std::uint32_t filled = 0;
    while (filled < total) {
        const int symbol = Decode(in, lengthTable);
        if (in.Overrun()) return InflateResult::Truncated;
        if (symbol < 0) return InflateResult::BadCode;
        if (symbol < 16) {
            lengths[filled++] = static_cast<std::uint8_t>(symbol);
            continue;
        }
        std::uint8_t value = 0;
        std::uint32_t repeat = 0;
        if (symbol == 16) {
            if (filled == 0) return InflateResult::BadCode;  // nothing to repeat
            value = lengths[filled - 1];
            repeat = 3 + in.Take(2);
        } else if (symbol == 17) {
            repeat = 3 + in.Take(3);
        } else {
            repeat = 11 + in.Take(7);
        }
        if (in.Overrun()) return InflateResult::Truncated;
        if (repeat > total - filled) return InflateResult::BadCode;
        while (repeat-- > 0) lengths[filled++] = value;
    }
    // A block must be able to end.
    if (lengths[256] == 0) return InflateResult::BadCode;
    const std::span<const std::uint8_t> all(lengths.data(), total);
    if (!BuildTable(all.first(literalCount), literals, false) ||
        !BuildTable(all.subspan(literalCount), distances, true)) {
        return InflateResult::BadCode;
    }
    return InflateResult::Ok;
}

void BuildFixedTables(HuffmanTable& literals, HuffmanTable& distances) {
    std::array<std::uint8_t, 288> lengths{};
    for (std::size_t i = 0; i < lengths.size(); ++i) {
        lengths[i] = static_cast<std::uint8_t>(i < 144 ? 8 : i < 256 ? 9 : i < 280 ? 7 : 8);
    }
    (void)BuildTable(lengths, literals, false);
    // All 32 five-bit codes, though 30 and 31 never occur in a valid stream.
    std::array<std::uint8_t, 32> distanceLengths{};
    distanceLengths.fill(5);
    (void)BuildTable(distanceLengths, distances, false);
}

}  // namespace

std::uint32_t Adler32(std::span<const std::uint8_t> bytes) noexcept {
    constexpr std::uint32_t kModulus = 65521;
    // The sums stay below 2^32 for 5552 bytes between reductions.
    constexpr std::size_t kRun = 5552;
    std::uint32_t a = 1, b = 0;
    while (!bytes.empty()) {
        const std::size_t n = bytes.size() < kRun ? bytes.size() : kRun;
        for (std::size_t i = 0; i < n; ++i) {
            a += bytes[i];
            b += a;
        }
        a %= kModulus;
        b %= kModulus;
        bytes = bytes.subspan(n);
    }
    return b << 16 | a;
}

namespace {

InflateResult InflateInto(std::span<const std::uint8_t> zlibStream, SpanOutput& out) {
    if (zlibStream.size() < 2) return InflateResult::Truncated;
    const unsigned method = zlibStream[0];
    const unsigned flags = zlibStream[1];
    if ((method & 15) != 8 || (method >> 4) > 7 || (method << 8 | flags) % 31 != 0 ||
        (flags & 0x20) != 0) {
        return InflateResult::BadHeader;
    }
    BitReader in(zlibStream.subspan(2));
    HuffmanTable literals, distances;
    bool last = false;
    while (!last) {
        last = in.Take(1) == 1;
        const std::uint32_t type = in.Take(2);
        if (in.Overrun()) return InflateResult::Truncated;
        InflateResult result = InflateResult::BadBlock;
        if (type == 0) {
            result = InflateStored(in, out);
        } else if (type == 1) {
            BuildFixedTables(literals, distances);
            result = InflateCodes(in, literals, distances, out);
        } else if (type == 2) {
            result = ReadDynamicTables(in, literals, distances);
            if (result == InflateResult::Ok) {
                result = InflateCodes(in, literals, distances, out);
            }
        }
        if (result != InflateResult::Ok) return result;
    }
    in.AlignToByte();
    std::uint32_t stored = 0;
    for (int i = 0; i < 4; ++i) stored = stored << 8 | in.Take(8);
    if (in.Overrun()) return InflateResult::Truncated;
    return stored == Adler32(out.Written()) ? InflateResult::Ok : InflateResult::BadChecksum;
}

}  // namespace

InflateResult Inflate(std::span<const std::uint8_t> zlibStream, std::span<std::uint8_t> out,
                      std::size_t& written) {
    SpanOutput output(out);
    const InflateResult result = InflateInto(zlibStream, output);
    written = output.size();
    return result;
}

}  // namespace toolkit
