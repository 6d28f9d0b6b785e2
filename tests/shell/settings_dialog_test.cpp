// The settings dialog's handlers against a recording view: opening for each music kind, the
// kind clicks, the file pick, what "設定" stores (read back through the platform's INI file) and
// what "ｷｬﾝｾﾙ" does not; the gradient, the strip tiling and the dialog's pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "assets/dialog_pictures.h"
#include "shell/forms/shell_forms.h"
#include "shell/helpers.h"
#include "shell/settings/profile_file.h"
#include "shell/settings/settings_file.h"
#include "shell/settings_dialog/settings_dialog.h"
#include "tests/shell/test_files.h"
#include "tests/support/fake_shell_platform.h"

#ifdef _WIN32
#include "shell/win32/text_codec_win32.h"
#else
#include "shell/posix/text_codec_iconv.h"
#endif

namespace velmoria {
namespace {

#ifdef _WIN32
using NativeCodec = TextCodecWin32;
#else
using NativeCodec = TextCodecIconv;
#endif

std::string Repeat(const std::string& text, size_t times) {
    std::string out;
    for (size_t i = 0; i < times; ++i) {
        out += text;
    }
    return out;
}

// A button's window that notes its clicks and its faces among the dialog's calls.
class NotingButtonView final : public CommandButtonView {
  public:
    NotingButtonView(std::vector<std::string>& calls, const char* name)
        : calls_(calls), name_(name) {}
    void DrawFace(ButtonLook look, bool) override { face = look; }
    void LabelChanged() override {}
    void StartTrackingTimer(int) override {}
    void TakeFocus() override {}
    void RaiseClick() override { calls_.push_back(std::string("Click ") + name_); }

    ButtonLook face = ButtonLook::Normal;

  private:
    std::vector<std::string>& calls_;
    const char* name_;
};

class RecordingView final : public SettingsDialogView {
  public:
    RecordingView()
        : file_(fileView_, DialogFont()),
          set_(setView_, DialogFont()),
          cancel_(cancelView_, DialogFont()) {
        // As the dialog's windows load them: enabled.
        for (CommandButton* button : {&file_, &set_, &cancel_}) {
            button->ReadProperties(ButtonPropertySet::Parse(""));
        }
    }

    ScreenArea Screen() override { return screen; }
    ScreenSize WindowOuterSize() override { return {502, 275}; }
    void MoveWindow(int32_t left, int32_t top) override {
        calls.push_back("Move " + std::to_string(left) + "," + std::to_string(top));
    }
    uintptr_t WindowHandle() override { return 77; }
    CommandButton& Button(DialogButton button) override {
        return button == DialogButton::File ? file_ : button == DialogButton::Set ? set_ : cancel_;
    }
    void SetPanelBackground(const Picture& picture) override { panel = picture; }
    void SetFormBackground(const Picture& picture) override { form = picture; }
    void SetMarkPicture(int mark, bool selected) override { marks.at(mark) = selected ? 1 : 0; }
    void SetRepeatEnabled(bool enabled) override { repeatEnabled = enabled; }
    void SetRepeatText(const std::string& text) override { repeatText = text; }
    void AddRepeatEntry(const std::string& text) override { entries.push_back(text); }
    std::string RepeatText() override { return repeatText; }
    void SetFileLabel(const std::string& text) override { fileLabel = text; }
    std::optional<ScreenPoint> CursorPosition() override { return cursor; }
    void SetScreenCursor(DialogCursor c) override {
        calls.push_back(c == DialogCursor::Hourglass ? "Hourglass" : "Default");
    }
    std::optional<std::string> PickFile(const FilePickRequest& request) override {
        pickRequests.push_back(request);
        std::optional<std::string> answer = picks.empty() ? std::nullopt : picks.front();
        if (!picks.empty()) {
            picks.pop_front();
        }
        return answer;
    }
    std::optional<size_t> StoredLength(const std::string& path) override {
        const auto given = storedLengths.find(path);
        return given != storedLengths.end() ? given->second : path.size();
    }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    void OpenLink(const std::string& address) override { calls.push_back("Open " + address); }
    void Close() override { calls.push_back("Close"); }

    bool FileButtonEnabled() { return file_.EnabledField(); }
    ButtonLook SetButtonFace() const { return setView_.face; }

    ScreenArea screen = {0, 0, 1024, 768};  // the primary monitor
    std::vector<std::string> calls;
    Picture panel;
    Picture form;
    std::vector<int> marks{-1, -1, -1};  // -1: never given a picture
    bool repeatEnabled = true;
    std::string repeatText = "unset";
    std::vector<std::string> entries;
    std::string fileLabel = "unset";
    std::optional<ScreenPoint> cursor = ScreenPoint{300, 400};
    std::deque<std::optional<std::string>> picks;                // the user's answers, in turn
    std::map<std::string, std::optional<size_t>> storedLengths;  // else the path's own size
    std::vector<std::string> messages;
    std::vector<FilePickRequest> pickRequests;

  private:
    NotingButtonView fileView_{calls, "File"};
    NotingButtonView setView_{calls, "Set"};
    NotingButtonView cancelView_{calls, "Cancel"};
    CommandButton file_;
    CommandButton set_;
    CommandButton cancel_;
};

class SettingsDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        BgmKind = 0;
        BgmRepeat = 0;
        BgmFile.clear();
        BgmFolder = "start-folder";
        ZoomX = ZoomY = -1;
    }
    void Open(int16_t kind, int16_t repeat = 0, const std::string& file = "") {
        BgmKind = kind;
        BgmRepeat = repeat;
        BgmFile = file;
        dialog_.FormLoad();
    }
    std::string Stored(const char* key) {
        return GetIniString(kSettingsSection, key, settingsFile_);
    }

