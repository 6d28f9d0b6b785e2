// The settings dialog's handlers, its hit testing and the pictures it composes: the gradient of
// the form and the tiled strip of the panel.
#include "shell/settings_dialog/settings_dialog.h"

#include <cmath>
#include <limits>
#include <stdexcept>

#include "assets/dialog_pictures.h"
#include "shell/guarded_step.h"
#include "shell/helpers.h"
#include "shell/platform.h"
#include "shell/settings/number_text.h"
#include "shell/settings/settings_file.h"

namespace velmoria {

namespace {

constexpr int kTrackEntries = 31;  // 0 (shown empty) to 30

void CheckKind(int kind) {
    if (kind < 0 || kind > 2) {
        throw std::out_of_range("no mark for this music kind");
    }
}

}  // namespace

DialogHit HitTest(DialogSurface surface, int x, int y, const DialogScale& scale) {
    if (surface == DialogSurface::Form) {
        return scale.Place(kLinkLabel.rect).Contains(x, y) ? DialogHit{DialogHit::Link, 0}
                                                           : DialogHit{};
    }
    for (int kind = 0; kind < 3; ++kind) {
        if (scale.Place(kMarkRects[kind]).Contains(x, y)) {
            return {DialogHit::Mark, kind};
        }
        if (scale.Place(kKindLabelRects[kind]).Contains(x, y)) {
            return {DialogHit::KindLabel, kind};
        }
    }
    return {};
}

std::string FormatTrack(int32_t value) {
    return value == 0 ? std::string() : std::to_string(value);
}

int16_t TrackFromText(std::string_view text) {
    const std::optional<double> value = WholeTextNumber(text);
    if (!value) {
        return 0;
    }
    const double rounded = std::nearbyint(*value);  // the default rounding: ties to even
    // A number that cannot be a 16-bit track means no track, like text that is no number.
    if (!(rounded >= -32768.0 && rounded <= 32767.0)) {
        return 0;
    }
    return static_cast<int16_t>(rounded);
}

uint32_t GradientRowColour(int y, int height) {
    const double k = height / 3.142;
    const auto v = static_cast<uint32_t>(std::nearbyint(std::fabs(std::sin(y / k)) * 220));
    return v << 16 | v << 8 | (v + 30);
}

Picture FormBackground(int width, int height) {
    Picture picture(width, height, kDialogBaseColour);
    // Row `height` is drawn as well, just outside the client.
    for (int y = 0; y < height; ++y) {
        const uint32_t colour = GradientRowColour(y, height);
        for (int x = 0; x < width; ++x) {
            picture.Set(x, y, colour);
        }
    }
    return picture;
}

std::vector<TilePlace> StripTilePlaces(int stripWidth, int stripHeight, int panelWidth,
                                       int panelHeight) {
    std::vector<TilePlace> places;
    if (stripWidth <= 0 || stripHeight <= 0) {
        return places;
    }
    int x = 0;
    int y = 0;
    for (;;) {
        places.push_back({x, y});
        if (y > panelHeight) {
            if (x > panelWidth) {
                break;
            }
            x += stripWidth;
            y = 0;
        } else {
            y += stripHeight;
        }
    }
    return places;
}

Picture ScaledMetalStrip(const DialogScale& scale) {
    return MakeMetalStrip(scale.Length(kMetalStripWidth), scale.Length(kMetalStripHeight));
}

Picture PanelBackground(const Picture& strip, const DialogScale& scale) {
    const DialogRect area = scale.Place(kPanelRect);
    Picture panel(area.width, area.height, kPanelBaseColour);
    for (const TilePlace& place :
         StripTilePlaces(strip.width, strip.height, panel.width, panel.height)) {
        for (int sy = 0; sy < strip.height && place.y + sy < panel.height; ++sy) {
            for (int sx = 0; sx < strip.width && place.x + sx < panel.width; ++sx) {
                panel.Set(place.x + sx, place.y + sy, strip.At(sx, sy));
            }
        }
    }
    // Shape3: a black outline, one pixel at 96 DPI.
    const DialogRect r = scale.Place(kTitleOutlineRect);
    const int ring = scale.Ring();
    for (int y = r.y; y < r.y + r.height; ++y) {
        for (int x = r.x; x < r.x + r.width; ++x) {
            const bool inside = x >= r.x + ring && x < r.x + r.width - ring && y >= r.y + ring &&
                                y < r.y + r.height - ring;
            if (!inside && x < panel.width && y < panel.height) {
                panel.Set(x, y, 0x000000);
            }
        }
    }
    return panel;
}

SettingsDialog::SettingsDialog(SettingsDialogView& view, std::string settingsFile)
    : view_(view), settingsFile_(std::move(settingsFile)) {}

FilePickRequest SettingsDialog::FileRequest() {
    FilePickRequest request;
    request.filterDescription = "BGMﾌｧｲﾙ (MP3 WAV)";
    request.filterPatterns = "*.MP3;*.WAV";
    request.initialFolder = BgmFolder;
    request.title = "ﾌｧｲﾙを開く";
    return request;
}

void SettingsDialog::FormLoad() {
    Guarded([&] {
        const ScreenArea screen = view_.Screen();
        const ScreenSize window = view_.WindowOuterSize();
        // Whole-number division, towards zero; on the primary monitor wherever it lies.
        view_.MoveWindow(screen.left + (screen.width - window.width) / 2,
                         screen.top + (screen.height - window.height) / 3);
    });
    Guarded([&] {
        for (const DialogButtonPlace& place : kDialogButtons) {
            view_.Button(place.button).Initialize();
        }
    });
    Guarded([&] { view_.SetPanelBackground(PanelBackground(ScaledMetalStrip(scale_), scale_)); });
    Guarded([&] { view_.SetRepeatEnabled(false); });
    Guarded([&] { ShowKind(); });
    Guarded([&] {
        if (BgmKind == 1) {
            view_.SetRepeatEnabled(true);
        }
        view_.Button(DialogButton::File).SetEnabled(BgmKind == 2);
    });
    Guarded([&] { view_.SetRepeatText(FormatTrack(BgmRepeat)); });
    Guarded([&] {
        for (int track = 0; track < kTrackEntries; ++track) {
            view_.AddRepeatEntry(FormatTrack(track));
        }
    });
    Guarded([&] { view_.SetFileLabel(BgmFile); });
    Guarded([&] {
        const std::optional<ScreenPoint> cursor = view_.CursorPosition();
        const ScreenPoint point = cursor.value_or(ScreenPoint{});
        if (point.x < -32768 || point.x > 32767 || point.y < -32768 || point.y > 32767) {
            throw std::overflow_error("the cursor lies beyond 16-bit coordinates");
        }
        ZoomX = static_cast<int16_t>(point.x);
        ZoomY = static_cast<int16_t>(point.y);
    });
    Guarded([&] { ZoomOpen(view_.WindowHandle()); });
    Guarded([&] { view_.SetScreenCursor(DialogCursor::Default); });
    loaded_ = true;
}

void SettingsDialog::SetScale(const DialogScale& scale) {
    const bool changed = !(scale == scale_);
    scale_ = scale;
    // Before the opening the panel is painted by FormLoad, at this scale.
    if (changed && loaded_) {
        Guarded(
            [&] { view_.SetPanelBackground(PanelBackground(ScaledMetalStrip(scale_), scale_)); });
    }
}

void SettingsDialog::FormResize(int clientWidth, int clientHeight) {
    Guarded([&] { view_.SetFormBackground(FormBackground(clientWidth, clientHeight)); });
}

// Every mark unselected, then BgmKind's selected; a kind without a mark throws in between.
void SettingsDialog::ShowKind() {
    for (int mark = 0; mark < 3; ++mark) {
        view_.SetMarkPicture(mark, false);
    }
    CheckKind(BgmKind);
    view_.SetMarkPicture(BgmKind, true);
}

void SettingsDialog::KindMouseDown(int index) {
    Guarded([&] {
        CheckKind(index);
        BgmKind = static_cast<int16_t>(index);
        view_.Button(DialogButton::File).SetEnabled(false);
        view_.SetRepeatEnabled(false);
        ShowKind();
        if (BgmKind == 1) {
            view_.SetRepeatEnabled(true);
        }
        if (BgmKind == 2) {
            view_.Button(DialogButton::File).SetEnabled(true);
        }
    });
}

void SettingsDialog::MouseDown(DialogSurface surface, int x, int y) {
    const DialogHit hit = HitTest(surface, x, y, scale_);
    if (hit.kind == DialogHit::Mark || hit.kind == DialogHit::KindLabel) {
        KindMouseDown(hit.index);
    }
}

const char* const kPathTooLongMessage =
    "ﾌｧｲﾙのﾊﾟｽが長すぎるため、設定に保存できません。もっと短いﾊﾟｽのﾌｧｲﾙを選んでください。";
const char* const kPathUnstorableMessage =
    "このﾌｧｲﾙ名は設定に保存できません。別の名前のﾌｧｲﾙを選んでください。";

std::optional<size_t> StoredValueLength(TextCodec& codec, const std::string& utf8) {
    std::u16string text;
    if (!codec.Utf8ToUtf16(utf8, text)) {
        return std::nullopt;
    }
    return NarrowPrefix(text, std::numeric_limits<size_t>::max(), codec).bytes;
}

void SettingsDialog::FileClick() {
    Guarded([&] {
        const std::optional<std::string> picked = view_.PickFile(FileRequest());
        if (!picked) {
            return;
        }
        // A path the next read would cut, or could not give back at all, would silently lose
        // the music: it is refused here, and the previous one kept.
        const std::optional<size_t> length = view_.StoredLength(*picked);
        if (!length || *length > kLongestStoredValue) {
            view_.ShowMessage(length ? kPathTooLongMessage : kPathUnstorableMessage);
            return;
        }
        BgmFile = *picked;
        view_.SetFileLabel(BgmFile);
        BgmFolder = FolderOf(BgmFile);
    });
}

void SettingsDialog::SetClick() {
    // The profile functions make the file but not its folder (%APPDATA%\Velmoria at first).
    Guarded([&] {
        if (!settingsFile_.empty()) {
            ShellPlatform::Current().CreateFolder(FolderOf(settingsFile_));
        }
    });
    WriteIniString(kSettingsSection, kKeyBgmKind, std::to_string(BgmKind), settingsFile_);
    Guarded([&] { BgmRepeat = TrackFromText(view_.RepeatText()); });
    WriteIniString(kSettingsSection, kKeyBgmRepeat, std::to_string(BgmRepeat), settingsFile_);
    WriteIniString(kSettingsSection, kKeyBgmFile, BgmFile, settingsFile_);
    Guarded([&] { view_.Close(); });
}

void SettingsDialog::CancelClick() {
    Guarded([&] { view_.Close(); });
}

void SettingsDialog::ButtonClick(DialogButton button) {
    switch (button) {
        case DialogButton::File:
            FileClick();
            break;
        case DialogButton::Set:
            SetClick();
            break;
        case DialogButton::Cancel:
            CancelClick();
            break;
    }
}

void SettingsDialog::LinkClick() {
    Guarded([&] { view_.SetScreenCursor(DialogCursor::Hourglass); });
    Guarded([&] { view_.OpenLink(kLinkLabel.text); });
    Guarded([&] { view_.SetScreenCursor(DialogCursor::Default); });
}

void SettingsDialog::KindArrow(int step) {
    KindMouseDown(KindAfterArrow(BgmKind, step));
}

namespace {

std::optional<DialogButton> ButtonOf(DialogControl control) {
    switch (control) {
        case DialogControl::FileButton:
            return DialogButton::File;
        case DialogControl::SetButton:
            return DialogButton::Set;
        case DialogControl::CancelButton:
            return DialogButton::Cancel;
        default:
            return std::nullopt;
    }
}

}  // namespace

bool SettingsDialog::KeyPressed(DialogKey key, DialogControl focus) {
    switch (ActionForKey(key, focus)) {
        case DialogKeyAction::None:
            return false;
        case DialogKeyAction::Activate:
            Guarded([&] {
                CommandButton& button = view_.Button(*ButtonOf(focus));
                if (key == DialogKey::Space) {
                    button.KeyDown();
                } else {
                    button.KeyActivate();
                }
            });
            return true;
        case DialogKeyAction::Set:
            SetClick();
            return true;
        case DialogKeyAction::Cancel:
            CancelClick();
            return true;
        case DialogKeyAction::OpenLink:
            LinkClick();
            return true;
    }
    return false;
}

void SettingsDialog::KeyReleased(DialogKey key, DialogControl focus) {
    const std::optional<DialogButton> button = ButtonOf(focus);
    if (key == DialogKey::Space && button) {
        Guarded([&] { view_.Button(*button).KeyUp(); });
    }
}

void SettingsDialog::FocusMoved(DialogControl focus, bool focusCuesShown) {
    Guarded([&] {
        view_.Button(DialogButton::Set).SetDefaultShown(DefaultButtonShown(focusCuesShown, focus));
    });
}

void SettingsDialog::FormUnload() {
    Guarded([&] { ZoomClose(view_.WindowHandle()); });
}

}  // namespace velmoria
