// The interpreter of MCI command strings. Sections: devices and dispatch; open; play; status;
// set. Only the commands the music module sends are understood; everything else is refused with
// the platform's error code.
#include "shell/music/mci_interpreter.h"

#include <cstring>

#include "shell/music/mci_errors.h"

namespace velmoria {

using namespace mci_error;

namespace {

// MSF and millisecond positions on a disc count the two seconds before track 1, as the
// platform's CD device does.
constexpr uint32_t kCdLeadInFrames = 2 * kCdFramesPerSecond;

bool IsFlagWord(const std::string& word) {
    return MciSameWord(word, "wait") || MciSameWord(word, "notify");
}

// The file types that the platform opens without a "type" (its MCI extension table), all played
// by the same file device here.
bool HasMediaExtension(const std::string& path) {
    size_t dot = path.find_last_of('.');
    size_t slash = path.find_last_of("/\\");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
        return false;
    }
    std::string ext = path.substr(dot + 1);
    static const char* const kExtensions[] = {"mp3", "mp2", "mpa", "mpg",  "mpeg", "m1v", "wav",
                                              "wma", "asf", "aif", "aifc", "aiff", "au",  "snd"};
    for (const char* known : kExtensions) {
        if (MciSameWord(ext, known)) {
            return true;
        }
    }
    return false;
}

std::string Decimal(uint64_t value) {
    return std::to_string(value);
}

}  // namespace

struct MciInterpreter::Device {
    uint32_t id = 0;
    std::string alias;
    MciTimeFormat format = MciTimeFormat::Milliseconds;
    std::unique_ptr<MciFileMedia> file;
    std::unique_ptr<MciDiscMedia> disc;
};

MciInterpreter::MciInterpreter(MciMediaBackend& backend) : backend_(backend) {}

MciInterpreter::~MciInterpreter() = default;

// ---- Devices and dispatch ----

uint32_t MciInterpreter::Send(const char* command, char* reply, uint32_t length) {
    // winmm empties the reply before anything else: a failed call leaves an empty reply.
    if (reply != nullptr && length > 0) {
        reply[0] = '\0';
    }
    if (command == nullptr) {
        return kMissingCommandString;
    }
    std::string text;
    uint32_t error = Execute(command, &text);
    if (error != kNone) {
        return error;
    }
    if (reply != nullptr && length > 0) {
        if (text.size() >= length) {
            return kParamOverflow;
        }
        std::memcpy(reply, text.c_str(), text.size() + 1);
    }
    return kNone;
}

uint32_t MciInterpreter::Execute(const std::string& command, std::string* reply) {
    reply->clear();
    MciWords split = SplitMciWords(command);
    if (split.error != kNone) {
        return split.error;
    }
    return Run(split.words, reply);
}

uint32_t MciInterpreter::Run(const Words& words, std::string* reply) {
    if (words.empty()) {
        return kMissingCommandString;
    }
    const std::string& verb = words[0];
    enum class Verb { Open, Close, Play, Stop, Status, Set } kind;
    if (MciSameWord(verb, "open")) {
        kind = Verb::Open;
    } else if (MciSameWord(verb, "close")) {
        kind = Verb::Close;
    } else if (MciSameWord(verb, "play")) {
        kind = Verb::Play;
    } else if (MciSameWord(verb, "stop")) {
        kind = Verb::Stop;
    } else if (MciSameWord(verb, "status")) {
        kind = Verb::Status;
    } else if (MciSameWord(verb, "set")) {
        kind = Verb::Set;
    } else {
        return kUnrecognizedCommand;
    }
    if (words.size() < 2) {
        return kMissingDeviceName;
    }
    if (kind == Verb::Open) {
        return Open(words, reply);
    }

    const std::string& name = words[1];
    if (MciSameWord(name, "all")) {
        if (kind != Verb::Close && kind != Verb::Stop) {
            return kCannotUseAll;
        }
        for (size_t i = 2; i < words.size(); ++i) {
            if (!IsFlagWord(words[i])) {
                return kUnrecognizedKeyword;
            }
        }
        if (kind == Verb::Close) {
            devices_.clear();
        } else {
            for (auto& device : devices_) {
                device->file ? device->file->Stop() : device->disc->Stop();
            }
        }
        return kNone;
    }

    Device* device = Find(name);
    bool autoOpened = false;
    if (device == nullptr) {
        // The platform opens a CD device named by its type for the one command; there is
        // nothing to close, though.
        if (!MciSameWord(name, "cdaudio") || kind == Verb::Close) {
            return kInvalidDeviceName;
        }
        std::string ignored;
        uint32_t error = OpenDevice(true, std::string(), "cdaudio", false, &ignored);
        if (error != kNone) {
            return error;
        }
        device = Find(name);
        autoOpened = true;
    }

    uint32_t error = kNone;
    switch (kind) {
        case Verb::Close:
        case Verb::Stop:
            for (size_t i = 2; i < words.size(); ++i) {
                if (!IsFlagWord(words[i])) {
                    error = kUnrecognizedKeyword;
                }
            }
            if (error == kNone) {
                if (kind == Verb::Close) {
                    Close(device);
                    return kNone;
                }
                device->file ? device->file->Stop() : device->disc->Stop();
            }
            break;
        case Verb::Play:
            error = Play(*device, words);
            // An auto-opened device stays open while it plays.
            if (error == kNone) {
                autoOpened = false;
            }
            break;
        case Verb::Status:
            error = Status(*device, words, reply);
            break;
        case Verb::Set:
            error = Set(*device, words);
            break;
        case Verb::Open:
            break;
    }
    if (autoOpened) {
        Close(device);
    }
    return error;
}