    ScratchFolder scratch_;
    std::string settingsFile_ = scratch_.Path("Velmoria.ini");
    test::FakeShellPlatform platform_;
    test::ConnectedShellPlatform connected_{platform_};
    RecordingView view_;
    SettingsDialog dialog_{view_, settingsFile_};
};

TEST_F(SettingsDialogTest, OpeningShowsTheKindTrackAndFile) {
    struct Case {
        int16_t kind;
        int16_t repeat;
        std::vector<int> marks;
        bool repeatEnabled;
        bool fileEnabled;
        const char* repeatText;
    };
    const Case cases[] = {
        {0, 0, {1, 0, 0}, false, false, ""},
        {1, 0, {0, 1, 0}, true, false, ""},  // CD, no track: the box is enabled and empty
        {1, 7, {0, 1, 0}, true, false, "7"},
        {2, 3, {0, 0, 1}, false, true, "3"},
        {3, 0, {0, 0, 0}, false, false, ""},  // a damaged file: nothing selected, all disabled
        {-1, 0, {0, 0, 0}, false, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("kind " + std::to_string(c.kind) + ", track " + std::to_string(c.repeat));
        RecordingView view;
        SettingsDialog dialog(view, settingsFile_);
        BgmKind = c.kind;
        BgmRepeat = c.repeat;
        BgmFile = "C:\\Music\\a.mp3";
        dialog.FormLoad();
        EXPECT_EQ(view.marks, c.marks);
        EXPECT_EQ(view.repeatEnabled, c.repeatEnabled);
        EXPECT_EQ(view.FileButtonEnabled(), c.fileEnabled);
        EXPECT_EQ(view.repeatText, c.repeatText);
        EXPECT_EQ(view.fileLabel, "C:\\Music\\a.mp3");
    }
}

TEST_F(SettingsDialogTest, OpeningPlacesTheWindowFillsTheListAndTakesTheZoomPoint) {
    Open(0);
    // (1024 - 502) / 2 across, (768 - 275) / 3 down.
    ASSERT_FALSE(view_.calls.empty());
    EXPECT_EQ(view_.calls.front(), "Move 261,164");
    EXPECT_EQ(view_.calls.back(), "Default");
    ASSERT_EQ(view_.entries.size(), 31u);
    EXPECT_EQ(view_.entries[0], "");
    EXPECT_EQ(view_.entries[1], "1");
    EXPECT_EQ(view_.entries[30], "30");
    EXPECT_EQ(ZoomX, 300);
    EXPECT_EQ(ZoomY, 400);
    EXPECT_EQ(view_.panel.width, kPanelRect.width);
    EXPECT_EQ(view_.panel.height, kPanelRect.height);

    RecordingView noCursor;
    noCursor.cursor.reset();
    SettingsDialog dialog(noCursor, settingsFile_);
    dialog.FormLoad();
    EXPECT_EQ(ZoomX, 0);
    EXPECT_EQ(ZoomY, 0);
}

// Centred across and a third down the primary monitor, wherever that monitor lies.
TEST_F(SettingsDialogTest, OpeningPlacesTheWindowOnThePrimaryMonitor) {
    struct Case {
        ScreenArea primary;
        const char* move;
    };
    const Case cases[] = {
        {{0, 0, 1024, 768}, "Move 261,164"},
        {{800, 0, 1024, 768}, "Move 1061,164"},  // right of another monitor
        {{0, 600, 1024, 768}, "Move 261,764"},   // below another
        {{-1280, -200, 1280, 1024}, "Move -891,49"},
        {{0, 0, 400, 200}, "Move -51,-25"},  // smaller than the window: towards zero
    };
    for (const Case& c : cases) {
        RecordingView view;
        view.screen = c.primary;
        SettingsDialog dialog(view, settingsFile_);
        dialog.FormLoad();
        ASSERT_FALSE(view.calls.empty());
        EXPECT_EQ(view.calls.front(), c.move);
    }
}

TEST_F(SettingsDialogTest, PressesOnMarksAndLabelsChooseTheKind) {
    Open(0);
    struct Press {
        int x, y;
        int16_t kind;  // afterwards
        bool repeatEnabled;
        bool fileEnabled;
    };
    const Press presses[] = {
        {kMarkRects[1].x, kMarkRects[1].y, 1, true, false},
        {kKindLabelRects[2].x + 5, kKindLabelRects[2].y + 12, 2, false, true},
        {kKindLabelRects[0].x + 21, kKindLabelRects[0].y, 0, false, false},
        {kMarkRects[2].x + 12, kMarkRects[2].y + 12, 2, false, true},
        {kMarkRects[2].x + 13, kMarkRects[2].y, 2, false, true},  // between mark and label
        {200, 150, 2, false, true},                               // the panel's empty part
    };
    for (const Press& press : presses) {
        SCOPED_TRACE(std::to_string(press.x) + "," + std::to_string(press.y));
        dialog_.MouseDown(DialogSurface::Panel, press.x, press.y);
        EXPECT_EQ(BgmKind, press.kind);
        std::vector<int> marks{0, 0, 0};
        marks[press.kind] = 1;
        EXPECT_EQ(view_.marks, marks);
        EXPECT_EQ(view_.repeatEnabled, press.repeatEnabled);
        EXPECT_EQ(view_.FileButtonEnabled(), press.fileEnabled);
    }
    // A press on the form where the panel's mark would be is no mark.
    dialog_.MouseDown(DialogSurface::Form, kMarkRects[0].x, kMarkRects[0].y);
    EXPECT_EQ(BgmKind, 2);
    EXPECT_FALSE(std::filesystem::exists(settingsFile_));  // nothing stored by a click
}

TEST(DialogKeyboardRules, KeysArrowsAndTheDefaultButton) {
    using C = DialogControl;
    using K = DialogKey;
    using A = DialogKeyAction;
    struct KeyCase {
        K key;
        C focus;
        A action;
    };
    const KeyCase keys[] = {
        {K::Return, C::Kinds, A::Set},
        {K::Return, C::Repeat, A::Set},
        {K::Return, C::FileButton, A::Activate},
        {K::Return, C::CancelButton, A::Activate},
        {K::Return, C::SetButton, A::Activate},
        {K::Return, C::Link, A::OpenLink},
        {K::Space, C::Kinds, A::None},
        {K::Space, C::Repeat, A::None},
        {K::Space, C::CancelButton, A::Activate},
        {K::Space, C::Link, A::OpenLink},
        {K::Escape, C::Repeat, A::Cancel},
        {K::Escape, C::SetButton, A::Cancel},
        {K::Escape, C::Link, A::Cancel},
    };
    for (const KeyCase& c : keys) {
        EXPECT_EQ(ActionForKey(c.key, c.focus), c.action)
            << static_cast<int>(c.key) << " on " << static_cast<int>(c.focus);
        EXPECT_EQ(DefaultButtonShown(true, c.focus),
                  c.focus == C::Kinds || c.focus == C::Repeat || c.focus == C::Link);
        EXPECT_FALSE(DefaultButtonShown(false, c.focus));
    }
    // On screen: 音楽CD (1), なし (0), MP3、WAV (2), round and round.
    struct ArrowCase {
        int from;
        int step;
        int to;
    };
    const ArrowCase arrows[] = {{1, 1, 0},  {0, 1, 2},  {2, 1, 1}, {1, -1, 2},
                                {0, -1, 1}, {2, -1, 0}, {3, 1, 1}, {-1, -1, 2}};
    for (const ArrowCase& c : arrows) {
        EXPECT_EQ(KindAfterArrow(c.from, c.step), c.to) << c.from << " by " << c.step;
    }
    // Tab skips what cannot take the focus, round the end either way.
    struct TabCase {
        C from;
        int step;
        std::vector<C> disabled;
        std::optional<C> to;
    };
    const TabCase tabs[] = {
        {C::Kinds, 1, {}, C::Repeat},
        {C::Kinds, 1, {C::Repeat, C::FileButton}, C::SetButton},
        {C::Link, 1, {}, C::Kinds},
        {C::Kinds, -1, {}, C::Link},
        {C::SetButton, -1, {C::Repeat, C::FileButton}, C::Kinds},
        {C::Kinds, 1, {C::Repeat, C::FileButton, C::SetButton, C::CancelButton, C::Link}, C::Kinds},
        {C::Kinds,
         1,
         {C::Kinds, C::Repeat, C::FileButton, C::SetButton, C::CancelButton, C::Link},
         std::nullopt},
    };
    for (const TabCase& c : tabs) {
        const auto canFocus = [&](C control) {
            return std::find(c.disabled.begin(), c.disabled.end(), control) == c.disabled.end();
        };
        EXPECT_EQ(NextInTabOrder(c.from, c.step, canFocus), c.to)
            << static_cast<int>(c.from) << " by " << c.step;
    }
    // The names a screen reader reads are the texts on screen.
    EXPECT_STREQ(kAccessibleKinds[1].name, "音楽CD");
    EXPECT_STREQ(kAccessibleRepeat.name, "曲目をﾘﾋﾟｰﾄ");
    for (const DialogButtonPlace& place : kDialogButtons) {
        const std::string caption = kAccessibleButtons[static_cast<int>(place.button)].name;
        EXPECT_EQ(std::string(place.properties), "Caption = \"" + caption + "\"\n");
    }
}

TEST_F(SettingsDialogTest, TheKeyboardWorksTheDialogAsTheMouseDoes) {
    Open(0, 0, "C:\\Music\\a.mp3");
    dialog_.KindArrow(1);  // なし -> MP3、WAV
    EXPECT_EQ(BgmKind, 2);
    EXPECT_EQ(view_.marks, (std::vector<int>{0, 0, 1}));
    EXPECT_TRUE(view_.FileButtonEnabled());
    dialog_.KindArrow(1);  // round to 音楽CD
    EXPECT_EQ(BgmKind, 1);
    EXPECT_TRUE(view_.repeatEnabled);
    EXPECT_FALSE(view_.FileButtonEnabled());
    EXPECT_FALSE(std::filesystem::exists(settingsFile_));  // an arrow only selects

    // "設定" shows it is the default once the cues are shown, while no button has the focus.
    EXPECT_EQ(view_.SetButtonFace(), ButtonLook::Normal);
    dialog_.FocusMoved(DialogControl::Kinds, false);
    EXPECT_EQ(view_.SetButtonFace(), ButtonLook::Normal);
    dialog_.FocusMoved(DialogControl::Repeat, true);
    EXPECT_EQ(view_.SetButtonFace(), ButtonLook::Selected);
    dialog_.FocusMoved(DialogControl::CancelButton, true);
    EXPECT_EQ(view_.SetButtonFace(), ButtonLook::Normal);

    view_.calls.clear();
    EXPECT_FALSE(dialog_.KeyPressed(DialogKey::Space, DialogControl::Kinds));
    // Space on a button clicks at the release; Escape cancels without storing.
    EXPECT_TRUE(dialog_.KeyPressed(DialogKey::Space, DialogControl::CancelButton));
    EXPECT_EQ(view_.calls, std::vector<std::string>{});
    dialog_.KeyReleased(DialogKey::Space, DialogControl::CancelButton);
    EXPECT_TRUE(dialog_.KeyPressed(DialogKey::Return, DialogControl::FileButton));  // disabled
    EXPECT_TRUE(dialog_.KeyPressed(DialogKey::Escape, DialogControl::Repeat));
    EXPECT_TRUE(dialog_.KeyPressed(DialogKey::Return, DialogControl::Link));
    EXPECT_EQ(view_.calls, (std::vector<std::string>{"Click Cancel", "Close", "Hourglass",
                                                     "Open https://velmoria.org/", "Default"}));
    EXPECT_FALSE(std::filesystem::exists(settingsFile_));

    // Return outside the buttons is "設定".
    view_.calls.clear();
    view_.repeatText = "12";
    EXPECT_TRUE(dialog_.KeyPressed(DialogKey::Return, DialogControl::Kinds));
    EXPECT_EQ(view_.calls, std::vector<std::string>{"Close"});
    EXPECT_EQ(Stored(kKeyBgmKind), "1");
    EXPECT_EQ(Stored(kKeyBgmRepeat), "12");
    EXPECT_EQ(Stored(kKeyBgmFile), "C:\\Music\\a.mp3");
}

// Above 96 DPI every edge scales by DPI / 96, so the layout is the 96-DPI one enlarged.
TEST(DialogScaleTable, EveryEdgeScalesByDpiOver96) {
    struct Case {
        int dpi;
        int clientWidth, clientHeight;
        DialogRect panel;
        DialogRect fileButton;  // on the panel
        DialogRect setButton;   // on the form
        int ring;
        int fontPixels;  // 9.75 pt
    };
    const Case cases[] = {
        {96, 496, 246, {12, 16, 469, 165}, {112, 92, 41, 21}, {324, 200, 77, 25}, 1, 13},
        {120, 620, 308, {15, 20, 586, 206}, {140, 115, 51, 26}, {405, 250, 96, 31}, 1, 16},
        {144, 744, 369, {18, 24, 704, 248}, {168, 138, 62, 32}, {486, 300, 116, 38}, 2, 20},
        {168, 868, 431, {21, 28, 821, 289}, {196, 161, 72, 37}, {567, 350, 135, 44}, 2, 23},
        {192, 992, 492, {24, 32, 938, 330}, {224, 184, 82, 42}, {648, 400, 154, 50}, 2, 26},
    };
    const auto same = [](const DialogRect& a, const DialogRect& b) {
        return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dpi);
        const DialogScale scale(c.dpi);
        EXPECT_EQ(scale.ClientWidth(), c.clientWidth);
        EXPECT_EQ(scale.ClientHeight(), c.clientHeight);
        EXPECT_TRUE(same(scale.Place(kPanelRect), c.panel));
        EXPECT_TRUE(same(scale.Place(kDialogButtons[0].rect), c.fileButton));
        EXPECT_TRUE(same(scale.Place(kDialogButtons[1].rect), c.setButton));
        EXPECT_EQ(scale.Ring(), c.ring);
        EXPECT_EQ(scale.FontPixels(9.75), c.fontPixels);
        // Neighbours stay neighbours: "設定" and "ｷｬﾝｾﾙ" keep their gap, the panel's right edge
        // stays where the buttons' right edge is.
        const DialogRect set = scale.Place(kDialogButtons[1].rect);
        const DialogRect cancel = scale.Place(kDialogButtons[2].rect);
        EXPECT_LE(std::abs(cancel.x - (set.x + set.width) - scale.Length(3)), 1);
        EXPECT_EQ(cancel.x + cancel.width, c.panel.x + c.panel.width);
        // Every control lies inside its surface.
        for (const DialogRect& child : {scale.Place(kFileLabelRect), scale.Place(kRepeatComboRect),
                                        scale.Place(kMarkRects[2]), c.fileButton}) {
            EXPECT_LE(child.x + child.width, c.panel.width);
            EXPECT_LE(child.y + child.height, c.panel.height);
        }
        EXPECT_LE(cancel.y + cancel.height, c.clientHeight);
    }
    // At 96 DPI nothing moves.
    const DialogScale design;
    for (const DialogRect& r : {kPanelRect, kTitleOutlineRect, kRepeatComboRect, kFileLabelRect,
                                kMarkRects[0], kKindLabelRects[2], kLinkLabel.rect}) {
        EXPECT_TRUE(same(design.Place(r), r));
    }
    EXPECT_EQ(DialogScale(0).Dpi(), 96);  // no DPI reported: the design scale
}

