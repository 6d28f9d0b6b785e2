// The MCI devices over GStreamer: a music file through playbin, an audio CD through
// cdparanoiasrc in continuous mode. State is read by polling (the bus watch and position
// queries), so nothing depends on a running main loop.
#include "shell/music/gst/mci_gst.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <mutex>

#include "shell/music/gst/gst_support_gst.h"
#include "shell/music/mci_errors.h"

namespace velmoria {

using namespace mci_error;

namespace {

// How long an open may take to read the file's head or the disc's table of contents.
constexpr GstClockTime kPrerollTimeout = 10 * GST_SECOND;

// playbin's flags: audio, with software volume; no video or subtitles.
constexpr guint kPlayFlagsAudio = 0x2 | 0x10;

void Seek(GstElement* pipeline, gint64 start, gint64 stop) {
    gst_element_seek(pipeline, 1.0, GST_FORMAT_TIME,
                     static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                     GST_SEEK_TYPE_SET, start, GST_SEEK_TYPE_SET, stop);
}

// ---- A music file ----

class FileMediaGst : public MciFileMedia {
  public:
    ~FileMediaGst() override {
        if (pipeline_ != nullptr) {
            gst_element_set_state(pipeline_, GST_STATE_NULL);
            watch_.Detach();
            gst_object_unref(pipeline_);
        }
    }

    uint32_t Open(const std::string& path) {
        struct stat info;
        if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) ||
            access(path.c_str(), R_OK) != 0) {
            return kFileNotFound;
        }
        if (!StartGst()) {
            return kDriverInternal;
        }
        // Like the platform's MPEGVideo device, refuse when there is no sound output.
        if (!AudioOutputAvailableGst()) {
            return kDriverInternal;
        }
        pipeline_ = gst_element_factory_make("playbin", nullptr);
        GstElement* sink = MakeAudioSinkGst();
        if (pipeline_ == nullptr || sink == nullptr) {
            if (sink != nullptr) {
                gst_object_unref(gst_object_ref_sink(sink));
            }
            return kDriverInternal;
        }
        gst_object_ref_sink(pipeline_);
        gchar* uri = gst_filename_to_uri(path.c_str(), nullptr);
        if (uri == nullptr) {
            gst_object_unref(gst_object_ref_sink(sink));
            return kFileNotFound;
        }
        GstElement* video = gst_element_factory_make("fakesink", nullptr);
        g_object_set(pipeline_, "uri", uri, "audio-sink", sink, "flags", kPlayFlagsAudio, nullptr);
        if (video != nullptr) {
            g_object_set(pipeline_, "video-sink", video, nullptr);
        }
        g_free(uri);
        watch_.Attach(pipeline_, sink);
        GstStateChangeReturn change = gst_element_set_state(pipeline_, GST_STATE_PAUSED);
        GstState state = GST_STATE_NULL;
        if (change != GST_STATE_CHANGE_FAILURE) {
            change = gst_element_get_state(pipeline_, &state, nullptr, kPrerollTimeout);
        }
        if (change == GST_STATE_CHANGE_FAILURE || state != GST_STATE_PAUSED || watch_.Failed()) {
            return watch_.SinkFailed() ? kDriverInternal : kInvalidFile;
        }
        return kNone;
    }

    int64_t LengthMs() override {
        gint64 duration = -1;
        if (gst_element_query_duration(pipeline_, GST_FORMAT_TIME, &duration) && duration >= 0) {
            return duration / GST_MSECOND;
        }
        return -1;
    }

    int64_t PositionMs() override {
        gint64 position = -1;
        if (gst_element_query_position(pipeline_, GST_FORMAT_TIME, &position) && position >= 0) {
            return position / GST_MSECOND;
        }
        return 0;
    }

    uint32_t Play(int64_t fromMs, int64_t toMs) override {
        Poll();
        if (fromMs >= 0 || toMs >= 0 || ended_ || rangeSet_) {
            gint64 start = fromMs >= 0 ? fromMs * GST_MSECOND : PositionMs() * GST_MSECOND;
            if (fromMs < 0 && ended_) {
                // Played to the end: nothing is left to play.
                return kNone;
            }
            Seek(pipeline_, start, toMs >= 0 ? toMs * GST_MSECOND : -1);
            rangeSet_ = toMs >= 0;
        }
        watch_.ClearEnd();
        ended_ = false;
        if (gst_element_set_state(pipeline_, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
            return kDriverInternal;
        }
        playing_ = true;
        return kNone;
    }

    void Stop() override {
        Poll();
        gst_element_set_state(pipeline_, GST_STATE_PAUSED);
        playing_ = false;
    }

    MciMode Mode() override {
        Poll();
        return playing_ ? MciMode::Playing : MciMode::Stopped;
    }

  private:
    // The end of the range or an error stops playback.
    void Poll() {
        if (playing_ && (watch_.Ended() || watch_.Failed())) {
            playing_ = false;
            ended_ = watch_.Ended();
            gst_element_set_state(pipeline_, GST_STATE_PAUSED);
        }
    }

    GstElement* pipeline_ = nullptr;
    BusWatchGst watch_;
    bool playing_ = false;
    bool ended_ = false;
    bool rangeSet_ = false;
};

// ---- An audio CD ----

uint32_t TimeToFrames(gint64 time) {
    return time <= 0 ? 0 : static_cast<uint32_t>(time * kCdFramesPerSecond / GST_SECOND);
}

gint64 FramesToTime(uint32_t frames) {
    return static_cast<gint64>(frames) * GST_SECOND / kCdFramesPerSecond;
}

class DiscGst : public MciDiscMedia {
  public:
    explicit DiscGst(std::string device) : device_(std::move(device)) {}

