// libFuzzer target: any bytes as a button's stored property set. Whatever parses must read the
// same after being written out and parsed again, and a control must load it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "shell/controls/button_properties.h"
#include "shell/controls/command_button.h"

namespace {

class SilentView : public velmoria::CommandButtonView {
  public:
    void DrawFace(velmoria::ButtonLook, bool) override {}
    void LabelChanged() override {}
    void StartTrackingTimer(int) override {}
    void TakeFocus() override {}
    void RaiseClick() override {}
};

template <typename Read>
void ExpectSame(Read read) {
    if (read(0) != read(1)) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using velmoria::ButtonPropertySet;
    const ButtonPropertySet first =
        ButtonPropertySet::Parse(std::string_view(reinterpret_cast<const char*>(data), size));
    const ButtonPropertySet second = ButtonPropertySet::Parse(first.Format());
    const ButtonPropertySet* sets[] = {&first, &second};
    for (const char* key : {"Enabled", "Caption", "FirstRun", "Font", "FontColour", "Visible"}) {
        ExpectSame([&](int i) { return sets[i]->ReadBoolean(key); });
        ExpectSame([&](int i) { return sets[i]->ReadString(key); });
        ExpectSame([&](int i) { return sets[i]->ReadByte(key); });
        ExpectSame([&](int i) { return sets[i]->ReadInteger(key); });
        ExpectSame([&](int i) { return sets[i]->ReadColour(key); });
        ExpectSame([&](int i) { return sets[i]->ReadFont(key); });
    }
    SilentView view;
    velmoria::CommandButton button(view, velmoria::DialogFont());
    button.ReadProperties(first);
    ButtonPropertySet written;
    button.WriteProperties(written);
    return 0;
}