MciInterpreter::Device* MciInterpreter::Find(const std::string& name) {
    for (auto& device : devices_) {
        if (MciSameWord(device->alias, name)) {
            return device.get();
        }
    }
    return nullptr;
}

void MciInterpreter::Close(Device* device) {
    for (auto it = devices_.begin(); it != devices_.end(); ++it) {
        if (it->get() == device) {
            devices_.erase(it);
            return;
        }
    }
}

// ---- open ELEMENT [type TYPE] [alias ALIAS] [shareable] [wait] [notify] ----

uint32_t MciInterpreter::Open(const Words& words, std::string* reply) {
    const std::string& element = words[1];
    const std::string* type = nullptr;
    const std::string* alias = nullptr;
    bool shareable = false;
    for (size_t i = 2; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (MciSameWord(word, "type") || MciSameWord(word, "alias")) {
            const std::string** slot = MciSameWord(word, "type") ? &type : &alias;
            if (*slot != nullptr) {
                return kDuplicateFlags;
            }
            if (i + 1 >= words.size()) {
                return kMissingStringArgument;
            }
            *slot = &words[++i];
        } else if (MciSameWord(word, "shareable")) {
            if (shareable) {
                return kDuplicateFlags;
            }
            shareable = true;
        } else if (!IsFlagWord(word)) {
            return kUnrecognizedKeyword;
        }
    }

    bool disc = false;
    bool hasElement = true;
    if (type != nullptr) {
        if (MciSameWord(*type, "cdaudio")) {
            disc = true;
        } else if (!MciSameWord(*type, "mpegvideo") && !MciSameWord(*type, "waveaudio")) {
            return kInvalidDeviceName;
        }
    } else if (MciSameWord(element, "cdaudio")) {
        disc = true;
        hasElement = false;
    } else if (MciSameWord(element, "mpegvideo") || MciSameWord(element, "waveaudio")) {
        // A file device opened without a file has nothing to play here.
        return kUnsupportedFunction;
    } else if (!HasMediaExtension(element)) {
        return kExtensionNotFound;
    }
    std::string name = alias != nullptr ? *alias : (disc && !hasElement ? "cdaudio" : element);
    return OpenDevice(disc, element, name, alias != nullptr, reply);
}

uint32_t MciInterpreter::OpenDevice(bool disc, const std::string& element, const std::string& alias,
                                    bool explicitAlias, std::string* reply) {
    if (alias.empty()) {
        return kMissingDeviceName;
    }
    if (MciSameWord(alias, "all")) {
        return kCannotUseAll;
    }
    if (Find(alias) != nullptr) {
        return explicitAlias ? kDuplicateAlias : kDeviceOpen;
    }
    auto device = std::make_unique<Device>();
    uint32_t error = kNone;
    if (disc) {
        device->disc = backend_.OpenDisc(&error);
        device->format = MciTimeFormat::Msf;
        if (device->disc == nullptr) {
            return error != kNone ? error : kCannotLoadDriver;
        }
    } else {
        device->file = backend_.OpenFile(element, &error);
        if (device->file == nullptr) {
            return error != kNone ? error : kInvalidFile;
        }
    }
    // The lowest identifier not in use, as the platform hands them out.
    uint32_t id = 1;
    while (true) {
        bool used = false;
        for (auto& other : devices_) {
            used = used || other->id == id;
        }
        if (!used) {
            break;
        }
        ++id;
    }
    device->id = id;
    device->alias = alias;
    devices_.push_back(std::move(device));
    *reply = Decimal(id);
    return kNone;
}

