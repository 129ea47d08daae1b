#include "toolkit/inflate.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace {

using toolkit::InflateResult;
using Bytes = std::vector<std::uint8_t>;

// Inflates into a buffer of maxOut bytes; out is left holding what was written.
InflateResult Inflate(const Bytes& stream, Bytes& out, std::size_t maxOut) {
    out.assign(maxOut, 0);
    std::size_t written = 0;
    const InflateResult result = toolkit::Inflate(stream, out, written);
    out.resize(written);
    return result;
}

Bytes ToBytes(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

// Writes deflate's bit stream by hand: fields from their least significant bit, Huffman
// codes from their most significant one.
class BitWriter {
public:
    void Bits(std::uint32_t value, int count) {
        for (int i = 0; i < count; ++i) Bit((value >> i) & 1);
    }
    void Code(std::uint32_t code, int length) {
        for (int i = length - 1; i >= 0; --i) Bit((code >> i) & 1);
    }
    // Whole bytes after the last one begun, as a stored block holds them.
    void AlignedBytes(std::initializer_list<int> bytes) {
        used_ = 0;
        for (int b : bytes) bytes_.push_back(static_cast<std::uint8_t>(b));
    }
    // The fixed code's literals and lengths, and its five-bit distances.
    void Literal(int symbol) {
        if (symbol < 144)
            Code(0x30 + symbol, 8);
        else if (symbol < 256)
            Code(0x190 + symbol - 144, 9);
        else if (symbol < 280)
            Code(symbol - 256, 7);
        else
            Code(0xC0 + symbol - 280, 8);
    }
    void Distance(int code) { Code(code, 5); }
    [[nodiscard]] const Bytes& bytes() const { return bytes_; }

private:
    void Bit(std::uint32_t bit) {
        if (used_ == 0) bytes_.push_back(0);
        bytes_.back() = static_cast<std::uint8_t>(bytes_.back() | bit << used_);
        used_ = (used_ + 1) % 8;
    }
    Bytes bytes_;
    int used_ = 0;
};

// A zlib stream around these deflate bytes, its trailer the Adler-32 of the expected output.
Bytes Wrap(const Bytes& deflate, const Bytes& output) {
    Bytes z = {0x78, 0x01};
    z.insert(z.end(), deflate.begin(), deflate.end());
    const uLong adler =
        adler32(adler32(0, nullptr, 0), output.data(), static_cast<uInt>(output.size()));
    for (int shift = 24; shift >= 0; shift -= 8)
        z.push_back(static_cast<std::uint8_t>(adler >> shift));
    return z;
}

// The reference compressor's stream of data at this level and strategy.
Bytes Compress(const Bytes& data, int level, int strategy) {
    z_stream s{};
    EXPECT_EQ(deflateInit2(&s, level, Z_DEFLATED, 15, 8, strategy), Z_OK);
    Bytes out(deflateBound(&s, static_cast<uLong>(data.size())));
    s.next_in = const_cast<Bytef*>(data.data());
    s.avail_in = static_cast<uInt>(data.size());
    s.next_out = out.data();
    s.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&s, Z_FINISH), Z_STREAM_END);
    out.resize(s.total_out);
    deflateEnd(&s);
    return out;
}

// Letters with runs and with passages repeated far back, to give long and overlapping copies.
Bytes SampleText(std::size_t size) {
    Bytes data;
    std::uint32_t seed = 12345;
    const auto next = [&] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7FFF; };
    while (data.size() < size) {
        const std::uint32_t kind = next() % 10;
        if (kind == 0) {
            data.insert(data.end(), 300 + next() % 700, 'q');  // a run: distance 1, length 258
        } else if (kind == 1 && data.size() > 30000) {
            const std::size_t from = data.size() - 30000 + next() % 2000;  // near the window's end
            for (std::size_t i = 0; i < 200; ++i) data.push_back(data[from + i]);
        } else {
            for (int i = 0; i < 50; ++i)
                data.push_back(static_cast<std::uint8_t>('a' + next() % 26));
        }
    }
    data.resize(size);
    return data;
}

