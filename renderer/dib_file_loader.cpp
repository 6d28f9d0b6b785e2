// LoadDibFile: the platform's mapping and converter around LoadDibFromMemory, and the reporting
// of its one message.
#include "renderer/dib_file_loader.h"
#include "common/dib_loader.h"
#include "renderer/platform.h"

namespace velmoria {

RgbImage* LoadDibFile(const char* fileName, DibMessageSink report, void* context) {
    RendererPlatform& platform = RendererPlatform::Current();
    std::unique_ptr<ReadOnlyFile> file = fileName != nullptr ? platform.MapFile(fileName) : nullptr;
    if (file == nullptr) {
        report(OpenFailureMessage(fileName).c_str(), context);
        return nullptr;
    }
    std::unique_ptr<Bgr24Converter> converter = platform.NewBgr24Converter();
    const DibLoadResult result = converter != nullptr
                                     ? LoadDibFromMemory(file->Data(), file->Size(), *converter)
                                     : DibLoadResult{nullptr, DibStatus::OutOfMemory};
    if (result.image == nullptr) {
        // Told while the converter and the mapping are still held, as the platform's loader does.
        report(DibStatusMessage(result.status), context);
    }
    return result.image;
}

RgbImage* LoadDibFile(const char* fileName) {
    return LoadDibFile(
        fileName, [](const char* text, void*) { RendererPlatform::Current().ShowErrorBox(text); },
        nullptr);
}

}  // namespace velmoria
