// A view of a bitmap's pixel rows that needs no Windows headers, so that
// pixel kernels and image decoders can also be built and tested natively.
// Row 0 is the top row as shown; Step is the signed distance in bytes from
// one row to the next below it (negative for a bottom-up DIB).
#pragma once

#include <cstddef>
#include <cstdint>

struct TBitmapRows {
    uint8_t* First = nullptr;  // row 0 (the top row as shown)
    std::ptrdiff_t Step = 0;   // bytes from row Y to row Y + 1
    int Width = 0;
    int Height = 0;
    int BytesPerPixel = 0;     // 3 for 24-bit, 4 for 32-bit, 1 for 8-bit; 0 for other formats

    bool Empty() const { return First == nullptr || Width <= 0 || Height <= 0; }
    uint8_t* Row(int Y) const { return First + std::ptrdiff_t(Y) * Step; }
    uint8_t* Pixel(int X, int Y) const { return Row(Y) + std::ptrdiff_t(X) * BytesPerPixel; }
};