TEST_F(SettingsDialogTest, AtALargerScaleThePanelAndHitsFollow) {
    const DialogScale scale(144);
    dialog_.SetScale(scale);
    Open(0);
    ASSERT_EQ(view_.panel.width, 704);
    ASSERT_EQ(view_.panel.height, 248);
    // Shape3's outline is two pixels wide at 150 %, with the strip inside it.
    const DialogRect outline = scale.Place(kTitleOutlineRect);
    EXPECT_EQ(view_.panel.At(outline.x, outline.y + 5), 0u);
    EXPECT_EQ(view_.panel.At(outline.x + 1, outline.y + 5), 0u);
    EXPECT_NE(view_.panel.At(outline.x + 2, outline.y + 5), 0u);
    EXPECT_EQ(view_.panel.At(outline.x + outline.width - 2, outline.y + outline.height - 1), 0u);

    // A press inside the scaled "MP3、WAV" label but beyond its 96-DPI rectangle picks kind 2.
    const DialogRect label = scale.Place(kKindLabelRects[2]);
    dialog_.MouseDown(DialogSurface::Panel, label.x + label.width - 1, label.y + label.height - 1);
    EXPECT_EQ(BgmKind, 2);
    EXPECT_EQ(HitTest(DialogSurface::Panel, label.x + label.width, label.y, scale).kind,
              DialogHit::Nothing);
    const DialogRect link = scale.Place(kLinkLabel.rect);
    EXPECT_EQ(HitTest(DialogSurface::Form, link.x + link.width - 1, link.y, scale).kind,
              DialogHit::Link);
    EXPECT_EQ(HitTest(DialogSurface::Form, link.x + link.width - 1, link.y).kind,
              DialogHit::Nothing);

    // Back on a 96-DPI monitor the panel is repainted at its design size.
    dialog_.SetScale(DialogScale());
    EXPECT_EQ(view_.panel.width, kPanelRect.width);
}