    ~DiscGst() override { Release(); }

    bool ReadToc(MciDiscToc* toc) override {
        if (toc_.trackStarts.empty()) {
            Load();
        }
        *toc = toc_;
        return !toc_.trackStarts.empty();
    }

    uint32_t PositionFrames() override {
        gint64 position = 0;
        if (pipeline_ == nullptr ||
            !gst_element_query_position(pipeline_, GST_FORMAT_TIME, &position)) {
            return 0;
        }
        return TimeToFrames(position);
    }

    uint32_t Play(uint32_t fromFrame, uint32_t toFrame) override {
        if (pipeline_ == nullptr) {
            return kHardware;
        }
        Seek(pipeline_, FramesToTime(fromFrame), FramesToTime(toFrame));
        watch_.ClearEnd();
        if (gst_element_set_state(pipeline_, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
            return kHardware;
        }
        playing_ = true;
        return kNone;
    }

    void Stop() override {
        if (pipeline_ != nullptr) {
            gst_element_set_state(pipeline_, GST_STATE_PAUSED);
        }
        playing_ = false;
    }

    MciMode Mode() override {
        if (toc_.trackStarts.empty()) {
            Load();
            if (toc_.trackStarts.empty()) {
                return MciMode::NotReady;
            }
        }
        if (playing_ && (watch_.Ended() || watch_.Failed())) {
            Stop();
        }
        return playing_ ? MciMode::Playing : MciMode::Stopped;
    }

  private:
    void Release() {
        if (pipeline_ != nullptr) {
            gst_element_set_state(pipeline_, GST_STATE_NULL);
            watch_.Detach();
            gst_object_unref(pipeline_);
            pipeline_ = nullptr;
        }
    }

    // Reads the table of contents by prerolling the whole disc; tried again at most every two
    // seconds while no disc can be read, since polling asks five times a second.
    void Load() {
        gint64 now = g_get_monotonic_time();
        if (lastTry_ != 0 && now - lastTry_ < 2 * G_USEC_PER_SEC) {
            return;
        }
        lastTry_ = now;
        Release();
        GError* error = nullptr;
        pipeline_ = gst_parse_launch(
            "cdparanoiasrc name=cd mode=continuous ! audioconvert ! audioresample ! "
            "identity name=out",
            &error);
        if (error != nullptr || pipeline_ == nullptr) {
            if (error != nullptr) {
                g_error_free(error);
            }
            Release();
            return;
        }
        gst_object_ref_sink(pipeline_);
        GstElement* cd = gst_bin_get_by_name(GST_BIN(pipeline_), "cd");
        GstElement* out = gst_bin_get_by_name(GST_BIN(pipeline_), "out");
        GstElement* sink = MakeAudioSinkGst();
        bool linked = false;
        if (cd != nullptr && out != nullptr && sink != nullptr) {
            g_object_set(cd, "device", device_.c_str(), nullptr);
            gst_bin_add(GST_BIN(pipeline_), sink);
            linked = gst_element_link(out, sink);
        } else if (sink != nullptr) {
            gst_object_unref(gst_object_ref_sink(sink));
        }
        if (cd != nullptr) {
            gst_object_unref(cd);
        }
        if (out != nullptr) {
            gst_object_unref(out);
        }
        if (!linked) {
            Release();
            return;
        }
        watch_.Attach(pipeline_, sink);
        GstState state = GST_STATE_NULL;
        if (gst_element_set_state(pipeline_, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE ||
            gst_element_get_state(pipeline_, &state, nullptr, kPrerollTimeout) ==
                GST_STATE_CHANGE_FAILURE ||
            state != GST_STATE_PAUSED) {
            Release();
            return;
        }
        // The source sends its table of contents downstream, where the sink posts it.
        GstToc* toc = watch_.TakeToc();
        if (toc == nullptr) {
            Release();
            return;
        }
        MciDiscToc read;
        for (GList* entry = gst_toc_get_entries(toc); entry != nullptr; entry = entry->next) {
            gint64 start = 0;
            gint64 stop = 0;
            auto* item = static_cast<GstTocEntry*>(entry->data);
            if (gst_toc_entry_get_start_stop_times(item, &start, &stop)) {
                read.trackStarts.push_back(TimeToFrames(start));
                read.endFrame = TimeToFrames(stop);
            }
        }
        gst_toc_unref(toc);
        toc_ = read;
        if (toc_.trackStarts.empty()) {
            Release();
        }
    }

    std::string device_;
    GstElement* pipeline_ = nullptr;
    BusWatchGst watch_;
    MciDiscToc toc_;
    gint64 lastTry_ = 0;
    bool playing_ = false;
};

}  // namespace

std::unique_ptr<MciFileMedia> MciGst::OpenFile(const std::string& path, uint32_t* error) {
    auto file = std::make_unique<FileMediaGst>();
    *error = file->Open(path);
    if (*error != kNone) {
        return nullptr;
    }
    return file;
}

std::unique_ptr<MciDiscMedia> MciGst::OpenDisc(uint32_t* error) {
    const char* device = std::getenv("VELMORIA_CD_DEVICE");
    std::string path = (device != nullptr && device[0] != '\0') ? device : "/dev/cdrom";
    struct stat info;
    GstElementFactory* factory = StartGst() ? gst_element_factory_find("cdparanoiasrc") : nullptr;
    if (factory != nullptr) {
        gst_object_unref(factory);
    }
    // No drive, or no way to read one: the platform's answer when its CD driver will not load.
    if (factory == nullptr || stat(path.c_str(), &info) != 0) {
        *error = kCannotLoadDriver;
        return nullptr;
    }
    *error = kNone;
    return std::make_unique<DiscGst>(path);
}

}  // namespace velmoria
