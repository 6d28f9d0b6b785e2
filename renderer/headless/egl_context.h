// A headless OpenGL context through EGL on Mesa's surfaceless platform: no X server needed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velmoria {

class HeadlessContextEgl {
  public:
    // Creates a width x height RGB(A) 8-bit pbuffer with a desktop OpenGL context and makes it
    // current. On failure `ok()` is false and `error()` says why.
    HeadlessContextEgl(int32_t width, int32_t height);
    ~HeadlessContextEgl();
    HeadlessContextEgl(const HeadlessContextEgl&) = delete;
    HeadlessContextEgl& operator=(const HeadlessContextEgl&) = delete;

    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }
    int32_t width() const { return width_; }
    int32_t height() const { return height_; }

    // Presents the frame (waits until it has been drawn).
    void Swap();

    // The frame's pixels as RGB, bottom row first.
    std::vector<uint8_t> ReadRgb() const;

  private:
    void* display_ = nullptr;
    void* surface_ = nullptr;
    void* context_ = nullptr;
    int32_t width_;
    int32_t height_;
    std::string error_;
};

}  // namespace velmoria
