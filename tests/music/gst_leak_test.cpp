// What the GStreamer layer leaves behind: the bus watch releases every message it is handed,
// and a looping wave file makes nothing per pass that outlives the pass (counted by GStreamer's
// leaks tracer, which this program turns on before GStreamer starts).
#include <gst/gst.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "shell/music/gst/gst_support_gst.h"
#include "shell/music/gst/sound_player_gst.h"
#include "shell/music/sound_player.h"
#include "tests/music/wave_files.h"

namespace velmoria {
namespace {

namespace fs = std::filesystem;

// Named before gst_init: the tracer counts elements and messages only.
const bool kLeaksTracerNamed =
    setenv("GST_TRACERS", "leaks(filters=\"GstElement,GstMessage\")", 0) == 0;

// ---- The bus watch ----

enum class Source { Pipeline, Sink, Other };

struct MessageCase {
    const char* name;
    Source source;
    GstMessage* (*make)(GstObject* source);
    bool ended;
    bool failed;
    bool sinkFailed;
    bool toc;
};

GstMessage* MakeEos(GstObject* source) {
    return gst_message_new_eos(source);
}
GstMessage* MakeError(GstObject* source) {
    GError* error = g_error_new_literal(GST_RESOURCE_ERROR, GST_RESOURCE_ERROR_WRITE, "gone");
    GstMessage* message = gst_message_new_error(source, error, "test");
    g_error_free(error);
    return message;
}
GstMessage* MakeToc(GstObject* source) {
    GstToc* toc = gst_toc_new(GST_TOC_SCOPE_GLOBAL);
    GstMessage* message = gst_message_new_toc(source, toc, FALSE);
    gst_toc_unref(toc);
    return message;
}
GstMessage* MakeStateChanged(GstObject* source) {
    return gst_message_new_state_changed(source, GST_STATE_READY, GST_STATE_PAUSED,
                                         GST_STATE_VOID_PENDING);
}
GstMessage* MakeTag(GstObject* source) {
    return gst_message_new_tag(source, gst_tag_list_new(GST_TAG_TITLE, "loop", nullptr));
}

TEST(BusWatchGstTest, EveryMessageIsRecordedAndReleased) {
    ASSERT_TRUE(StartGst());
    const MessageCase cases[] = {
        {"end of stream", Source::Pipeline, MakeEos, true, false, false, false},
        {"error of the output", Source::Sink, MakeError, false, true, true, false},
        {"error upstream", Source::Other, MakeError, false, true, false, false},
        {"table of contents", Source::Pipeline, MakeToc, false, false, false, true},
        {"state change", Source::Other, MakeStateChanged, false, false, false, false},
        {"tags", Source::Sink, MakeTag, false, false, false, false},
    };
    for (const MessageCase& c : cases) {
        SCOPED_TRACE(c.name);
        GstElement* pipeline = GST_ELEMENT(gst_object_ref_sink(gst_pipeline_new(nullptr)));
        GstElement* other = gst_element_factory_make("identity", nullptr);
        GstElement* sink = gst_element_factory_make("fakesink", nullptr);
        ASSERT_TRUE(other != nullptr && sink != nullptr);
        gst_bin_add_many(GST_BIN(pipeline), other, sink, nullptr);
        GstElement* source = c.source == Source::Pipeline ? pipeline
                             : c.source == Source::Sink   ? sink
                                                          : other;
        BusWatchGst watch;
        watch.Attach(pipeline, sink);

        GstMessage* message = c.make(GST_OBJECT(source));
        gst_message_ref(message);  // the test's own, to look at it afterwards
        GstBus* bus = gst_element_get_bus(pipeline);
        gst_bus_post(bus, message);
        const int messageRefs = GST_MINI_OBJECT_REFCOUNT_VALUE(message);
        EXPECT_EQ(messageRefs, 1) << "the bus watch kept the message";
        gst_message_unref(message);
        EXPECT_FALSE(gst_bus_have_pending(bus)) << "a message was left on the bus";
        gst_object_unref(bus);

        EXPECT_EQ(watch.Ended(), c.ended);
        EXPECT_EQ(watch.Failed(), c.failed);
        EXPECT_EQ(watch.SinkFailed(), c.sinkFailed);
        GstToc* toc = watch.TakeToc();
        EXPECT_EQ(toc != nullptr, c.toc);
        if (toc != nullptr) {
            gst_toc_unref(toc);
        }
        watch.Detach();
        // Nothing but the pipeline holds the source any more.
        const int sourceRefs = GST_OBJECT_REFCOUNT_VALUE(source);
        EXPECT_EQ(sourceRefs, 1);
        gst_object_unref(pipeline);
    }
}

// ---- A looping wave file ----

// GStreamer's leaks tracer, or nullptr when it is not running.
GstObject* LeaksTracer() {
    GstObject* found = nullptr;
    GList* tracers = gst_tracing_get_active_tracers();
    for (GList* item = tracers; item != nullptr; item = item->next) {
        if (found == nullptr && std::string(G_OBJECT_TYPE_NAME(item->data)) == "GstLeaksTracer") {
            found = GST_OBJECT(gst_object_ref(item->data));
        }
    }
    g_list_free_full(tracers, gst_object_unref);
    return found;
}

// Of the tracked objects, how many more were made than released since tracking started.
int ObjectsLeftSinceStart(GstObject* tracer) {
    GstStructure* checkpoint = nullptr;
    g_signal_emit_by_name(tracer, "activity-get-checkpoint", &checkpoint);
    if (checkpoint == nullptr) {
        return 0;
    }
    const int made = static_cast<int>(
        gst_value_list_get_size(gst_structure_get_value(checkpoint, "objects-created-list")));
    const int released = static_cast<int>(
        gst_value_list_get_size(gst_structure_get_value(checkpoint, "objects-removed-list")));
    gst_structure_free(checkpoint);
    return made - released;
}

TEST(SoundLoopGstTest, PassesOfALoopingWaveLeaveNothingBehind) {
    ASSERT_TRUE(StartGst());
    GstObject* tracer = kLeaksTracerNamed ? LeaksTracer() : nullptr;
    if (tracer == nullptr) {
        GTEST_SKIP() << "GStreamer's leaks tracer is not available";
    }
    const fs::path folder = fs::temp_directory_path() / "velmoria sound loop leaks";
    fs::remove_all(folder);
    fs::create_directories(folder);
    // A 25-ms file: each pass makes a new source and parser in playbin, and dozens of messages.
    constexpr int kRate = 8000;
    constexpr size_t kPassBytes = kRate / 40 * 2;
    const fs::path wav = folder / "short.wav";
    WriteWave(wav, std::vector<int16_t>(kPassBytes / 2, 1000), kRate);
    const fs::path out = folder / "out.raw";
    const std::string sink =
        "audioconvert ! audioresample ! audio/x-raw,format=S16LE,channels=1,rate=8000 ! "
        "filesink sync=true buffer-mode=unbuffered location=\"" +
        out.string() + "\"";
    setenv("VELMORIA_AUDIO_SINK", sink.c_str(), 1);
    auto passes = [&] {
        std::error_code error;
        const auto size = fs::file_size(out, error);
        return error ? 0 : size / kPassBytes;
    };

    SoundPlayerGst player;
    using namespace sound_flag;
    ASSERT_TRUE(player.Play(wav.c_str(), kAsync | kLoop | kNoDefault));
    // Counted once the loop runs steadily, over a hundred passes.
    ASSERT_TRUE(WaitUntil(30.0, [&] { return passes() >= 10; }));
    g_signal_emit_by_name(tracer, "activity-start-tracking");
    ASSERT_TRUE(WaitUntil(60.0, [&] { return passes() >= 110; }));
    const int left = ObjectsLeftSinceStart(tracer);
    g_signal_emit_by_name(tracer, "activity-stop-tracking");
    player.Play(nullptr, 0);
    gst_object_unref(tracer);
    unsetenv("VELMORIA_AUDIO_SINK");
    std::error_code ignored;
    fs::remove_all(folder, ignored);

    // Only what is in flight at the count: an object kept each pass would leave 100 or more.
    EXPECT_LT(left, 20) << "objects made and not released over 100 passes";
}

}  // namespace
}  // namespace velmoria
