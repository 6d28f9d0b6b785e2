// LoadDibFile over a recording platform: exactly one message per failure, told after the
// clean-up for the open failure and before it for every other failure, and nothing held after.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/dib_loader.h"
#include "renderer/dib_file_loader.h"
#include "renderer/platform.h"
#include "tests/support/bmp_builder.h"

namespace velmoria {
namespace {

using Events = std::vector<std::string>;

class RecordingPlatform final : public RendererPlatform {
  public:
    class File final : public ReadOnlyFile {
      public:
        File(Events& events, const test::Bytes& bytes) : events_(events), bytes_(bytes) {}
        ~File() override { events_.push_back("unmap"); }
        const uint8_t* Data() const override { return bytes_.data(); }
        size_t Size() const override { return bytes_.size(); }

      private:
        Events& events_;
        const test::Bytes& bytes_;
    };
    class Converter final : public Bgr24Converter {
      public:
        Converter(Events& events, DibStatus status) : events_(events), status_(status) {}
        ~Converter() override { events_.push_back("release converter"); }
        DibStatus Convert(const DibDescription& source, const uint8_t** rows) override {
            events_.push_back("convert");
            rows_.assign(static_cast<size_t>(source.header.width) * 4, 0x40);
            *rows = rows_.data();
            return status_;
        }

      private:
        Events& events_;
        DibStatus status_;
        std::vector<uint8_t> rows_;
    };

    std::unique_ptr<ReadOnlyFile> MapFile(const char*) override {
        if (!fileExists) {
            return nullptr;
        }
        events.push_back("map");
        return std::make_unique<File>(events, bytes);
    }
    std::unique_ptr<Bgr24Converter> NewBgr24Converter() override {
        return std::make_unique<Converter>(events, conversion);
    }
    Registry& CurrentUserRegistry() override { std::abort(); }
    void ShowErrorBox(const char* text) override { events.push_back(std::string("box ") + text); }
    void HideCursor() override {}
    void WriteDiagnostic(const char*) override {}

    bool fileExists = true;
    test::Bytes bytes;
    DibStatus conversion = DibStatus::Ok;
    Events events;
};

class DibLoaderOrder : public ::testing::Test {
  protected:
    void SetUp() override {
        previous_ = &RendererPlatform::Current();
        RendererPlatform::Connect(&platform_);
    }
    void TearDown() override { RendererPlatform::Connect(previous_); }

    RecordingPlatform platform_;
    RendererPlatform* previous_ = nullptr;
};

TEST_F(DibLoaderOrder, EachOutcomeInItsOrder) {
    test::BmpRecipe oneWhitePixel;
    oneWhitePixel.pixels = {0xFF, 0xFF, 0xFF, 0x00};
    const test::Bytes good = test::BuildBmp(oneWhitePixel);
    test::BmpRecipe unknown = oneWhitePixel;
    unknown.headerSize = 108;
    struct Case {
        const char* name;
        bool exists;
        test::Bytes bytes;
        DibStatus conversion;
        bool loads;
        Events events;
    };
    const Case cases[] = {
        {"loads",
         true,
         good,
         DibStatus::Ok,
         true,
         {"map", "convert", "release converter", "unmap"}},
        {"missing file", false, {}, DibStatus::Ok, false, {"box Failed to open DIB file x.bmp.\n"}},
        {"unknown header",
         true,
         test::BuildBmp(unknown),
         DibStatus::Ok,
         false,
         {"map", "box Unknown DIB file format.", "release converter", "unmap"}},
        {"conversion error",
         true,
         good,
         DibStatus::ConversionError,
         false,
         {"map", "convert", "box Image file conversion error.", "release converter", "unmap"}},
    };
    for (const Case& c : cases) {
        platform_.events.clear();
        platform_.fileExists = c.exists;
        platform_.bytes = c.bytes;
        platform_.conversion = c.conversion;
        RgbImage* image = LoadDibFile("x.bmp");
        EXPECT_EQ(image != nullptr, c.loads) << c.name;
        EXPECT_EQ(platform_.events, c.events) << c.name;
        FreeRgbImage(image);
    }
}

}  // namespace
}  // namespace velmoria
