// The renderer's bitmap loader: a DIB file on disk through the platform's mapping and converter
// (dib_loader.h decodes it), with the user-facing message of every failure.
#pragma once

#include "common/rgb_image.h"

namespace velmoria {

// Shows one loader message to the user. LoadDibFile uses the platform's error box; tools and
// tests pass their own.
using DibMessageSink = void (*)(const char* text, void* context);

// Loads a DIB file from disk: the platform maps it and converts its pixels. Reports exactly one
// message through `report` on failure and returns null: the open failure after everything has
// been released, any other failure before.
RgbImage* LoadDibFile(const char* fileName, DibMessageSink report, void* context);

// Loads a DIB file from disk and reports failures in the platform's "Error" box.
RgbImage* LoadDibFile(const char* fileName);

}  // namespace velmoria
