// The media control interface's error codes (the platform's own numbers) and their English texts,
// as mciGetErrorStringA gives them.
#pragma once

#include <cstdint>

namespace velmoria {

// Named apart from the platform's MCIERR_* macros so that this header can sit beside
// <mmsystem.h>; the values are the same.
namespace mci_error {
constexpr uint32_t kNone = 0;
constexpr uint32_t kBase = 256;
constexpr uint32_t kInvalidDeviceId = kBase + 1;
constexpr uint32_t kUnrecognizedKeyword = kBase + 3;
constexpr uint32_t kUnrecognizedCommand = kBase + 5;
constexpr uint32_t kHardware = kBase + 6;
constexpr uint32_t kInvalidDeviceName = kBase + 7;
constexpr uint32_t kOutOfMemory = kBase + 8;
constexpr uint32_t kDeviceOpen = kBase + 9;
constexpr uint32_t kCannotLoadDriver = kBase + 10;
constexpr uint32_t kMissingCommandString = kBase + 11;
constexpr uint32_t kParamOverflow = kBase + 12;
constexpr uint32_t kMissingStringArgument = kBase + 13;
constexpr uint32_t kBadInteger = kBase + 14;
constexpr uint32_t kParserInternal = kBase + 15;
constexpr uint32_t kDriverInternal = kBase + 16;
constexpr uint32_t kMissingParameter = kBase + 17;
constexpr uint32_t kUnsupportedFunction = kBase + 18;
constexpr uint32_t kFileNotFound = kBase + 19;
constexpr uint32_t kDeviceNotReady = kBase + 20;
constexpr uint32_t kInternal = kBase + 21;
constexpr uint32_t kDriver = kBase + 22;
constexpr uint32_t kCannotUseAll = kBase + 23;
constexpr uint32_t kMultiple = kBase + 24;
constexpr uint32_t kExtensionNotFound = kBase + 25;
constexpr uint32_t kOutOfRange = kBase + 26;
constexpr uint32_t kFlagsNotCompatible = kBase + 28;
constexpr uint32_t kFileNotSaved = kBase + 30;
constexpr uint32_t kDeviceTypeRequired = kBase + 31;
constexpr uint32_t kDeviceLocked = kBase + 32;
constexpr uint32_t kDuplicateAlias = kBase + 33;
constexpr uint32_t kBadConstant = kBase + 34;
constexpr uint32_t kMustUseShareable = kBase + 35;
constexpr uint32_t kMissingDeviceName = kBase + 36;
constexpr uint32_t kBadTimeFormat = kBase + 37;
constexpr uint32_t kNoClosingQuote = kBase + 38;
constexpr uint32_t kDuplicateFlags = kBase + 39;
constexpr uint32_t kInvalidFile = kBase + 40;
constexpr uint32_t kNullParameterBlock = kBase + 41;
constexpr uint32_t kUnnamedResource = kBase + 42;
constexpr uint32_t kNewRequiresAlias = kBase + 43;
constexpr uint32_t kNotifyOnAutoOpen = kBase + 44;
constexpr uint32_t kNoElementAllowed = kBase + 45;
constexpr uint32_t kNonapplicableFunction = kBase + 46;
constexpr uint32_t kIllegalForAutoOpen = kBase + 47;
constexpr uint32_t kFilenameRequired = kBase + 48;
constexpr uint32_t kExtraCharacters = kBase + 49;
constexpr uint32_t kDeviceNotInstalled = kBase + 50;
constexpr uint32_t kGetCd = kBase + 51;
constexpr uint32_t kSetCd = kBase + 52;
constexpr uint32_t kSetDrive = kBase + 53;
constexpr uint32_t kDeviceLength = kBase + 54;
constexpr uint32_t kDeviceOrdLength = kBase + 55;
constexpr uint32_t kNoInteger = kBase + 56;
}  // namespace mci_error

// The English text of an MCI error code (0 included), or nullptr for a code that has none.
const char* MciErrorText(uint32_t code);

// mciGetErrorStringA: copies the text into text[0..length), cut to fit and NUL-terminated.
// False, with nothing written, for a code without text or no room at all.
bool MciGetErrorText(uint32_t code, char* text, uint32_t length);

}  // namespace velmoria
