// A scripted media backend for the MCI interpreter: files and a disc whose answers the test sets,
// with every call recorded.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "shell/music/mci_errors.h"
#include "shell/music/mci_media.h"

namespace velmoria {

struct FakeMediaState {
    // Files.
    uint32_t openError = 0;  // what OpenFile answers, 0 to open
    int64_t lengthMs = 10000;
    int64_t positionMs = 0;
    MciMode fileMode = MciMode::Stopped;
    std::vector<std::string> openedPaths;
    std::vector<std::pair<int64_t, int64_t>> filePlays;
    int fileStops = 0;
    int filesAlive = 0;
    // The disc.
    uint32_t discOpenError = 0;
    MciDiscState discState = MciDiscState::Ready;
    MciDiscToc toc;
    uint32_t positionFrames = 0;
    MciMode discMode = MciMode::Stopped;
    std::vector<std::pair<uint32_t, uint32_t>> discPlays;
    int discStops = 0;
};

class FakeFileMedia : public MciFileMedia {
  public:
    explicit FakeFileMedia(FakeMediaState& state) : state_(state) { ++state_.filesAlive; }
    ~FakeFileMedia() override { --state_.filesAlive; }
    int64_t LengthMs() override { return state_.lengthMs; }
    int64_t PositionMs() override { return state_.positionMs; }
    uint32_t Play(int64_t fromMs, int64_t toMs) override {
        state_.filePlays.emplace_back(fromMs, toMs);
        return 0;
    }
    void Stop() override { ++state_.fileStops; }
    MciMode Mode() override { return state_.fileMode; }

  private:
    FakeMediaState& state_;
};

class FakeDiscMedia : public MciDiscMedia {
  public:
    explicit FakeDiscMedia(FakeMediaState& state) : state_(state) {}
    MciDiscState ReadToc(MciDiscToc* toc) override {
        if (state_.discState == MciDiscState::Ready) {
            *toc = state_.toc;
        }
        return state_.discState;
    }
    uint32_t PositionFrames() override { return state_.positionFrames; }
    uint32_t Play(uint32_t fromFrame, uint32_t toFrame) override {
        state_.discPlays.emplace_back(fromFrame, toFrame);
        return 0;
    }
    void Stop() override { ++state_.discStops; }
    MciMode Mode() override { return state_.discMode; }

  private:
    FakeMediaState& state_;
};

class FakeMediaBackend : public MciMediaBackend {
  public:
    FakeMediaState state;

    std::unique_ptr<MciFileMedia> OpenFile(const std::string& path, uint32_t* error) override {
        state.openedPaths.push_back(path);
        *error = state.openError;
        if (*error != 0) {
            return nullptr;
        }
        return std::make_unique<FakeFileMedia>(state);
    }
    std::unique_ptr<MciDiscMedia> OpenDisc(uint32_t* error) override {
        *error = state.discOpenError;
        if (*error != 0) {
            return nullptr;
        }
        return std::make_unique<FakeDiscMedia>(state);
    }
};

}  // namespace velmoria
