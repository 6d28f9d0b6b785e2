// The MCI devices over GStreamer: a music file through playbin, an audio CD through
// cdparanoiasrc in continuous mode. State is read by polling (the bus watch and position
// queries), so nothing depends on a running main loop. No call waits long for the media: the
// shell's timers (the renderer watch among them) share the caller's thread.
#include "shell/music/gst/mci_gst.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "shell/music/gst/gst_support_gst.h"
#include "shell/music/linux/cd_drive_linux.h"
#include "shell/music/mci_errors.h"

namespace velmoria {

using namespace mci_error;

namespace {

// How long an open or a restart waits for a file's first sound. A local file is read in tens
// of milliseconds; one that takes longer (a slow disk or network share) goes on being read
// while the open returns, and plays as soon as it can.
constexpr GstClockTime kFileReadWait = 500 * GST_MSECOND;

// How long a disc may take to be read (a drive spins up in a few seconds) before it counts as
// unreadable; the reading goes on in the background meanwhile.
constexpr gint64 kDiscReadLimit = 20 * G_USEC_PER_SEC;

// How often an unreadable disc is tried again while the drive is polled five times a second.
constexpr gint64 kDiscRetryInterval = 2 * G_USEC_PER_SEC;

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
        watch_.Detach();
        ReleasePipelineGst(pipeline_);
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
        sink_ = sink;  // owned by playbin from here on
        watch_.Attach(pipeline_, sink_);
        return StartReading();
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
        if (failed_ || watch_.Failed()) {
            // An error ended the last playback: the file is read afresh, from its start.
            const uint32_t error = ReadAgain();
            if (error != kNone) {
                return error;
            }
        }
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
    // Reads the file's head, waiting at most kFileReadWait: 0 once it plays or is still being
    // read, or the error that stopped it.
    uint32_t StartReading() {
        GstStateChangeReturn change = gst_element_set_state(pipeline_, GST_STATE_PAUSED);
        if (change != GST_STATE_CHANGE_FAILURE) {
            change = gst_element_get_state(pipeline_, nullptr, nullptr, kFileReadWait);
        }
        if (change == GST_STATE_CHANGE_FAILURE || watch_.Failed()) {
            return watch_.SinkFailed() ? kDriverInternal : kInvalidFile;
        }
        return kNone;
    }

    // After an error: the pipeline stopped, its error forgotten, the file read again.
    uint32_t ReadAgain() {
        watch_.Detach();
        gst_element_set_state(pipeline_, GST_STATE_NULL);
        watch_.Attach(pipeline_, sink_);
        failed_ = ended_ = rangeSet_ = false;
        const uint32_t error = StartReading();
        failed_ = error != kNone;
        return error;
    }

    // The end of the range or an error stops playback; an error is remembered until the next
    // play reads the file afresh, so that the mode reads "stopped" once and stays so.
    void Poll() {
        if (playing_ && (watch_.Ended() || watch_.Failed())) {
            playing_ = false;
            ended_ = watch_.Ended();
            failed_ = watch_.Failed();
            gst_element_set_state(pipeline_, GST_STATE_PAUSED);
        }
    }

    GstElement* pipeline_ = nullptr;
    GstElement* sink_ = nullptr;
    BusWatchGst watch_;
    bool playing_ = false;
    bool ended_ = false;
    bool failed_ = false;
    bool rangeSet_ = false;
};

// ---- An audio CD ----

uint32_t TimeToFrames(gint64 time) {
    return time <= 0 ? 0 : static_cast<uint32_t>(time * kCdFramesPerSecond / GST_SECOND);
}

gint64 FramesToTime(uint32_t frames) {
    return static_cast<gint64>(frames) * GST_SECOND / kCdFramesPerSecond;
}

// The disc is read in the background: the first query starts it, later ones look whether it has
// finished. Once read, the disc stays known until it fails, the drive reports it gone, or the
// device is closed; then every query fails, as a disc taken out fails on the platform.
class DiscGst : public MciDiscMedia {
  public:
    DiscGst(std::string source, std::function<bool()> inDrive)
        : source_(std::move(source)), inDrive_(std::move(inDrive)) {}

    ~DiscGst() override { Forget(); }