TEST(Inflate, HandMadeBlocks) {
    Bytes out;
    {  // a stored block
        BitWriter w;
        w.Bits(1, 1);
        w.Bits(0, 2);
        w.AlignedBytes({5, 0, 0xFA, 0xFF, 'h', 'e', 'l', 'l', 'o'});
        EXPECT_EQ(Inflate(Wrap(w.bytes(), ToBytes("hello")), out, 100), InflateResult::Ok);
        EXPECT_EQ(out, ToBytes("hello"));
    }
    {  // a fixed-code block: one literal copied ten times over itself (distance 1)
        BitWriter w;
        w.Bits(1, 1);
        w.Bits(1, 2);
        w.Literal('a');
        w.Literal(264);  // length 10
        w.Distance(0);   // distance 1
        w.Literal(256);
        const Bytes expected = ToBytes(std::string(11, 'a'));
        EXPECT_EQ(Inflate(Wrap(w.bytes(), expected), out, 100), InflateResult::Ok);
        EXPECT_EQ(out, expected);
    }
    {  // a stored block, then a fixed one whose copy reaches back into it
        BitWriter w;
        w.Bits(0, 1);
        w.Bits(0, 2);
        w.AlignedBytes({2, 0, 0xFD, 0xFF, 'x', 'y'});
        w.Bits(1, 1);
        w.Bits(1, 2);
        w.Literal('z');
        w.Literal(258);  // length 4
        w.Distance(2);   // distance 3
        w.Literal(256);
        const Bytes expected = ToBytes("xyzxyzx");
        EXPECT_EQ(Inflate(Wrap(w.bytes(), expected), out, 100), InflateResult::Ok);
        EXPECT_EQ(out, expected);
    }
    {  // a dynamic block with one distance code, of one bit: the one incomplete code allowed
        BitWriter w;
        w.Bits(1, 1);
        w.Bits(2, 2);
        w.Bits(258 - 257, 5);
        w.Bits(0, 5);
        w.Bits(18 - 4, 4);
        // Code lengths of the code-length symbols 16, 17, 18, 0, ..., 2, 14, 1: codes 0 for
        // length 0, 10 for length 1, 11 for length 2.
        for (int length : {0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 2}) w.Bits(length, 3);
        const auto writeLength = [&](int symbol) {
            if (symbol == 'a' || symbol == 258)
                w.Code(2, 2);  // 'a' and distance 1: one bit
            else if (symbol == 256 || symbol == 257)
                w.Code(3, 2);  // two bits
            else
                w.Code(0, 1);
        };
        for (int symbol = 0; symbol < 259; ++symbol) writeLength(symbol);
        w.Code(0, 1);  // 'a'
        w.Code(3, 2);  // length 3
        w.Code(0, 1);  // distance 1
        w.Code(2, 2);  // end of block
        const Bytes expected = ToBytes("aaaa");
        EXPECT_EQ(Inflate(Wrap(w.bytes(), expected), out, 100), InflateResult::Ok);
        EXPECT_EQ(out, expected);
    }
}

TEST(Inflate, ReferenceCompressorStreams) {
    const Bytes data = SampleText(200000);
    struct Case {
        int level, strategy, firstBlockType;
    };
    for (const Case c : {Case{0, Z_DEFAULT_STRATEGY, 0}, Case{9, Z_FIXED, 1},
                         Case{9, Z_DEFAULT_STRATEGY, 2}, Case{1, Z_DEFAULT_STRATEGY, 2}}) {
        SCOPED_TRACE(testing::Message() << "level " << c.level << " strategy " << c.strategy);
        const Bytes z = Compress(data, c.level, c.strategy);
        ASSERT_EQ((z[2] >> 1) & 3, c.firstBlockType);
        Bytes out;
        EXPECT_EQ(Inflate(z, out, data.size()), InflateResult::Ok);
        EXPECT_TRUE(out == data);
        EXPECT_EQ(Inflate(z, out, data.size() - 1), InflateResult::TooLarge);
    }
}

TEST(Inflate, RefusesDamagedStreams) {
    const Bytes data = SampleText(5000);
    const Bytes good = Compress(data, 9, Z_DEFAULT_STRATEGY);
    Bytes out;
    for (std::size_t length = 0; length < good.size(); ++length) {
        SCOPED_TRACE(length);
        ASSERT_EQ(Inflate(Bytes(good.begin(), good.begin() + length), out, 1 << 20),
                  InflateResult::Truncated);
    }
    Bytes badAdler = good;
    badAdler.back() ^= 1;
    EXPECT_EQ(Inflate(badAdler, out, 1 << 20), InflateResult::BadChecksum);
    for (const Bytes& header : {Bytes{0x77, 0x09}, Bytes{0x78, 0x02}, Bytes{0x88, 0x1C},
                                Bytes{0x78, 0xBB}}) {  // method 7, check, window 64K, dictionary
        SCOPED_TRACE(testing::Message() << int{header[0]} << " " << int{header[1]});
        ASSERT_EQ((header[0] * 256 + header[1]) % 31 == 0, header[1] != 0x02);
        Bytes z = good;
        z[0] = header[0];
        z[1] = header[1];
        EXPECT_EQ(Inflate(z, out, 1 << 20), InflateResult::BadHeader);
    }
}