TEST_F(SettingsDialogTest, SetStoresTheThreeKeysWithTheTrackRule) {
    struct Case {
        const char* typed;
        const char* stored;
    };
    const Case cases[] = {
        {"12", "12"},   {"", "0"},       {"abc", "0"},   {"2.5", "2"},         {"3.5", "4"},
        {" 7 ", "7"},   {"1e1", "10"},   {"-3", "-3"},   {"12abc", "0"},       {"32767", "32767"},
        {"32768", "0"}, {"-40000", "0"}, {"1e400", "0"}, {"32767.4", "32767"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("typed \"") + c.typed + "\"");
        RecordingView view;
        SettingsDialog dialog(view, settingsFile_);
        BgmKind = 1;
        BgmRepeat = 5;
        BgmFile = "song.mp3";
        dialog.FormLoad();
        view.repeatText = c.typed;
        dialog.SetClick();
        EXPECT_EQ(Stored(kKeyBgmKind), "1");
        EXPECT_EQ(Stored(kKeyBgmRepeat), c.stored);
        EXPECT_EQ(Stored(kKeyBgmFile), "song.mp3");
        EXPECT_EQ(view.calls.back(), "Close");
    }
}

TEST_F(SettingsDialogTest, SetWritesTheKeysInOrderIntoANewFile) {
    Open(2, 0, "");
    view_.repeatText = "7";
    dialog_.SetClick();
    // Kind, track, file: the values tell the lines apart whatever the keys' encoding.
    const std::string bytes = scratch_.Read("Velmoria.ini");
    const size_t section = bytes.find("[Section]\r\n");
    const size_t kind = bytes.find("=2\r\n");
    const size_t repeat = bytes.find("=7\r\n");
    const size_t file = bytes.find("=\r\n");
    ASSERT_EQ(section, 0u) << bytes;
    ASSERT_NE(file, std::string::npos) << bytes;
    EXPECT_LT(section, kind);
    EXPECT_LT(kind, repeat);
    EXPECT_LT(repeat, file);
    EXPECT_EQ(Stored(kKeyBgmKind), "2");
    EXPECT_EQ(Stored(kKeyBgmFile), "");
}