// ---- play NAME [from POSITION] [to POSITION] ----

namespace {

// A disc position in the device's time format as a frame count from the first audio frame.
uint32_t ParseDiscPosition(const std::string& text, MciTimeFormat format, const MciDiscToc& toc,
                           uint32_t* frame) {
    uint32_t fields[4] = {0, 0, 0, 0};
    int count = 0;
    uint64_t absolute = 0;
    if (format == MciTimeFormat::Milliseconds) {
        uint32_t ms = 0;
        if (!ParseDecimal(text, &ms)) {
            return kBadInteger;
        }
        absolute = static_cast<uint64_t>(ms) * kCdFramesPerSecond / 1000;
    } else if (format == MciTimeFormat::Msf) {
        if (!ParseColonFields(text, 3, fields, &count)) {
            return kBadInteger;
        }
        absolute = (fields[0] * 60ull + fields[1]) * kCdFramesPerSecond + fields[2];
    } else {
        if (!ParseColonFields(text, 4, fields, &count)) {
            return kBadInteger;
        }
        if (fields[0] < 1 || fields[0] > toc.trackStarts.size()) {
            return kOutOfRange;
        }
        uint64_t offset = (fields[1] * 60ull + fields[2]) * kCdFramesPerSecond + fields[3];
        absolute = toc.trackStarts[fields[0] - 1] + offset + kCdLeadInFrames;
    }
    if (absolute < kCdLeadInFrames || absolute - kCdLeadInFrames > toc.endFrame) {
        return kOutOfRange;
    }
    *frame = static_cast<uint32_t>(absolute - kCdLeadInFrames);
    return kNone;
}

}  // namespace

uint32_t MciInterpreter::Play(Device& device, const Words& words) {
    const std::string* from = nullptr;
    const std::string* to = nullptr;
    for (size_t i = 2; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (MciSameWord(word, "from") || MciSameWord(word, "to")) {
            const std::string** slot = MciSameWord(word, "from") ? &from : &to;
            if (*slot != nullptr) {
                return kDuplicateFlags;
            }
            if (i + 1 >= words.size()) {
                return kBadInteger;
            }
            *slot = &words[++i];
        } else if (!IsFlagWord(word)) {
            return kUnrecognizedKeyword;
        }
    }

    if (device.file) {
        uint32_t fromMs = 0;
        uint32_t toMs = 0;
        if ((from != nullptr && !ParseDecimal(*from, &fromMs)) ||
            (to != nullptr && !ParseDecimal(*to, &toMs))) {
            return kBadInteger;
        }
        int64_t length = device.file->LengthMs();
        int64_t start = from != nullptr ? fromMs : device.file->PositionMs();
        if (length >= 0 &&
            ((from != nullptr && fromMs > length) || (to != nullptr && toMs > length))) {
            return kOutOfRange;
        }
        if (to != nullptr && start >= 0 && toMs < start) {
            return kOutOfRange;
        }
        return device.file->Play(from != nullptr ? static_cast<int64_t>(fromMs) : -1,
                                 to != nullptr ? static_cast<int64_t>(toMs) : -1);
    }

    MciDiscToc toc;
    const MciDiscState state = device.disc->ReadToc(&toc);
    if (state == MciDiscState::Reading) {
        return kDeviceNotReady;
    }
    if (state != MciDiscState::Ready || toc.trackStarts.empty()) {
        return kHardware;
    }
    uint32_t fromFrame = device.disc->PositionFrames();
    uint32_t toFrame = toc.endFrame;
    if (from != nullptr) {
        uint32_t error = ParseDiscPosition(*from, device.format, toc, &fromFrame);
        if (error != kNone) {
            return error;
        }
    }
    if (to != nullptr) {
        uint32_t error = ParseDiscPosition(*to, device.format, toc, &toFrame);
        if (error != kNone) {
            return error;
        }
    }
    if (fromFrame > toFrame) {
        return kOutOfRange;
    }
    return device.disc->Play(fromFrame, toFrame);
}

