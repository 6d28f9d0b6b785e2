// The session form's handlers. Every step is guarded: a failing step is skipped and the next
// one runs, and nothing is reported.
#include "shell/forms/session.h"

#include <chrono>

#include "assets/particle_sprite.h"
#include "common/saver_contract.h"
#include "shell/guarded_step.h"
#include "shell/music/skorvane_bgm.h"
#include "shell/settings/settings_file.h"
#include "shell/startup.h"

namespace velmoria {

std::string RendererPath;
bool RendererHosted = false;
bool SessionFailed = false;

bool PlaysMusic(bool hosted, bool lockTaken) {
    return !hosted || lockTaken;
}

std::string MusicFileType(std::string_view file) {
    std::string type(file.size() > 3 ? file.substr(file.size() - 3) : file);
    for (char& c : type) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return type;
}

// ---- The renderer watch ----

void RendererWatch::Started(std::unique_ptr<StartedProgram> process, int64_t nowMs) {
    process_ = std::move(process);
    startedMs_ = nowMs;
    seen_ = false;
}

bool RendererWatch::Gone(bool windowExists, int64_t nowMs) {
    if (windowExists) {
        seen_ = true;
        return false;
    }
    return seen_ || process_ == nullptr || process_->HasEnded() || nowMs - startedMs_ >= kGraceMs;
}

bool RendererWatch::Failed() {
    if (process_ == nullptr) {
        return true;
    }
    const std::optional<int> code = process_->HasEnded() ? process_->ExitCode() : std::nullopt;
    return (code && *code != 0) || !seen_;
}

// ---- The form ----

SessionForm::SessionForm(std::string argumentText, std::function<int64_t()> now)
    : argumentText_(std::move(argumentText)), now_(std::move(now)) {}

int64_t SessionForm::SteadyMilliseconds() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void SessionForm::Load() {
    window_ = ShellPlatform::Current().CreateForm(kSessionWindowTitle, 0, this);
    for (FormTimer* timer : {&Timer1, &Timer2, &Timer3}) {
        timer->Attach(window_);
    }
    Form_Load();
}

void SessionForm::Form_Load() {
    ShellPlatform& platform = ShellPlatform::Current();
    // The sprite held by Display, replacing an older file.
    Guarded([&] { platform.ReplaceFileContents(SpriteFilePath(), MakeParticleSpriteBmp()); });
    playsMusic_ = !RendererHosted;
    Guarded([&] { playsMusic_ = PlaysMusic(RendererHosted, platform.TakeMusicLock()); });
    Guarded([&] {
        if (BgmKind == 1 && playsMusic_) {
            CD_Open();
            Timer2.SetEnabled(true);
        }
    });
    Guarded([&] {
        if (BgmKind != 2 || !playsMusic_) {
            return;
        }
        if (MusicFileType(BgmFile) == "WAV") {
            WAV_Play();
        }
        if (MusicFileType(BgmFile) == "MP3") {
            MP3_Play();
            Timer1.SetEnabled(true);
        }
    });
    Guarded([&] {
        const char separator = platform.Paths().style == PathStyle::Windows ? '\\' : '/';
        RendererPath = platform.ProgramFolder() + separator + "Velmoria.dll";
        std::unique_ptr<StartedProgram> renderer = platform.StartProgram(RendererPath);
        ApiResult = renderer != nullptr ? renderer->ProcessId() : 0;
        watch_.Started(std::move(renderer), now_());
    });
    Guarded([&] { Timer3.SetEnabled(true); });
}

void SessionForm::Timer1_Timer() {
    Guarded([] { MP3_Check(); });
}

void SessionForm::Timer2_Timer() {
    Guarded([] { CD_Check(); });
    Guarded([&] { Timer2.SetEnabled(CdAlive); });
}

void SessionForm::Timer3_Timer() {
    // A hosted renderer draws in the daemon's window, under the daemon's title: its process
    // stands for its window.
    const bool window = RendererHosted
                            ? !watch_.ProcessEnded()
                            : ShellPlatform::Current().TopLevelWindowExists(kRendererWindowTitle);
    if (!watch_.Gone(window, now_())) {
        return;
    }
    Timer3.SetEnabled(false);
    SessionFailed = watch_.Failed();
    Form_QueryUnload();
}

void SessionForm::Form_QueryUnload() {
    if (unloaded_) {
        return;
    }
    unloaded_ = true;
    Guarded([&] {
        if (RendererHosted || ShellPlatform::Current().RendererEndsWithSession()) {
            watch_.Terminate();
        }
    });
    Guarded([&] {
        if (Timer2.Enabled()) {
            Timer2.SetEnabled(false);
            CD_Stop();
        }
    });
    Guarded([&] {
        if (BgmKind != 2 || !playsMusic_) {
            return;
        }
        if (MusicFileType(BgmFile) == "WAV") {
            WAV_Stop();
        }
        if (MusicFileType(BgmFile) == "MP3") {
            Timer1.SetEnabled(false);
            MP3_Stop();
        }
    });
    Guarded([&] {
        // A non-zero count asks to show the cursor: the hiding call at the start returned a
        // negative one, so the cursor comes back.
        if (ModeLetter(argumentText_) == "S") {
            CursorCount = ShellPlatform::Current().ShowCursor(CursorCount != 0);
        }
    });
    ShellPlatform::Current().EndProgram();
}

void SessionForm::OnTimer(int timer) {
    if (unloaded_) {
        return;
    }
    switch (timer) {
        case 1:
            Timer1_Timer();
            break;
        case 2:
            Timer2_Timer();
            break;
        case 3:
            Timer3_Timer();
            break;
        default:
            break;
    }
}

}  // namespace velmoria