TEST_F(SettingsDialogTest, APickedFileStaysStoredWhenNoMusicIsChosen) {
    Open(0);
    dialog_.MouseDown(DialogSurface::Panel, kKindLabelRects[2].x, kKindLabelRects[2].y);
    const std::string picked = scratch_.Path("theme.mp3");
    view_.picks.push_back(picked);
    dialog_.ButtonClick(DialogButton::File);
    ASSERT_EQ(view_.pickRequests.size(), 1u);
    const FilePickRequest& request = view_.pickRequests[0];
    EXPECT_EQ(request.title, "ﾌｧｲﾙを開く");
    EXPECT_EQ(request.filterDescription, "BGMﾌｧｲﾙ (MP3 WAV)");
    EXPECT_EQ(request.filterPatterns, "*.MP3;*.WAV");
    EXPECT_EQ(request.initialFolder, "start-folder");
    EXPECT_EQ(request.bufferCharacters, 255);
    EXPECT_EQ(view_.fileLabel, picked);
    EXPECT_EQ(BgmFolder, scratch_.Folder());
    EXPECT_EQ(BgmKind, 2);  // the pick leaves the kind alone

    dialog_.MouseDown(DialogSurface::Panel, kMarkRects[0].x, kMarkRects[0].y);
    dialog_.ButtonClick(DialogButton::Set);
    EXPECT_EQ(Stored(kKeyBgmKind), "0");
    EXPECT_EQ(Stored(kKeyBgmFile), picked);
}

// A pick the settings file could not give back whole is refused with a message: the previous
// file, its folder and the kind stay, so "設定" never stores a kind 2 whose file the next read
// loses.
TEST_F(SettingsDialogTest, APickTheSettingsCannotKeepIsRefused) {
    struct Case {
        const char* name;
        std::string path;
        std::optional<size_t> stored;
        const char* message;  // nullptr: kept
    };
    const std::string folder = scratch_.Folder() + "/";
    const Case cases[] = {
        {"255 bytes", folder + std::string(255 - folder.size() - 4, 'a') + ".mp3", 255, nullptr},
        {"256 bytes", folder + std::string(256 - folder.size() - 4, 'a') + ".mp3", 256,
         kPathTooLongMessage},
        {"100 Japanese characters, 300 bytes", folder + "曲.mp3", 300, kPathTooLongMessage},
        {"a name the file cannot hold", folder + "\xFC\xFD.mp3", std::nullopt,
         kPathUnstorableMessage},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BgmFolder = "start-folder";
        Open(2, 0, "old.mp3");
        view_.messages.clear();
        view_.storedLengths[c.path] = c.stored;
        view_.picks.push_back(c.path);
        dialog_.FileClick();
        if (c.message == nullptr) {
            EXPECT_TRUE(view_.messages.empty());
            EXPECT_EQ(BgmFile, c.path);
            continue;
        }
        ASSERT_EQ(view_.messages.size(), 1u);
        EXPECT_EQ(view_.messages[0], c.message);
        EXPECT_EQ(BgmFile, "old.mp3");
        EXPECT_EQ(view_.fileLabel, "old.mp3");
        EXPECT_EQ(BgmFolder, "start-folder");
    }
}