// ---- status NAME ITEM [track N] ----

namespace {

// The track that holds a frame: the last one starting at or before it.
uint32_t TrackOfFrame(const MciDiscToc& toc, uint32_t frame) {
    uint32_t track = 1;
    for (size_t i = 0; i < toc.trackStarts.size(); ++i) {
        if (toc.trackStarts[i] <= frame) {
            track = static_cast<uint32_t>(i + 1);
        }
    }
    return track;
}

std::string DiscPositionText(const MciDiscToc& toc, uint32_t frame, MciTimeFormat format) {
    uint32_t absolute = frame + kCdLeadInFrames;
    switch (format) {
        case MciTimeFormat::Milliseconds:
            return Decimal(static_cast<uint64_t>(absolute) * 1000 / kCdFramesPerSecond);
        case MciTimeFormat::Msf:
            return FormatFramesAsMsf(absolute);
        case MciTimeFormat::Tmsf: {
            uint32_t track = TrackOfFrame(toc, frame);
            uint32_t offset = frame - toc.trackStarts[track - 1];
            return FormatTmsf(track, offset / (60 * kCdFramesPerSecond),
                              offset / kCdFramesPerSecond % 60, offset % kCdFramesPerSecond);
        }
    }
    return std::string();
}

// Lengths are given in msf in both msf and tmsf.
std::string DiscLengthText(uint32_t frames, MciTimeFormat format) {
    if (format == MciTimeFormat::Milliseconds) {
        return Decimal(static_cast<uint64_t>(frames) * 1000 / kCdFramesPerSecond);
    }
    return FormatFramesAsMsf(frames);
}

const char* TimeFormatWord(MciTimeFormat format) {
    switch (format) {
        case MciTimeFormat::Milliseconds:
            return "milliseconds";
        case MciTimeFormat::Msf:
            return "msf";
        case MciTimeFormat::Tmsf:
            return "tmsf";
    }
    return "milliseconds";
}

}  // namespace