    MciDiscState ReadToc(MciDiscToc* toc) override {
        const MciDiscState state = Advance();
        if (state == MciDiscState::Ready) {
            *toc = toc_;
        }
        return state;
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
        if (Advance() != MciDiscState::Ready) {
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
        if (Advance() != MciDiscState::Ready) {
            return MciMode::NotReady;
        }
        if (playing_ && watch_.Ended()) {
            Stop();
        }
        return playing_ ? MciMode::Playing : MciMode::Stopped;
    }

  private:
    // Where the disc stands now, moving its reading on without waiting.
    MciDiscState Advance() {
        if (!inDrive_()) {
            Forget();  // taken out, or the tray opened to change it
            return MciDiscState::Absent;
        }
        if (pipeline_ != nullptr && watch_.Failed()) {
            Forget();  // a read failed: the disc is unusable from now on
            return MciDiscState::Absent;
        }
        if (!toc_.trackStarts.empty()) {
            return MciDiscState::Ready;
        }
        if (pipeline_ == nullptr) {
            const gint64 now = g_get_monotonic_time();
            if (lastTry_ != 0 && now - lastTry_ < kDiscRetryInterval) {
                return MciDiscState::Absent;
            }
            if (!StartReading()) {
                Forget();
                return MciDiscState::Absent;
            }
        }
        GstState state = GST_STATE_NULL;
        const GstStateChangeReturn change = gst_element_get_state(pipeline_, &state, nullptr, 0);
        if (change == GST_STATE_CHANGE_ASYNC) {
            if (g_get_monotonic_time() - readingSince_ > kDiscReadLimit) {
                Forget();
                return MciDiscState::Absent;
            }
            return MciDiscState::Reading;
        }
        if (change == GST_STATE_CHANGE_FAILURE || state != GST_STATE_PAUSED || !TakeToc()) {
            Forget();
            return MciDiscState::Absent;
        }
        return MciDiscState::Ready;
    }

    // Builds the pipeline and sets it reading (prerolling the disc's start).
    bool StartReading() {
        readingSince_ = g_get_monotonic_time();
        GError* error = nullptr;
        pipeline_ = gst_parse_launch(
            (source_ + " ! audioconvert ! audioresample ! identity name=out").c_str(), &error);
        if (error != nullptr || pipeline_ == nullptr) {
            if (error != nullptr) {
                g_error_free(error);
            }
            return false;
        }
        gst_object_ref_sink(pipeline_);
        GstElement* out = gst_bin_get_by_name(GST_BIN(pipeline_), "out");
        GstElement* sink = MakeAudioSinkGst();
        bool linked = false;
        if (out != nullptr && sink != nullptr) {
            gst_bin_add(GST_BIN(pipeline_), sink);
            linked = gst_element_link(out, sink);
        } else if (sink != nullptr) {
            gst_object_unref(gst_object_ref_sink(sink));
        }
        if (out != nullptr) {
            gst_object_unref(out);
        }
        if (!linked) {
            return false;
        }
        watch_.Attach(pipeline_, sink);
        return gst_element_set_state(pipeline_, GST_STATE_PAUSED) != GST_STATE_CHANGE_FAILURE;
    }

    // The table of contents the source sent downstream, where the sink posted it.
    bool TakeToc() {
        GstToc* toc = watch_.TakeToc();
        if (toc == nullptr) {
            return false;
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
        return !toc_.trackStarts.empty();
    }

    // Drops the pipeline (stopping it in the background: a read may block for a while) and
    // everything known of the disc; a disc is read again at the earliest kDiscRetryInterval later.
    void Forget() {
        watch_.Detach();
        ReleasePipelineGst(pipeline_);
        pipeline_ = nullptr;
        toc_ = MciDiscToc();
        playing_ = false;
        lastTry_ = g_get_monotonic_time();
    }

    std::string source_;
    std::function<bool()> inDrive_;
    GstElement* pipeline_ = nullptr;
    BusWatchGst watch_;
    MciDiscToc toc_;
    gint64 lastTry_ = 0;
    gint64 readingSince_ = 0;
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
    std::function<bool()> inDrive = options_.discInDrive;
    if (!options_.discSource.empty()) {
        *error = StartGst() ? kNone : kCannotLoadDriver;
        if (!inDrive) {
            inDrive = [] { return true; };
        }
        return *error == kNone ? std::make_unique<DiscGst>(options_.discSource, inDrive) : nullptr;
    }
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
    if (!inDrive) {
        inDrive = [path] { return DiscInDriveLinux(path); };
    }
    gchar* quoted = g_shell_quote(path.c_str());
    const std::string source = std::string("cdparanoiasrc mode=continuous device=") + quoted;
    g_free(quoted);
    return std::make_unique<DiscGst>(source, inDrive);
}

}  // namespace velmoria