// The pick measured as the Linux dialog measures it, against the settings file's own writer and
// reader: a path is kept exactly when it comes back whole. Each odd character has a code page 932
// form that reads back as another character, so the file holds it in UTF-8; beside é (UTF-8
// only) the kanji still count their two code page 932 bytes.
TEST_F(SettingsDialogTest, APickIsKeptExactlyWhenTheSettingsFileGivesItBackWhole) {
    NativeCodec codec;
    struct Case {
        std::string path;
        size_t bytes;  // as the file's reader counts them
    };
    std::vector<Case> cases;
    const std::string kanji = Repeat("曲", 20);
    for (const std::string odd : {"¢", "£", "¥", "¬", "—", "‖", "‾", "−", "〜"}) {
        for (const size_t bytes : {254, 255, 256}) {
            const size_t fill = bytes - odd.size() - 9;
            cases.push_back({"/m/あ" + odd + std::string(fill, 'a') + ".mp3", bytes});
            cases.push_back(
                {"/m/" + kanji + odd + "é" + std::string(fill - 40, 'a') + ".mp3", bytes});
        }
    }
    // 265 bytes of UTF-8.
    cases.push_back(
        {"/home/user/" + Repeat("曲", 50) + "/" + Repeat("ア", 30) + "/Beyoncé.mp3", 185});

    const std::string before = "[Section]\r\nBGM\x8B\xE6\x95\xAA=2\r\n";  // BGM区分=2
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const std::optional<size_t> measured = StoredValueLength(codec, c.path);
        EXPECT_EQ(measured, c.bytes);
        BgmFile = "old.mp3";
        view_.messages.clear();
        view_.storedLengths[c.path] = measured;
        view_.picks.push_back(c.path);
        dialog_.FileClick();
        const bool kept = BgmFile == c.path;
        EXPECT_EQ(view_.messages.size(), kept ? 0u : 1u);

        const ProfileUpdate update =
            UpdateProfileFile(&before, "Section", "BGMﾌｧｲﾙ", c.path, codec);
        const bool whole = ReadProfileValue(update.bytes, "Section", "BGMﾌｧｲﾙ", codec) == c.path;
        EXPECT_EQ(kept, whole);
        EXPECT_EQ(whole, c.bytes <= kLongestStoredValue);
        EXPECT_EQ(ReadProfileValue(update.bytes, "Section", "BGM区分", codec), "2");
    }
}

TEST_F(SettingsDialogTest, ACancelledPickKeepsThePathAndFolder) {
    Open(2, 0, "old.mp3");
    view_.picks.push_back(std::nullopt);
    dialog_.FileClick();
    EXPECT_EQ(view_.fileLabel, "old.mp3");
    EXPECT_EQ(BgmFile, "old.mp3");
    EXPECT_EQ(BgmFolder, "start-folder");
    // The next pick starts where the last one left.
    view_.picks.push_back(scratch_.Path("b.wav"));
    dialog_.FileClick();
    view_.picks.push_back(std::nullopt);
    dialog_.FileClick();
    EXPECT_EQ(view_.pickRequests.back().initialFolder, scratch_.Folder());
}

TEST_F(SettingsDialogTest, CancelWritesNothing) {
    const std::string before = "[Section]\r\nBGM=x\r\n";
    scratch_.Write("Velmoria.ini", before);
    Open(0);
    dialog_.MouseDown(DialogSurface::Panel, kMarkRects[2].x, kMarkRects[2].y);
    view_.picks.push_back(scratch_.Path("c.mp3"));
    dialog_.FileClick();
    view_.repeatText = "9";
    dialog_.ButtonClick(DialogButton::Cancel);
    EXPECT_EQ(view_.calls.back(), "Close");
    EXPECT_EQ(scratch_.Read("Velmoria.ini"), before);
}

// Starting values from the program folder's file: "設定" writes them into the user's own file,
// in a folder made for it, and leaves the program folder's file as it was.
TEST_F(SettingsDialogTest, SetWritesOnlyTheUsersFile) {
    const std::string programBytes =
        "[Section]\r\nBGM\x8B\xE6\x95\xAA=1\r\nBGM\xD8\xCB\xDF\xB0\xC4=5\r\n";
    platform_.programSettingsFile = scratch_.Write("program.ini", programBytes);
    const std::filesystem::path userFolder = std::filesystem::path(scratch_.Folder()) / "user";
    platform_.settingsFile = (userFolder / "Velmoria.ini").string();
    ReadSettings();
    ASSERT_EQ(BgmRepeat, 5);
    ShellForms("/c").ShowSettingsDialog();
    ASSERT_EQ(platform_.calls.back(), "RunSettingsDialog " + platform_.settingsFile);

    // The fake makes no folders: the test makes the one the dialog asks for.
    std::filesystem::create_directory(userFolder);
    RecordingView view;
    SettingsDialog dialog(view, platform_.settingsFile);
    dialog.FormLoad();
    dialog.ButtonClick(DialogButton::Set);
    EXPECT_EQ(platform_.folders, std::vector<std::string>{userFolder.string()});
    EXPECT_EQ(scratch_.Read("user/Velmoria.ini"), programBytes + "BGM\xCC\xA7\xB2\xD9=\r\n");
    EXPECT_EQ(scratch_.Read("program.ini"), programBytes);
}