uint32_t MciInterpreter::Status(Device& device, const Words& words, std::string* reply) {
    enum class Item {
        None,
        Mode,
        Position,
        Length,
        CurrentTrack,
        TrackCount,
        TimeFormat,
        Ready,
        MediaPresent
    } item = Item::None;
    const std::string* track = nullptr;
    for (size_t i = 2; i < words.size(); ++i) {
        auto next = [&](const char* word) {
            return i + 1 < words.size() && MciSameWord(words[i + 1], word);
        };
        const std::string& word = words[i];
        Item found = Item::None;
        if (MciSameWord(word, "mode")) {
            found = Item::Mode;
        } else if (MciSameWord(word, "position")) {
            found = Item::Position;
        } else if (MciSameWord(word, "length")) {
            found = Item::Length;
        } else if (MciSameWord(word, "ready")) {
            found = Item::Ready;
        } else if (MciSameWord(word, "current") && next("track")) {
            found = Item::CurrentTrack;
            ++i;
        } else if (MciSameWord(word, "number") && next("of") && i + 2 < words.size() &&
                   MciSameWord(words[i + 2], "tracks")) {
            found = Item::TrackCount;
            i += 2;
        } else if (MciSameWord(word, "time") && next("format")) {
            found = Item::TimeFormat;
            ++i;
        } else if (MciSameWord(word, "media") && next("present")) {
            found = Item::MediaPresent;
            ++i;
        } else if (MciSameWord(word, "track")) {
            if (track != nullptr) {
                return kDuplicateFlags;
            }
            if (i + 1 >= words.size()) {
                return kBadInteger;
            }
            track = &words[++i];
            continue;
        } else if (IsFlagWord(word)) {
            continue;
        } else {
            return kUnrecognizedKeyword;
        }
        if (item != Item::None) {
            return kFlagsNotCompatible;
        }
        item = found;
    }
    if (item == Item::None) {
        return kMissingParameter;
    }
    uint32_t trackNumber = 0;
    if (track != nullptr) {
        if (item != Item::Position && item != Item::Length) {
            return kFlagsNotCompatible;
        }
        if (!ParseDecimal(*track, &trackNumber)) {
            return kBadInteger;
        }
    }

    if (device.file) {
        MciFileMedia& file = *device.file;
        switch (item) {
            case Item::Mode:
                *reply = MciModeWord(file.Mode());
                return kNone;
            case Item::Position:
            case Item::Length: {
                // A file is one track.
                if (track != nullptr && trackNumber != 1) {
                    return kOutOfRange;
                }
                int64_t value = item == Item::Length ? file.LengthMs()
                                : track != nullptr   ? 0
                                                     : file.PositionMs();
                *reply = Decimal(value < 0 ? 0 : static_cast<uint64_t>(value));
                return kNone;
            }
            case Item::CurrentTrack:
            case Item::TrackCount:
                *reply = "1";
                return kNone;
            case Item::TimeFormat:
                *reply = TimeFormatWord(device.format);
                return kNone;
            case Item::Ready:
            case Item::MediaPresent:
                *reply = "true";
                return kNone;
            case Item::None:
                break;
        }
        return kMissingParameter;
    }

    MciDiscMedia& disc = *device.disc;
    if (item == Item::Mode) {
        *reply = MciModeWord(disc.Mode());
        return kNone;
    }
    if (item == Item::TimeFormat) {
        *reply = TimeFormatWord(device.format);
        return kNone;
    }
    MciDiscToc toc;
    const MciDiscState state = disc.ReadToc(&toc);
    const bool present = state == MciDiscState::Ready && !toc.trackStarts.empty();
    if (item == Item::Ready || item == Item::MediaPresent) {
        const bool inDrive = present || state == MciDiscState::Reading;
        *reply = (item == Item::Ready ? present : inDrive) ? "true" : "false";
        return kNone;
    }
    if (state == MciDiscState::Reading) {
        // While a disc is being read it has no tracks yet; positions are not ready. Polling
        // goes on meanwhile instead of giving the disc up.
        if (item == Item::CurrentTrack || item == Item::TrackCount) {
            *reply = "0";
            return kNone;
        }
        return kDeviceNotReady;
    }
    if (!present) {
        return kHardware;
    }
    const uint32_t count = static_cast<uint32_t>(toc.trackStarts.size());
    if (track != nullptr && (trackNumber < 1 || trackNumber > count)) {
        return kOutOfRange;
    }
    switch (item) {
        case Item::CurrentTrack:
            *reply = Decimal(TrackOfFrame(toc, disc.PositionFrames()));
            return kNone;
        case Item::TrackCount:
            *reply = Decimal(count);
            return kNone;
        case Item::Position:
            if (track != nullptr) {
                uint32_t start = toc.trackStarts[trackNumber - 1];
                *reply = device.format == MciTimeFormat::Tmsf
                             ? FormatTmsf(trackNumber, 0, 0, 0)
                             : DiscPositionText(toc, start, device.format);
            } else {
                uint32_t frame = disc.PositionFrames();
                *reply = DiscPositionText(toc, frame > toc.endFrame ? toc.endFrame : frame,
                                          device.format);
            }
            return kNone;
        case Item::Length:
            if (track != nullptr) {
                uint32_t end = trackNumber < count ? toc.trackStarts[trackNumber] : toc.endFrame;
                *reply = DiscLengthText(end - toc.trackStarts[trackNumber - 1], device.format);
            } else {
                *reply = DiscLengthText(toc.endFrame - toc.trackStarts[0], device.format);
            }
            return kNone;
        default:
            break;
    }
    return kMissingParameter;
}

// ---- set NAME time format FORMAT ----

uint32_t MciInterpreter::Set(Device& device, const Words& words) {
    const std::string* format = nullptr;
    for (size_t i = 2; i < words.size(); ++i) {
        if (MciSameWord(words[i], "time") && i + 1 < words.size() &&
            MciSameWord(words[i + 1], "format")) {
            if (format != nullptr) {
                return kDuplicateFlags;
            }
            if (i + 2 >= words.size()) {
                return kBadTimeFormat;
            }
            format = &words[i + 2];
            i += 2;
        } else if (!IsFlagWord(words[i])) {
            return kUnrecognizedKeyword;
        }
    }
    if (format == nullptr) {
        return kMissingParameter;
    }
    if (MciSameWord(*format, "milliseconds") || MciSameWord(*format, "ms")) {
        device.format = MciTimeFormat::Milliseconds;
    } else if (device.disc && MciSameWord(*format, "msf")) {
        device.format = MciTimeFormat::Msf;
    } else if (device.disc && MciSameWord(*format, "tmsf")) {
        device.format = MciTimeFormat::Tmsf;
    } else {
        return kBadTimeFormat;
    }
    return kNone;
}

}  // namespace velmoria