TEST(Inflate, RefusesInvalidBlocks) {
    Bytes out;
    {  // a copy from before the start
        BitWriter w;
        w.Bits(1, 1);
        w.Bits(1, 2);
        w.Literal('a');
        w.Literal(257);
        w.Distance(1);  // distance 2, one byte written
        w.Literal(256);
        EXPECT_EQ(Inflate(Wrap(w.bytes(), {}), out, 100), InflateResult::DistanceTooFar);
    }
    {  // block type 3
        BitWriter w;
        w.Bits(1, 1);
        w.Bits(3, 2);
        EXPECT_EQ(Inflate(Wrap(w.bytes(), {}), out, 100), InflateResult::BadBlock);
    }
    {  // a stored length whose complement does not match
        BitWriter w;
        w.Bits(1, 1);
        w.Bits(0, 2);
        w.AlignedBytes({1, 0, 0xFF, 0xFF, 'x'});
        EXPECT_EQ(Inflate(Wrap(w.bytes(), ToBytes("x")), out, 100), InflateResult::BadBlock);
    }
    {  // fixed literal/length symbol 286, which no valid stream holds
        BitWriter w;
        w.Bits(1, 1);
        w.Bits(1, 2);
        w.Literal(286);
        EXPECT_EQ(Inflate(Wrap(w.bytes(), {}), out, 100), InflateResult::BadCode);
    }
    // Dynamic headers: counts of literal/length and distance lengths, then the lengths of the
    // code-length code for its symbols in the order 16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4,
    // 12, 3, 13, 2, 14, 1, 15.
    const auto dynamic = [](std::uint32_t literals, std::uint32_t distances,
                            std::initializer_list<std::uint32_t> lengthCodeLengths) {
        BitWriter w;
        w.Bits(1, 1);
        w.Bits(2, 2);
        w.Bits(literals - 257, 5);
        w.Bits(distances - 1, 5);
        w.Bits(static_cast<std::uint32_t>(lengthCodeLengths.size() - 4), 4);
        for (std::uint32_t length : lengthCodeLengths) w.Bits(length, 3);
        return w;
    };
    {  // four one-bit codes cannot exist
        const BitWriter w = dynamic(257, 1, {1, 1, 1, 1});
        EXPECT_EQ(Inflate(Wrap(w.bytes(), {}), out, 100), InflateResult::BadCode);
    }
    {  // a code missing half its codes
        const BitWriter w = dynamic(257, 1, {2, 0, 0, 2});
        EXPECT_EQ(Inflate(Wrap(w.bytes(), {}), out, 100), InflateResult::BadCode);
    }
    {  // "repeat the previous length" with none before it: symbol 0 is code 0, 16 code 1
        BitWriter w = dynamic(257, 1, {1, 0, 0, 1});
        w.Code(1, 1);
        w.Bits(0, 2);
        EXPECT_EQ(Inflate(Wrap(w.bytes(), {}), out, 100), InflateResult::BadCode);
    }
    // The code-length code with one-bit codes for the lengths 0 and 1.
    const std::initializer_list<std::uint32_t> zeroOrOne = {0, 0, 0, 1, 0, 0, 0, 0, 0,
                                                            0, 0, 0, 0, 0, 0, 0, 0, 1};
    {  // more literal/length or distance lengths than there are symbols, though the codes
       // they give (only end-of-block, no distances) would do
        for (const auto& [literals, distances] : {std::pair{287u, 1u}, std::pair{257u, 31u}}) {
            BitWriter w = dynamic(literals, distances, zeroOrOne);
            for (std::uint32_t i = 0; i < literals + distances; ++i) w.Code(i == 256, 1);
            EXPECT_EQ(Inflate(Wrap(w.bytes(), {}), out, 100), InflateResult::BadCode);
        }
    }
    {  // a complete literal code for bytes 0 and 1 only: no end-of-block code
        BitWriter w = dynamic(257, 1, zeroOrOne);
        w.Code(1, 1);  // the lengths of bytes 0 and 1: symbol 1 of the code-length code
        w.Code(1, 1);
        for (int i = 0; i < 256; ++i) w.Code(0, 1);
        EXPECT_EQ(Inflate(Wrap(w.bytes(), {}), out, 100), InflateResult::BadCode);
    }
}

TEST(Inflate, Adler32MatchesTheReference) {
    const Bytes data = SampleText(100000);  // longer than one run between reductions
    const uLong expected =
        adler32(adler32(0, nullptr, 0), data.data(), static_cast<uInt>(data.size()));
    EXPECT_EQ(toolkit::Adler32(data), expected);
    EXPECT_EQ(toolkit::Adler32({}), 1u);
}

}  // namespace
