// The session form Skorvane_S: the shell's side of a full-screen saver run. Its load writes the
// sprite, starts the music and the renderer; its timers keep the music going and watch the
// renderer's window; its unload stops the music, gives the cursor back and ends the program.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "shell/forms/form_timer.h"
#include "shell/platform.h"

namespace velmoria {

// The program folder followed by "\Velmoria.dll" ("/Velmoria.dll" on Linux).
extern std::string RendererPath;

// The renderer draws in a screen-saver daemon's window (Linux hosted mode): the session watches
// its process, not a window title, and the session's end ends the renderer too.
extern bool RendererHosted;

// The session could not do its job: the renderer did not start, ended with a non-zero exit
// code, or showed no window within the grace period. Set when the session form unloads; the
// Linux entry turns it into a non-zero exit status (Windows ends with 0 whatever happened).
extern bool SessionFailed;

// Whether this copy plays the music. A daemon's hosted copies run one per monitor: only the one
// that took the desktop session's music lock plays. An ordinary start plays in any case (it
// takes the lock too, so that hosted copies beside it keep quiet).
bool PlaysMusic(bool hosted, bool lockTaken);

// The file type of a music file: its last three characters upper-cased (the whole text when it
// is shorter). "WAV" and "MP3" are the types played.
std::string MusicFileType(std::string_view file);

// When the renderer counts as gone. The watch's first tick usually comes before the renderer's
// window exists (a GL driver, or Wine, loads first), so a window not seen yet is waited for:
// the renderer has gone once its window has been seen and is no more, once its process has
// ended, or once no window has come within the grace period. Without a process (the start
// failed) it has gone at the first tick without a window.
class RendererWatch {
  public:
    static constexpr int64_t kGraceMs = 10000;

    void Started(std::unique_ptr<StartedProgram> process, int64_t nowMs);
    // The renderer's process has ended, or there never was one.
    bool ProcessEnded() { return process_ == nullptr || process_->HasEnded(); }
    // Ends the renderer's process, when one is still running.
    void Terminate() {
        if (!ProcessEnded()) {
            process_->Terminate();
        }
    }
    bool Gone(bool windowExists, int64_t nowMs);
    // The renderer failed: no process, an exit code other than 0, or gone without its window
    // ever having been seen.
    bool Failed();

  private:
    std::unique_ptr<StartedProgram> process_;
    int64_t startedMs_ = 0;
    bool seen_ = false;
};

class SessionForm final : public FormEvents {
  public:
    // `argumentText` is the command line the program was started with: the unload works out
    // ModeLetter from it. `now` gives a monotonic time in milliseconds.
    explicit SessionForm(std::string argumentText,
                         std::function<int64_t()> now = SteadyMilliseconds);

    // Loads the form (its hidden window "Skorvane_Main"); its load handler starts the session.
    void Load();

    void Form_Load();
    void Timer1_Timer();
    void Timer2_Timer();
    void Timer3_Timer();
    void Form_QueryUnload();

    void OnTimer(int timer) override;
    void OnQueryUnload() override { Form_QueryUnload(); }

    FormTimer Timer1{1, 1000};  // MP3 loop
    FormTimer Timer2{2, 200};   // CD polling
    FormTimer Timer3{3, 100};   // renderer watch

    static int64_t SteadyMilliseconds();

  private:
    std::string argumentText_;
    std::function<int64_t()> now_;
    WindowHandle window_ = 0;
    RendererWatch watch_;
    bool playsMusic_ = true;
    bool unloaded_ = false;
};

}  // namespace velmoria
