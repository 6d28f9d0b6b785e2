// What a look change costs the Linux gradient button: one whole face drawn with Cairo (the
// gradient rows and the eight pieces) at the dialog's two sizes.
#include <benchmark/benchmark.h>

#include "shell/controls/gtk/command_button_gtk.h"

static void BM_PaintFaceCairo(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    cairo_t* cr = cairo_create(surface);
    velmoria::PaintFaceCairo(cr, width, height, velmoria::ButtonLook::Normal, false);  // warm
    for (auto _ : state) {
        velmoria::PaintFaceCairo(cr, width, height, velmoria::ButtonLook::HighLight, true);
        cairo_surface_flush(surface);
    }
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
}
BENCHMARK(BM_PaintFaceCairo)->Args({77, 25})->Args({41, 21})->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
