// Defaults and the registry reads of the settings record.
#include "saver_settings.h"

#include "frame_pacer.h"

namespace velmoria {

namespace {

constexpr const char* kSystemSaverKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Screen Savers";
constexpr const char* kRendererKey = "Software\\Orvek\\Quendal Saver";

uint32_t LittleEndian(const uint8_t b[4]) {
    return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
}

template <class Field>
void Query(RegistryKey& key, const char* name, Field& field) {
    uint8_t buffer[4] = {0, 0, 0, 0};
    if (key.QueryFourBytes(name, buffer)) {
        field = static_cast<Field>(LittleEndian(buffer));
    }
}

}  // namespace

void ReadSystemSaverValues(SaverSettings& settings, Registry& registry) {
    settings.passwordDelay = 15;
    settings.mouseThreshold = 50;
    std::unique_ptr<RegistryKey> key = registry.OpenCurrentUserKey(kSystemSaverKey);
    if (!key) {
        return;
    }
    Query(*key, "Password Delay", settings.passwordDelay);
    Query(*key, "Mouse Threshold", settings.mouseThreshold);
    Query(*key, "Mute Sound", settings.muteSound);
}

void ReadRendererSettings(SaverSettings& settings, Registry& registry) {
    struct Switch {
        const char* name;
        uint32_t SaverSettings::*field;
        uint32_t fallback;
    };
    static constexpr Switch kSwitches[] = {
        {"Rotate", &SaverSettings::rotate, 1},       {"Particle1", &SaverSettings::particle1, 1},
        {"Particle2", &SaverSettings::particle2, 1}, {"Particle3", &SaverSettings::particle3, 1},
        {"GRAVITY", &SaverSettings::gravity, 1},     {"QualLow", &SaverSettings::qualLow, 1},
        {"QualMed", &SaverSettings::qualMed, 0},     {"QualHi", &SaverSettings::qualHi, 0},
    };
    // Every switch gets its default; once the key cannot be opened the rest keep theirs.
    bool keyOpens = true;
    for (const Switch& s : kSwitches) {
        settings.*s.field = s.fallback;
        if (!keyOpens) {
            continue;
        }
        std::unique_ptr<RegistryKey> key = registry.OpenCurrentUserKey(kRendererKey);
        if (!key) {
            keyOpens = false;
            continue;
        }
        Query(*key, s.name, settings.*s.field);
    }
}

void ReadFrameLimit(SaverSettings& settings, Registry& registry) {
    settings.frameLimit = FramePacer::kDefaultFrameLimit;
    if (std::unique_ptr<RegistryKey> key = registry.OpenCurrentUserKey(kRendererKey)) {
        Query(*key, "FrameLimit", settings.frameLimit);
    }
}

}  // namespace velmoria
