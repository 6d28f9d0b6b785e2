// GStreamer start-up, the audio sink and the loop-free bus watch.
#include "shell/music/gst/gst_support_gst.h"

#include <cstdlib>
#include <cstring>
#include <thread>

namespace velmoria {

bool StartGst() {
    static const bool started = gst_init_check(nullptr, nullptr, nullptr);
    return started;
}

namespace {

const char* SinkOverride() {
    const char* text = std::getenv("VELMORIA_AUDIO_SINK");
    return (text != nullptr && text[0] != '\0') ? text : nullptr;
}

// True when an automatic sink picked fakesink because no real output would open.
bool FellBackToFakeSink(GstElement* sink) {
    if (!GST_IS_BIN(sink)) {
        return false;
    }
    bool fake = false;
    GstIterator* it = gst_bin_iterate_recurse(GST_BIN(sink));
    GValue item = G_VALUE_INIT;
    while (gst_iterator_next(it, &item) == GST_ITERATOR_OK) {
        GstElement* child = GST_ELEMENT(g_value_get_object(&item));
        GstElementFactory* factory = gst_element_get_factory(child);
        if (factory != nullptr &&
            std::strcmp(gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(factory)), "fakesink") ==
                0) {
            fake = true;
        }
        g_value_reset(&item);
    }
    g_value_unset(&item);
    gst_iterator_free(it);
    return fake;
}

}  // namespace

GstElement* MakeAudioSinkGst() {
    if (!StartGst()) {
        return nullptr;
    }
    if (const char* description = SinkOverride()) {
        GError* error = nullptr;
        GstElement* bin = gst_parse_bin_from_description(description, TRUE, &error);
        if (error != nullptr) {
            g_error_free(error);
            if (bin != nullptr) {
                gst_object_unref(bin);
            }
            return nullptr;
        }
        return bin;
    }
    return gst_element_factory_make("autoaudiosink", nullptr);
}

void ReleasePipelineGst(GstElement* pipeline) {
    if (pipeline == nullptr) {
        return;
    }
    std::thread([pipeline] {
        gst_element_set_state(pipeline, GST_STATE_NULL);
        gst_object_unref(pipeline);
    }).detach();
}

bool AudioOutputAvailableGst() {
    GstElement* sink = MakeAudioSinkGst();
    if (sink == nullptr) {
        return false;
    }
    gst_object_ref_sink(sink);
    bool available = gst_element_set_state(sink, GST_STATE_READY) != GST_STATE_CHANGE_FAILURE;
    if (available && SinkOverride() == nullptr) {
        available = !FellBackToFakeSink(sink);
    }
    gst_element_set_state(sink, GST_STATE_NULL);
    gst_object_unref(sink);
    return available;
}

BusWatchGst::~BusWatchGst() {
    Detach();
    if (toc_ != nullptr) {
        gst_toc_unref(toc_);
    }
}

void BusWatchGst::Attach(GstElement* pipeline, GstElement* sink) {
    Detach();
    ended_ = false;
    failed_ = false;
    sinkFailed_ = false;
    sink_ = sink;
    bus_ = gst_element_get_bus(pipeline);
    gst_bus_set_sync_handler(bus_, &BusWatchGst::OnMessage, this, nullptr);
}

void BusWatchGst::Detach() {
    if (bus_ != nullptr) {
        gst_bus_set_sync_handler(bus_, nullptr, nullptr, nullptr);
        gst_object_unref(bus_);
        bus_ = nullptr;
    }
}

GstToc* BusWatchGst::TakeToc() {
    std::lock_guard<std::mutex> lock(tocLock_);
    return toc_ != nullptr ? gst_toc_ref(toc_) : nullptr;
}

GstBusSyncReply BusWatchGst::OnMessage(GstBus*, GstMessage* message, gpointer self) {
    auto* watch = static_cast<BusWatchGst*>(self);
    switch (GST_MESSAGE_TYPE(message)) {
        case GST_MESSAGE_EOS:
            watch->ended_ = true;
            break;
        case GST_MESSAGE_ERROR:
            if (watch->sink_ != nullptr &&
                gst_object_has_as_ancestor(GST_MESSAGE_SRC(message), GST_OBJECT(watch->sink_))) {
                watch->sinkFailed_ = true;
            }
            watch->failed_ = true;
            break;
        case GST_MESSAGE_TOC: {
            GstToc* toc = nullptr;
            gst_message_parse_toc(message, &toc, nullptr);
            std::lock_guard<std::mutex> lock(watch->tocLock_);
            if (watch->toc_ != nullptr) {
                gst_toc_unref(watch->toc_);
            }
            watch->toc_ = toc;
            break;
        }
        default:
            break;
    }
    // A sync handler that drops a message owns it; each one held kept its source alive.
    gst_message_unref(message);
    return GST_BUS_DROP;
}

}  // namespace velmoria
