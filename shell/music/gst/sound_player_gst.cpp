// The sound player over GStreamer: one sound at a time, a wave file through playbin, looped
// without a gap by queueing the same file again when playbin is about to finish, or the
// generated default sound through appsrc.
#include "shell/music/gst/sound_player_gst.h"

#include <cstdio>
#include <string>
#include <vector>

#include "shell/music/sound_player.h"

namespace velmoria {

namespace {

constexpr uint32_t kDefaultSoundRate = 22050;

// The head of a file, enough to find its format and data chunks.
std::vector<uint8_t> ReadHead(const char* path) {
    std::vector<uint8_t> head(64 * 1024);
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        return {};
    }
    head.resize(std::fread(head.data(), 1, head.size(), file));
    std::fclose(file);
    return head;
}

}  // namespace

bool SoundPlayerGst::Playing() const {
    return pipeline_ != nullptr && !watch_.Ended() && !watch_.Failed();
}

void SoundPlayerGst::Stop() {
    if (pipeline_ != nullptr) {
        gst_element_set_state(pipeline_, GST_STATE_NULL);
        watch_.Detach();
        gst_object_unref(pipeline_);
        pipeline_ = nullptr;
    }
}

bool SoundPlayerGst::PlayFile(const char* path, bool loop, bool wait) {
    GstElement* playbin = gst_element_factory_make("playbin", nullptr);
    GstElement* sink = MakeAudioSinkGst();
    gchar* uri = gst_filename_to_uri(path, nullptr);
    if (playbin == nullptr || sink == nullptr || uri == nullptr) {
        for (GstElement* element : {playbin, sink}) {
            if (element != nullptr) {
                gst_object_unref(gst_object_ref_sink(element));
            }
        }
        g_free(uri);
        return false;
    }
    uri_ = uri;
    g_free(uri);
    g_object_set(playbin, "uri", uri_.c_str(), "audio-sink", sink, "flags", 0x2 | 0x10, nullptr);
    if (loop) {
        g_signal_connect(playbin, "about-to-finish", G_CALLBACK(&OnAboutToFinish), this);
    }
    return Start(playbin, sink, wait);
}

bool SoundPlayerGst::PlayDefault(bool wait) {
    GstElement* pipeline = gst_pipeline_new(nullptr);
    GstElement* source = gst_element_factory_make("appsrc", nullptr);
    GstElement* convert = gst_element_factory_make("audioconvert", nullptr);
    GstElement* resample = gst_element_factory_make("audioresample", nullptr);
    GstElement* sink = MakeAudioSinkGst();
    if (pipeline == nullptr || source == nullptr || convert == nullptr || resample == nullptr ||
        sink == nullptr) {
        for (GstElement* element : {pipeline, source, convert, resample, sink}) {
            if (element != nullptr) {
                gst_object_unref(gst_object_ref_sink(element));
            }
        }
        return false;
    }
    gst_bin_add_many(GST_BIN(pipeline), source, convert, resample, sink, nullptr);
    if (!gst_element_link_many(source, convert, resample, sink, nullptr)) {
        gst_object_unref(gst_object_ref_sink(pipeline));
        return false;
    }
    GstCaps* caps = gst_caps_new_simple(
        "audio/x-raw", "format", G_TYPE_STRING, G_BYTE_ORDER == G_LITTLE_ENDIAN ? "S16LE" : "S16BE",
        "rate", G_TYPE_INT, static_cast<int>(kDefaultSoundRate), "channels", G_TYPE_INT, 1,
        "layout", G_TYPE_STRING, "interleaved", nullptr);
    g_object_set(source, "caps", caps, "format", GST_FORMAT_TIME, nullptr);
    gst_caps_unref(caps);
    std::vector<int16_t> samples = DefaultSoundSamples(kDefaultSoundRate);
    GstBuffer* buffer = gst_buffer_new_allocate(nullptr, samples.size() * 2, nullptr);
    gst_buffer_fill(buffer, 0, samples.data(), samples.size() * 2);
    GstFlowReturn flow = GST_FLOW_OK;
    g_signal_emit_by_name(source, "push-buffer", buffer, &flow);
    gst_buffer_unref(buffer);
    g_signal_emit_by_name(source, "end-of-stream", &flow);
    return Start(pipeline, sink, wait);
}

// Takes the pipeline (floating or owned) and plays it.
bool SoundPlayerGst::Start(GstElement* pipeline, GstElement* sink, bool wait) {
    if (g_object_is_floating(pipeline)) {
        gst_object_ref_sink(pipeline);
    }
    pipeline_ = pipeline;
    watch_.Attach(pipeline_, sink);
    if (gst_element_set_state(pipeline_, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        Stop();
        return false;
    }
    if (wait) {
        while (!watch_.Ended() && !watch_.Failed()) {
            g_usleep(10 * 1000);
        }
        Stop();
    }
    return true;
}

// Runs on a streaming thread; queueing the next file here keeps the stream gapless.
void SoundPlayerGst::OnAboutToFinish(GstElement* playbin, gpointer self) {
    auto* player = static_cast<SoundPlayerGst*>(self);
    g_object_set(playbin, "uri", player->uri_.c_str(), nullptr);
}

bool SoundPlayerGst::Play(const char* sound, uint32_t flags) {
    if (!StartGst()) {
        return false;
    }
    const bool nameIsFile = sound != nullptr && SoundNameIsFile(flags);
    bool playable = false;
    if (nameIsFile) {
        std::vector<uint8_t> head = ReadHead(sound);
        playable = IsPlayableWave(head.data(), head.size());
    }
    SoundPlan plan = PlanSound(sound != nullptr, flags, nameIsFile, playable, Playing());
    if (plan.stopCurrent) {
        Stop();
    }
    switch (plan.action) {
        case SoundAction::PlayFile:
            return PlayFile(sound, plan.loop, plan.wait);
        case SoundAction::PlayDefault:
            return PlayDefault(plan.wait);
        case SoundAction::Stop:
        case SoundAction::Refuse:
            break;
    }
    return plan.result;
}

}  // namespace velmoria