TEST_F(SettingsDialogTest, TheLinkOpensBetweenHourglassAndDefault) {
    Open(0);
    view_.calls.clear();
    dialog_.LinkClick();
    const std::vector<std::string> expected{"Hourglass", std::string("Open ") + kProjectHomePage,
                                            "Default"};
    EXPECT_EQ(view_.calls, expected);
}

TEST(SettingsDialogHitTest, EachSurfaceHasItsOwnControls) {
    struct Case {
        DialogSurface surface;
        int x, y;
        DialogHit::Kind kind;
        int index;
    };
    const Case cases[] = {
        {DialogSurface::Panel, 28, 56, DialogHit::Mark, 1},
        {DialogSurface::Panel, 40, 68, DialogHit::Mark, 1},
        {DialogSurface::Panel, 41, 56, DialogHit::Nothing, 0},
        {DialogSurface::Panel, 44, 76, DialogHit::KindLabel, 0},
        {DialogSurface::Panel, 103, 108, DialogHit::KindLabel, 2},
        {DialogSurface::Panel, 104, 96, DialogHit::Nothing, 0},
        {DialogSurface::Form, 12, 208, DialogHit::Link, 0},
        {DialogSurface::Form, 230, 220, DialogHit::Link, 0},
        {DialogSurface::Form, 231, 208, DialogHit::Nothing, 0},
        {DialogSurface::Form, 12, 192, DialogHit::Nothing, 0},  // the credit line
        {DialogSurface::Panel, 12, 208, DialogHit::Nothing, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        const DialogHit hit = HitTest(c.surface, c.x, c.y);
        EXPECT_EQ(hit.kind, c.kind);
        if (c.kind != DialogHit::Nothing) {
            EXPECT_EQ(hit.index, c.index);
        }
    }
}

TEST(SettingsDialogPictures, TheGradientIsDarkAtTheEdgesAndPaleInTheMiddle) {
    for (const int height : {246, 100, 31, 2}) {
        SCOPED_TRACE("height " + std::to_string(height));
        const Picture form = FormBackground(8, height);
        EXPECT_EQ(form.At(0, 0), 0x00001Eu);
        EXPECT_EQ(form.At(7, height / 2), 0xDCDCFAu);
        // Lighter towards the middle from both edges, every row a grey with 30 more blue.
        for (int y = 1; y <= height / 2; ++y) {
            const uint32_t v = form.At(0, y) >> 16;
            EXPECT_GE(v, form.At(0, y - 1) >> 16);
            EXPECT_EQ(form.At(3, y), v << 16 | v << 8 | (v + 30));
        }
        for (int y = height / 2 + 1; y < height; ++y) {
            EXPECT_LE(form.At(0, y) >> 16, form.At(0, y - 1) >> 16);
        }
    }
    // round(|sin(y ÷ k)| × 220) at a few rows of the dialog's 246.
    EXPECT_EQ(GradientRowColour(1, 246), 0x030321u);    // 2.81
    EXPECT_EQ(GradientRowColour(40, 246), 0x6C6C8Au);   // 107.6
    EXPECT_EQ(GradientRowColour(245, 246), 0x030321u);  // 2.70, near π again
}

TEST(SettingsDialogPictures, TheStripIsTiledColumnByColumn) {
    std::vector<std::pair<int, int>> places;
    for (const TilePlace& p : StripTilePlaces(556, 20, 469, 165)) {
        places.emplace_back(p.x, p.y);
    }
    // Copies go on until one lands below the panel (y > 165), then one more column, which
    // starts beyond the panel's width and ends the loop at its own foot.
    ASSERT_EQ(places.size(), 20u);
    EXPECT_EQ(places[0], std::make_pair(0, 0));
    EXPECT_EQ(places[9], std::make_pair(0, 180));
    EXPECT_EQ(places[10], std::make_pair(556, 0));
    EXPECT_EQ(places[19], std::make_pair(556, 180));

    std::vector<std::pair<int, int>> small;
    for (const TilePlace& p : StripTilePlaces(4, 3, 5, 3)) {
        small.emplace_back(p.x, p.y);
    }
    const std::vector<std::pair<int, int>> expected{{0, 0}, {0, 3}, {0, 6}, {4, 0}, {4, 3},
                                                    {4, 6}, {8, 0}, {8, 3}, {8, 6}};
    EXPECT_EQ(small, expected);
    EXPECT_TRUE(StripTilePlaces(0, 20, 469, 165).empty());

    const Picture strip = MakeMetalStrip();
    const Picture panel = PanelBackground(strip);
    EXPECT_EQ(panel.At(0, 0), strip.At(0, 0));
    EXPECT_EQ(panel.At(468, 164), strip.At(468, 164 % 20));
    EXPECT_EQ(panel.At(150, 45), strip.At(150, 5));
    // Shape3's outline, and the strip inside it.
    const DialogRect& outline = kTitleOutlineRect;
    EXPECT_EQ(panel.At(outline.x, outline.y), 0u);
    EXPECT_EQ(panel.At(outline.x + outline.width - 1, outline.y + outline.height - 1), 0u);
    EXPECT_EQ(panel.At(outline.x + 1, outline.y + 1),
              strip.At(outline.x + 1, (outline.y + 1) % 20));
}

TEST(SettingsDialogPictures, TheArtworkHasItsSizesAndLooks) {
    const Picture strip = MakeMetalStrip();
    ASSERT_EQ(strip.width, kMetalStripWidth);
    ASSERT_EQ(strip.height, kMetalStripHeight);
    const auto columnMean = [&](int x, int shift) {
        double sum = 0;
        for (int y = 0; y < strip.height; ++y) {
            sum += (strip.At(x, y) >> shift) & 0xFF;
        }
        return sum / strip.height;
    };
    EXPECT_NEAR(columnMean(0, 16), 223, 4);
    EXPECT_NEAR(columnMean(555, 16), 176, 4);
    EXPECT_NEAR(columnMean(555, 0), 175, 4);
    // Brushed: rows differ from each other.
    EXPECT_NE(strip.At(100, 3), strip.At(100, 4));

    for (const bool selected : {false, true}) {
        SCOPED_TRACE(selected ? "selected" : "unselected");
        const Picture mark = MakeSelectionMark(selected);
        ASSERT_EQ(mark.width, kMarkPictureSize);
        ASSERT_EQ(mark.height, kMarkPictureSize);
        const auto grey = [&](int x, int y) { return (mark.At(x, y) >> 8) & 0xFF; };
        EXPECT_LT(grey(0, 5), grey(11, 5));  // sunken: dark above and left, light below and right
        EXPECT_LT(grey(1, 5), 80u);          // the dark frame
        const uint32_t middle = mark.At(5, 5);
        const uint32_t rim = mark.At(2, 2);
        if (selected) {
            EXPECT_GT(middle & 0xFF, (middle >> 16) & 0xFF);  // blue
            EXPECT_GT(middle & 0xFF, rim & 0xFF);             // brighter than its rim
        } else {
            EXPECT_EQ(middle & 0xFF, (middle >> 16) & 0xFF);  // grey
            EXPECT_LT(mark.At(2, 2), mark.At(9, 9));          // to white at the lower right
            EXPECT_EQ(mark.At(9, 9), 0xFFFFFFu);
        }
    }

    const Picture hand = MakeHandCursor();
    ASSERT_EQ(hand.width, kHandCursorSize);
    EXPECT_EQ(hand.At(0, 0) >> 24, 0u);
    EXPECT_EQ(hand.At(kHandCursorHotX, kHandCursorHotY), 0xFF000000u);  // the fingertip's edge
    EXPECT_EQ(hand.At(kHandCursorHotX, kHandCursorHotY - 1) >> 24, 0u);
    EXPECT_EQ(hand.At(16, 24), 0xFFFFFFFFu);  // the palm

    // At 150 %: a 48-pixel hand whose fingertip is at the scaled hot spot; 18-pixel marks whose
    // rings are two pixels; the strip drawn at 834 x 30 with the same tones.
    const Picture bigHand = MakeHandCursor(48);
    const PicturePoint hot = HandCursorHotSpot(48);
    EXPECT_EQ(hot.x, 18);
    EXPECT_EQ(hot.y, 15);
    EXPECT_EQ(bigHand.At(hot.x, hot.y), 0xFF000000u);
    EXPECT_EQ(bigHand.At(hot.x, hot.y - 1) >> 24, 0u);
    EXPECT_EQ(bigHand.At(24, 36), 0xFFFFFFFFu);  // the palm
    EXPECT_EQ(HandCursorHotSpot(32).x, kHandCursorHotX);
    for (const bool selected : {false, true}) {
        const Picture mark = MakeSelectionMark(selected, 18, 2);
        EXPECT_EQ(mark.At(0, 9), mark.At(1, 9));  // shadow, two pixels
        EXPECT_EQ(mark.At(2, 9), 0x303038u);      // then the dark frame, two pixels
        EXPECT_EQ(mark.At(3, 9), 0x303038u);
        EXPECT_NE(mark.At(4, 9), 0x303038u);   // then the face
        EXPECT_EQ(mark.At(17, 9), 0xFFFFFFu);  // light below and right
        EXPECT_EQ(mark.At(16, 9), 0xFFFFFFu);
    }
    EXPECT_EQ(MakeSelectionMark(false, 18, 2).At(13, 13), 0xFFFFFFu);  // white at the lower right
    const Picture bigStrip = MakeMetalStrip(834, 30);
    ASSERT_EQ(bigStrip.width, 834);
    EXPECT_NEAR(static_cast<double>((bigStrip.At(833, 15) >> 16) & 0xFF), 176, 8);
    EXPECT_NEAR(static_cast<double>((bigStrip.At(0, 15) >> 16) & 0xFF), 223, 8);

    for (const int size : {16, 32}) {
        const Picture icon = MakeDialogIcon(size);
        ASSERT_EQ(icon.width, size);
        EXPECT_EQ(icon.At(0, 0) >> 24, 0u);
        EXPECT_EQ(icon.At(size / 2, size / 2) >> 24, 0xFFu);
    }
}

#ifdef VELMORIA_SOURCE_DIR
// The icon the Windows resources carry is the generator's: make-icon writes it anew.
TEST(SettingsDialogPictures, TheIconFileIsTheGeneratorsIcon) {
    std::ifstream file(std::string(VELMORIA_SOURCE_DIR) + "/assets/velmoria.ico", std::ios::binary);
    const std::vector<uint8_t> stored{std::istreambuf_iterator<char>(file), {}};
    const std::vector<uint8_t> drawn = MakeIconFile();
    EXPECT_EQ(stored.size(), drawn.size());
    EXPECT_TRUE(stored == drawn) << "assets/velmoria.ico is stale: build/linux/tools/make-icon";
    // Its directory: three 32-bit images, 16, 32 and 48 pixels.
    ASSERT_GE(drawn.size(), 54u);
    EXPECT_EQ(drawn[2], 1);
    EXPECT_EQ(drawn[4], 3);
    EXPECT_EQ(drawn[6], 16);
    EXPECT_EQ(drawn[22], 32);
    EXPECT_EQ(drawn[38], 48);
    EXPECT_EQ(drawn[12], 32);  // bits per pixel
}
#endif

}  // namespace
}  // namespace velmoria
