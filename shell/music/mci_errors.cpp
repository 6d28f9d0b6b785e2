// The error texts of the media control interface, word for word as the platform gives them.
#include "shell/music/mci_errors.h"

#include <cstring>

namespace velmoria {

namespace {

struct ErrorText {
    uint32_t code;
    const char* text;
};

using namespace mci_error;

const ErrorText kErrorTexts[] = {
    {kNone, "The specified command was carried out."},
    {kInvalidDeviceId, "Invalid MCI device ID. Use the ID returned when opening the MCI device."},
    {kUnrecognizedKeyword, "The driver cannot recognize the specified command parameter."},
    {kUnrecognizedCommand, "The driver cannot recognize the specified command."},
    {kHardware,
     "There is a problem with your media device. Make sure it is working correctly or contact the "
     "device manufacturer."},
    {kInvalidDeviceName, "The specified device is not open or is not recognized by MCI."},
    {kOutOfMemory,
     "Not enough memory available for this task. Quit one or more applications to increase "
     "available memory, and then try again."},
    {kDeviceOpen,
     "The device name is already being used as an alias by this application. Use a unique "
     "alias."},
    {kCannotLoadDriver, "There is an undetectable problem in loading the specified device driver."},
    {kMissingCommandString, "No command was specified."},
    {kParamOverflow,
     "The output string was too large to fit in the return buffer. Increase the size of the "
     "buffer."},
    {kMissingStringArgument,
     "The specified command requires a character-string parameter. Please provide one."},
    {kBadInteger, "The specified integer is invalid for this command."},
    {kParserInternal,
     "The device driver returned an invalid return type. Check with the device manufacturer "
     "about obtaining a new driver."},
    {kDriverInternal,
     "There is a problem with the device driver. Check with the device manufacturer about "
     "obtaining a new driver."},
    {kMissingParameter, "The specified command requires a parameter. Please supply one."},
    {kUnsupportedFunction, "The MCI device you are using does not support the specified command."},
    {kFileNotFound, "Cannot find the specified file. Make sure the path and filename are correct."},
    {kDeviceNotReady, "The device driver is not ready."},
    {kInternal, "A problem occurred in initializing MCI. Try restarting Windows."},
    {kDriver,
     "There is a problem with the device driver. The driver has closed. Cannot access error."},
    {kCannotUseAll, "Cannot use 'all' as the device name with the specified command."},
    {kMultiple,
     "Errors occurred in more than one device. Specify each command and device separately to "
     "determine which devices caused the error."},
    {kExtensionNotFound, "Cannot determine the device type from the given filename extension."},
    {kOutOfRange, "The specified parameter is out of range for the specified command."},
    {kFlagsNotCompatible, "The specified parameters cannot be used together."},
    {kFileNotSaved,
     "Cannot save the specified file. Make sure you have enough disk space or are still "
     "connected to the network."},
    {kDeviceTypeRequired,
     "Cannot find the specified device. Make sure it is installed and that the device name is "
     "spelled correctly."},
    {kDeviceLocked,
     "The specified device is now being closed. Wait a few seconds, and then try again."},
    {kDuplicateAlias,
     "The specified alias is already being used in this application. Use a unique alias."},
    {kBadConstant, "The specified parameter is invalid for this command."},
    {kMustUseShareable,
     "The device driver is already in use. To share it, use the 'shareable' parameter with each "
     "'open' command."},
    {kMissingDeviceName,
     "The specified command requires an alias, file, driver, or device name. Please supply one."},
    {kBadTimeFormat,
     "The specified value for the time format is invalid. Refer to the MCI documentation for "
     "valid formats."},
    {kNoClosingQuote,
     "A closing double-quotation mark is missing from the parameter value. Please supply one."},
    {kDuplicateFlags, "A parameter or value was specified twice. Only specify it once."},
    {kInvalidFile,
     "The specified file cannot be played on the specified MCI device. The file may be corrupt, "
     "or not in the correct format."},
    {kNullParameterBlock, "A null parameter block was passed to MCI."},
    {kUnnamedResource, "Cannot save an unnamed file. Supply a filename."},
    {kNewRequiresAlias, "You must specify an alias when using the 'new' parameter."},
    {kNotifyOnAutoOpen, "Cannot use the 'notify' flag with auto-opened devices."},
    {kNoElementAllowed, "Cannot use a filename with the specified device."},
    {kNonapplicableFunction,
     "Cannot carry out the commands in the order specified. Correct the command sequence, and "
     "then try again."},
    {kIllegalForAutoOpen,
     "Cannot carry out the specified command on an auto-opened device. Wait until the device is "
     "closed, and then try again."},
    {kFilenameRequired,
     "The filename is invalid. Make sure the filename is not longer than 8 characters, followed "
     "by a period and an extension."},
    {kExtraCharacters,
     "Cannot specify extra characters after a string enclosed in quotation marks."},
    {kDeviceNotInstalled,
     "The specified device is not installed on the system. Use the Drivers option in Control "
     "Panel to install the device."},
    {kGetCd,
     "Cannot access the specified file or MCI device. Try changing directories or restarting "
     "your computer."},
    {kSetCd,
     "Cannot access the specified file or MCI device because the application cannot change "
     "directories."},
    {kSetDrive,
     "Cannot access specified file or MCI device because the application cannot change drives."},
    {kDeviceLength, "Specify a device or driver name that is less than 79 characters."},
    {kDeviceOrdLength, "Specify a device or driver name that is less than 69 characters."},
    {kNoInteger, "The specified command requires an integer parameter. Please provide one."},
};

}  // namespace

const char* MciErrorText(uint32_t code) {
    for (const ErrorText& entry : kErrorTexts) {
        if (entry.code == code) {
            return entry.text;
        }
    }
    return nullptr;
}

bool MciGetErrorText(uint32_t code, char* text, uint32_t length) {
    const char* found = MciErrorText(code);
    if (found == nullptr || text == nullptr || length == 0) {
        return false;
    }
    size_t count = std::strlen(found);
    if (count > length - 1) {
        count = length - 1;
    }
    std::memcpy(text, found, count);
    text[count] = '\0';
    return true;
}

}  // namespace velmoria
