// libFuzzer target: any text through the .reg file reader and the settings readers.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "renderer/registry_file.h"
#include "renderer/saver_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    velmoria::RegistryFile registry =
        velmoria::RegistryFile::Parse(std::string_view(reinterpret_cast<const char*>(data), size));
    velmoria::SaverSettings settings;
    velmoria::ReadSystemSaverValues(settings, registry);
    velmoria::ReadRendererSettings(settings, registry);
    return 0;
}
