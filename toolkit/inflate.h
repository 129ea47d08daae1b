// A decompressor for zlib streams (the deflate format in its two-byte header and Adler-32
// trailer), as PNG pictures store their pixels. Win32-free, no exceptions: every input,
// however damaged, ends in a result code without reading or writing out of bounds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace toolkit {

enum class InflateResult {
    Ok,
    BadHeader,       // not deflate, a window over 32 KiB, a check that fails, a dictionary
    BadBlock,        // block type 3, or a stored block whose length and its complement differ
    BadCode,         // code lengths that form no usable code, or a code no table holds
    DistanceTooFar,  // a back-reference before the start of the output
    TooLarge,        // more output than the caller allows
    Truncated,       // the input ends inside the stream
    BadChecksum,     // the Adler-32 of the output differs from the stored one
};

// The Adler-32 of the bytes, as a zlib stream's trailer holds it.
[[nodiscard]] std::uint32_t Adler32(std::span<const std::uint8_t> bytes) noexcept;

// Decompresses a zlib stream into a buffer of the caller's, never past its end (more output
// than it holds is TooLarge). Bytes after the trailer are ignored. written gets the count of
// bytes written, also on failure. No memory is allocated for the output.
[[nodiscard]] InflateResult Inflate(std::span<const std::uint8_t> zlibStream,
                                    std::span<std::uint8_t> out, std::size_t& written);

}  // namespace toolkit
