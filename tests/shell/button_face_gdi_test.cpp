// Under Windows (and Wine): the face's stretch and gradient rules against GDI itself, with the
// same bitmap kinds the control draws with (24-bit top-down pictures, 32-bit top-down faces).
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "shell/controls/button_face.h"

namespace velmoria {
namespace {

struct Dib {
    Dib(int width, int height, int bits) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = static_cast<WORD>(bits);
        info.bmiHeader.biCompression = BI_RGB;
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &data, nullptr, 0);
        original = SelectObject(dc, bitmap);
        stride = (width * bits / 8 + 3) & ~3;
    }
    ~Dib() {
        SelectObject(dc, original);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    uint8_t* Row(int y) { return static_cast<uint8_t*>(data) + y * stride; }

    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ original;
    void* data = nullptr;
    int stride;
};

TEST(FaceAgainstGdi, StretchPicksTheSourcePixelsStretchBltPicks) {
    constexpr int kMax = 64;
    // Source pixel i holds the value i + 1 in its blue byte, along a row and down a column.
    Dib source(kMax, kMax, 24);
    for (int y = 0; y < kMax; ++y) {
        for (int x = 0; x < kMax; ++x) {
            source.Row(y)[x * 3] = static_cast<uint8_t>(x + 1);
            source.Row(y)[x * 3 + 1] = static_cast<uint8_t>(y + 1);
        }
    }
    Dib target(2 * kMax, 2 * kMax, 32);
    SetStretchBltMode(target.dc, COLORONCOLOR);
    for (int from = 1; from <= 40; ++from) {
        for (int to = 1; to <= 2 * kMax; to += (to < 40 ? 1 : 7)) {
            StretchBlt(target.dc, 0, 0, to, 1, source.dc, 0, 0, from, 1, SRCCOPY);
            StretchBlt(target.dc, 0, 1, 1, to, source.dc, 0, 0, 1, from, SRCCOPY);
            GdiFlush();
            const std::vector<int> columns =
                StretchSourceIndices(from, to, StretchAxis::Horizontal);
            const std::vector<int> rows = StretchSourceIndices(from, to, StretchAxis::Vertical);
            for (int i = 0; i < to; ++i) {
                ASSERT_EQ(target.Row(0)[i * 4] - 1, columns[i]) << from << " -> " << to;
                // The column starts at row 1 so it does not share a pixel with the row.
                ASSERT_EQ(target.Row(1 + i)[1] - 1, rows[i]) << from << " -> " << to;
            }
        }
    }
}

TEST(FaceAgainstGdi, GradientRowsAreGradientFills) {
    for (const bool reverse : {false, true}) {
        const FaceGradient gradient = FaceGradientColours(reverse);
        for (int height = 2; height <= 60; ++height) {
            Dib face(3, height, 32);
            TRIVERTEX vertices[2] = {};
            vertices[0].Red = gradient.top.red;
            vertices[0].Green = gradient.top.green;
            vertices[0].Blue = gradient.top.blue;
            vertices[1].x = 2;
            vertices[1].y = height - 1;
            vertices[1].Red = gradient.bottom.red;
            vertices[1].Green = gradient.bottom.green;
            vertices[1].Blue = gradient.bottom.blue;
            GRADIENT_RECT mesh = {1, 0};
            ASSERT_TRUE(GradientFill(face.dc, vertices, 2, &mesh, 1, GRADIENT_FILL_RECT_V));
            GdiFlush();
            for (int y = 0; y < height - 1; ++y) {
                const uint32_t pixel = *reinterpret_cast<uint32_t*>(face.Row(y)) & 0xFFFFFF;
                ASSERT_EQ(pixel, GradientRowColour(gradient, y, height - 1))
                    << "height " << height << " row " << y;
            }
        }
    }
}

}  // namespace
}  // namespace velmoria
