// The settings dialog Skorvane_P: the music kind, the CD track to repeat and the music file,
// stored by "設定" in the settings file. The handlers decide; the dialog's window (Win32 or GTK)
// reports its events here and does what SettingsDialogView asks.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/controls/command_button.h"
#include "shell/controls/picture.h"
#include "shell/settings/profile_file.h"
#include "shell/settings/text_codec.h"
#include "shell/settings_dialog/dialog_controls.h"
#include "shell/settings_dialog/dialog_layout.h"

namespace velmoria {

enum class DialogCursor { Default, Hourglass };

// The file-open dialog as the "..." button asks for it. Texts are UTF-8.
struct FilePickRequest {
    std::string filterDescription;  // "BGMﾌｧｲﾙ (MP3 WAV)"
    std::string filterPatterns;     // "*.MP3;*.WAV"
    std::string initialFolder;      // in the platform's narrow text, as BgmFolder
    std::string title;              // "ﾌｧｲﾙを開く"
    int bufferCharacters = 255;     // the file-open dialog's buffer in the original program
};

struct ScreenSize {
    int32_t width = 0;
    int32_t height = 0;
};
// A monitor's rectangle in screen pixels.
struct ScreenArea {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
};
struct ScreenPoint {
    int32_t x = 0;
    int32_t y = 0;
};

// What the dialog asks of its window. A call that fails throws; the handler then skips that
// step and goes on with the next.
class SettingsDialogView {
  public:
    virtual ~SettingsDialogView() = default;

    // The primary monitor: at 0,0 on Windows, anywhere on a Linux desktop.
    virtual ScreenArea Screen() = 0;
    virtual ScreenSize WindowOuterSize() = 0;
    virtual void MoveWindow(int32_t left, int32_t top) = 0;
    virtual uintptr_t WindowHandle() = 0;
    virtual CommandButton& Button(DialogButton button) = 0;

    // The panel's lasting background, and the form's.
    virtual void SetPanelBackground(const Picture& picture) = 0;
    virtual void SetFormBackground(const Picture& picture) = 0;
    // Img_BGM `mark` shows the selected or the unselected picture of Img_Ra.
    virtual void SetMarkPicture(int mark, bool selected) = 0;

    virtual void SetRepeatEnabled(bool enabled) = 0;
    virtual void SetRepeatText(const std::string& text) = 0;
    virtual void AddRepeatEntry(const std::string& text) = 0;
    virtual std::string RepeatText() = 0;
    // lbl_Fname's text, in the platform's narrow text (as BgmFile).
    virtual void SetFileLabel(const std::string& text) = 0;

    // GetCursorPos: empty when the call fails.
    virtual std::optional<ScreenPoint> CursorPosition() = 0;
    virtual void SetScreenCursor(DialogCursor cursor) = 0;
    // The picked path (platform narrow text), however long, or nothing when the user cancelled.
    virtual std::optional<std::string> PickFile(const FilePickRequest& request) = 0;
    // How many bytes the settings file will hold for `path` as a value; nothing when it cannot
    // hold it at all (on Linux, a name that is not UTF-8).
    virtual std::optional<size_t> StoredLength(const std::string& path) = 0;
    // A message box over the dialog, with an OK button; returns once it is dismissed.
    virtual void ShowMessage(const std::string& text) = 0;
    // Opens the address with the system's default handler; failures are not reported.
    virtual void OpenLink(const std::string& address) = 0;
    // Closes the window; FormUnload follows from the window's end.
    virtual void Close() = 0;
};

// What a mouse press on a surface lands on, among the controls that hear presses.
struct DialogHit {
    enum Kind { Nothing, Mark, KindLabel, Link } kind = Nothing;
    int index = 0;  // the music kind of a mark or its label
};
DialogHit HitTest(DialogSurface surface, int x, int y, const DialogScale& scale = DialogScale());

// The longest value the settings file gives back whole (its reader's 256-byte buffer).
constexpr size_t kLongestStoredValue = kLongestNarrowValue;
// What the dialog says of a pick it cannot keep (UTF-8).
extern const char* const kPathTooLongMessage;
extern const char* const kPathUnstorableMessage;

// The bytes a settings-file value takes on Linux, as its reader counts them (NarrowPrefix):
// per character, code page 932 when it gives the character back, else UTF-8; nothing when
// `utf8` is not UTF-8.
std::optional<size_t> StoredValueLength(TextCodec& codec, const std::string& utf8);

// The combo box's number format "##": nothing for 0.
std::string FormatTrack(int32_t value);
// "設定"'s reading of the track box: a number (blanks around it allowed) rounded to a whole
// number, halves to even; 0 for anything that is not a number or does not fit in 16 bits.
int16_t TrackFromText(std::string_view text);

// The form's background for a client of width × height: row y of the gradient is
// RGB(v, v, v + 30) with v = round(|sin(y ÷ (height ÷ 3.142))| × 220), halves to even.
Picture FormBackground(int width, int height);
uint32_t GradientRowColour(int y, int height);
// Where the strip is copied on a panel of W × H: column by column from the top-left, each
// column stacked downwards until a copy lands below the panel.
struct TilePlace {
    int x;
    int y;
};
std::vector<TilePlace> StripTilePlaces(int stripWidth, int stripHeight, int panelWidth,
                                       int panelHeight);
// The panel's background at a scale: its base colour covered by the strip's copies, with the
// outline (Ring() pixels wide).
Picture PanelBackground(const Picture& strip, const DialogScale& scale = DialogScale());
// The metal strip drawn at a scale's size.
Picture ScaledMetalStrip(const DialogScale& scale);

class SettingsDialog {
  public:
    // `settingsFile` is where "設定" writes the three keys.
    SettingsDialog(SettingsDialogView& view, std::string settingsFile);

    // The display scale the window is laid out at (96 DPI until told otherwise); a new scale
    // (the window moved to a monitor of another DPI) repaints the panel for it.
    void SetScale(const DialogScale& scale);
    const DialogScale& Scale() const { return scale_; }

    void FormLoad();
    // Form_Resize with the client's size in pixels.
    void FormResize(int clientWidth, int clientHeight);
    // Img_BGM_MouseDown and lbl_BGM_MouseDown, any mouse button.
    void KindMouseDown(int index);
    // A press on a surface: routed to the mark or label under it.
    void MouseDown(DialogSurface surface, int x, int y);
    void FileClick();
    void SetClick();
    void CancelClick();
    // The Click of one of the three buttons.
    void ButtonClick(DialogButton button);
    void LinkClick();
    void FormUnload();

    // ---- The keyboard ----
    // An arrow key on the music kinds: selects the next kind on screen, as a click on it does.
    void KindArrow(int step);
    // Return, Space or Escape pressed while `focus` has the keyboard focus; false when the key
    // is the focused control's own business.
    bool KeyPressed(DialogKey key, DialogControl focus);
    // Space released: the click of a button it pressed.
    void KeyReleased(DialogKey key, DialogControl focus);
    // The keyboard focus moved, or the focus cues were first shown: "設定" shows whether it is
    // the button Return presses.
    void FocusMoved(DialogControl focus, bool focusCuesShown);

    // What the "..." button asks the file-open dialog for.
    static FilePickRequest FileRequest();

  private:
    void ShowKind();

    SettingsDialogView& view_;
    std::string settingsFile_;
    DialogScale scale_;
    bool loaded_ = false;  // FormLoad has run
};

}  // namespace velmoria
