// GStreamer pieces shared by the MCI devices and the sound player: start-up, the audio sink
// (overridable by VELMORIA_AUDIO_SINK) and a bus watch that needs no main loop.
#pragma once

#include <gst/gst.h>

#include <atomic>
#include <mutex>

namespace velmoria {

// gst_init once; false when GStreamer cannot start.
bool StartGst();

// A new audio sink: the bin that VELMORIA_AUDIO_SINK describes (for example "fakesink" or
// "filesink location=out.raw"), else autoaudiosink. Floating; nullptr when it cannot be made.
GstElement* MakeAudioSinkGst();

// Stops a pipeline and drops it on a thread of its own: stopping may wait on a streaming thread
// that is blocked in a read (a disc, a slow file), which must not hold up the caller.
void ReleasePipelineGst(GstElement* pipeline);

// True when an audio output can be opened: the sink reaches READY, and an automatic sink did not
// fall back to discarding the sound.
bool AudioOutputAvailableGst();

// Records what a pipeline's bus reports, from whatever thread posts it, and drops every message,
// so that nothing piles up whether or not a GLib main loop runs.
class BusWatchGst {
  public:
    BusWatchGst() = default;
    ~BusWatchGst();
    BusWatchGst(const BusWatchGst&) = delete;
    BusWatchGst& operator=(const BusWatchGst&) = delete;

    // Starts watching pipeline's bus; sink (may be null) marks errors of the audio output.
    void Attach(GstElement* pipeline, GstElement* sink);
    // Stops watching; call before the pipeline goes.
    void Detach();
    void ClearEnd() { ended_ = false; }

    bool Ended() const { return ended_; }
    bool Failed() const { return failed_; }
    bool SinkFailed() const { return sinkFailed_; }
    // The last table of contents seen, with a reference for the caller, or nullptr.
    GstToc* TakeToc();

  private:
    static GstBusSyncReply OnMessage(GstBus* bus, GstMessage* message, gpointer self);

    GstBus* bus_ = nullptr;
    GstElement* sink_ = nullptr;
    std::atomic<bool> ended_{false};
    std::atomic<bool> failed_{false};
    std::atomic<bool> sinkFailed_{false};
    std::mutex tocLock_;
    GstToc* toc_ = nullptr;
};

}  // namespace velmoria
