// Helpers shared by the fuzz targets: reading an input as a recipe of numbers,
// and a check that stops the run where a property fails.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

// A failed property is a crash: libFuzzer keeps the input that caused it.
inline void check(bool ok) {
    if (!ok) __builtin_trap();
}

// Takes numbers off the front of the input; past its end every number is 0,
// so short inputs still run the whole target.
struct FuzzReader {
    const uint8_t* data;
    size_t size;
    size_t pos = 0;

    bool done() const { return pos >= size; }
    size_t left() const { return pos < size ? size - pos : 0; }
    uint8_t byte() { return pos < size ? data[pos++] : 0; }
    uint16_t word() {
        const uint8_t lo = byte();
        return static_cast<uint16_t>(lo | (byte() << 8));
    }
    uint32_t dword() {
        const uint32_t lo = word();
        return lo | static_cast<uint32_t>(word()) << 16;
    }
    int32_t int32() { return static_cast<int32_t>(dword()); }
    // Any bit pattern, NaN and infinities included.
    double real() {
        uint64_t bits = dword();
        bits |= static_cast<uint64_t>(dword()) << 32;
        double v;
        std::memcpy(&v, &bits, sizeof v);
        return v;
    }
    // The rest of the input as text.
    std::string rest() {
        std::string s(reinterpret_cast<const char*>(data + pos), left());
        pos = size;
        return s;
    }
};
