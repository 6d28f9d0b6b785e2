// The gradient button's state machine against a recording window: every row of the transition
// table, the click rule, tracking, the properties' side effects and the stored property set.
#include "shell/controls/command_button.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/controls/button_face.h"

namespace velmoria {
namespace {

// Records what the control asks of its window, one line per call.
class RecordingView : public CommandButtonView {
  public:
    void DrawFace(ButtonLook look, bool reverse) override {
        calls.push_back(std::string("face ") + ButtonLookName(look) +
                        (reverse ? " reversed" : " normal"));
    }
    void LabelChanged() override {}
    void StartTrackingTimer(int intervalMs) override {
        calls.push_back("timer " + std::to_string(intervalMs));
    }
    void TakeFocus() override {
        calls.push_back("take focus");
        if (button != nullptr && giveFocus) {
            button->FocusGained();
        }
    }
    void RaiseClick() override { calls.push_back("click"); }
    void PropertyChanged(const char* name) override {
        calls.push_back(std::string("changed ") + name);
    }

    // Faces drawn since the last call.
    std::vector<std::string> Take() {
        std::vector<std::string> taken;
        taken.swap(calls);
        return taken;
    }

    std::vector<std::string> calls;
    CommandButton* button = nullptr;
    bool giveFocus = true;
};

// Brings a loaded, initialised 77 x 25 button into a state from 1 to 4.
void Prepare(CommandButton& button, RecordingView& view, int state) {
    button.ReadProperties(ButtonPropertySet::Parse("Caption = \"OK\"\n"));
    button.Resized(1155, 375);
    button.Initialize();
    if (state == 3 || state == 4) {
        button.FocusGained();
    }
    if (state == 2 || state == 4) {
        button.MouseMove();
    }
    ASSERT_EQ(button.ButtonState(), state);
    view.Take();
}

class CommandButtonTest : public ::testing::Test {
  protected:
    CommandButtonTest() : button_(view_, DialogFont()) { view_.button = &button_; }

    void Enter(int state) { Prepare(button_, view_, state); }

    RecordingView view_;
    CommandButton button_;
};

enum class Event { Move, Leave, FocusIn, FocusOut, LeftDown, LeftUp, RightDown, RightUp };

void Fire(CommandButton& button, Event event) {
    switch (event) {
        case Event::Move:
            return button.MouseMove();
        case Event::Leave:
            return button.TrackingTick(PointerOver::ParentForm);
        case Event::FocusIn:
            return button.FocusGained();
        case Event::FocusOut:
            return button.FocusLost();
        case Event::LeftDown:
            return button.MouseDown(MouseButton::Left);
        case Event::LeftUp:
            return button.MouseUp(MouseButton::Left);
        case Event::RightDown:
            return button.MouseDown(MouseButton::Right);
        case Event::RightUp:
            return button.MouseUp(MouseButton::Right);
    }
}

TEST(CommandButtonTransitions, RowByRow) {
    struct Row {
        int state;
        Event event;
        int newState;
        std::vector<std::string> calls;  // what the window is asked to do
    };
    const Row rows[] = {
        {1, Event::Move, 2, {"face HighLight reversed"}},
        {3, Event::Move, 4, {"face HighLightSelect normal"}},
        {2, Event::Move, 2, {}},
        {4, Event::Move, 4, {}},
        {2, Event::Leave, 1, {"face Normal normal"}},
        {4, Event::Leave, 3, {"face Selected normal"}},
        {1, Event::Leave, 1, {}},
        {3, Event::Leave, 3, {}},
        {1, Event::FocusIn, 3, {"face Selected normal"}},
        {3, Event::FocusIn, 3, {"face Selected normal"}},
        {4, Event::FocusIn, 3, {"face Selected normal"}},
        {2, Event::FocusIn, 4, {"face Pressed reversed"}},
        {2, Event::FocusOut, 1, {"face Normal normal"}},
        {3, Event::FocusOut, 1, {"face Normal normal"}},
        {4, Event::FocusOut, 1, {"face Normal normal"}},
        {1, Event::FocusOut, 1, {}},
        // A left press takes the focus first (state 1 -> 3, 2 -> 4), then draws Pressed.
        {1, Event::LeftDown, 3, {"take focus", "face Selected normal", "face Pressed normal"}},
        {2, Event::LeftDown, 4, {"take focus", "face Pressed reversed", "face Pressed reversed"}},
        {3, Event::RightDown, 3, {}},
        {2, Event::RightDown, 2, {}},
    };
    for (const Row& row : rows) {
        RecordingView view;
        CommandButton button(view, DialogFont());
        view.button = &button;
        Prepare(button, view, row.state);
        Fire(button, row.event);
        EXPECT_EQ(button.ButtonState(), row.newState)
            << "state " << row.state << " event " << static_cast<int>(row.event);
        EXPECT_EQ(view.Take(), row.calls)
            << "state " << row.state << " event " << static_cast<int>(row.event);
    }
}

TEST_F(CommandButtonTest, LeftReleaseDrawsByStateAndClicksUnlessSelected) {
    struct Case {
        int state;
        std::vector<std::string> calls;
    };
    // Pressed on the control, then released in each state (the focus is withheld so the
    // state stays what the case says).
    const Case cases[] = {
        {1, {"click"}},
        {2, {"face Normal reversed", "click"}},
        {3, {}},
        {4, {"face HighLightSelect normal", "click"}},
    };
    for (const Case& c : cases) {
        Enter(c.state);
        view_.giveFocus = false;
        button_.MouseDown(MouseButton::Left);
        EXPECT_TRUE(button_.LeftButtonDown());
        view_.Take();
        button_.MouseUp(MouseButton::Left);
        EXPECT_FALSE(button_.LeftButtonDown());
        EXPECT_EQ(view_.Take(), c.calls) << "state " << c.state;
        view_.giveFocus = true;
        button_.FocusLost();
    }
}

TEST_F(CommandButtonTest, PressLeaveWaitReturnReleaseGivesNoClick) {
    Enter(2);
    button_.MouseDown(MouseButton::Left);  // focus: 2 -> 4
    EXPECT_EQ(button_.ButtonState(), 4);
    button_.MouseMove();                           // captured, outside
    button_.TrackingTick(PointerOver::Elsewhere);  // 4 -> 3
    button_.MouseMove();                           // back: the left button is still down
    button_.TrackingTick(PointerOver::Control);
    EXPECT_EQ(button_.ButtonState(), 3);
    view_.Take();
    button_.MouseUp(MouseButton::Left);
    EXPECT_EQ(view_.Take(), std::vector<std::string>{});
}

TEST_F(CommandButtonTest, RightReleaseOverAHoveredControlClicks) {
    for (const int state : {2, 4}) {
        Enter(state);
        button_.MouseDown(MouseButton::Right);
        EXPECT_EQ(view_.Take(), std::vector<std::string>{}) << "a right press draws nothing";
        button_.MouseUp(MouseButton::Right);
        EXPECT_EQ(view_.Take(), std::vector<std::string>{"click"});
        button_.FocusLost();
    }
}

TEST_F(CommandButtonTest, AReleaseWithoutAPressOnTheControlIsNoClick) {
    Enter(2);
    button_.MouseUp(MouseButton::Left);
    button_.MouseUp(MouseButton::Right);
    for (const std::string& call : view_.Take()) {
        EXPECT_NE(call, "click");
    }
}

TEST_F(CommandButtonTest, TrackingLeavesUnlessOverTheControlOrItsCaption) {
    const struct {
        PointerOver over;
        int state;
    } cases[] = {
        {PointerOver::Control, 2}, {PointerOver::ParentForm, 1}, {PointerOver::Elsewhere, 1}};
    for (const auto& c : cases) {
        Enter(2);
        button_.TrackingTick(c.over);
        EXPECT_EQ(button_.ButtonState(), c.state);
        button_.FocusLost();
    }
}

TEST_F(CommandButtonTest, BeforeInitializeHoveringDoesNothingButFocusSelects) {
    button_.ReadProperties(ButtonPropertySet());
    button_.Resized(1155, 375);
    view_.Take();
    button_.MouseMove();
    button_.TrackingTick(PointerOver::Elsewhere);
    EXPECT_EQ(button_.ButtonState(), 0);
    EXPECT_EQ(view_.Take(), std::vector<std::string>{});
    button_.FocusGained();
    EXPECT_EQ(button_.ButtonState(), 3);
    EXPECT_EQ(view_.Take(), std::vector<std::string>{"face Selected normal"});
}

TEST_F(CommandButtonTest, InitializeStartsStateOneAndTheHundredMillisecondTimer) {
    button_.ReadProperties(ButtonPropertySet());
    view_.Take();
    button_.Initialize();
    EXPECT_EQ(button_.ButtonState(), 1);
    EXPECT_EQ(view_.Take(), std::vector<std::string>{"timer 100"});
}

TEST_F(CommandButtonTest, GradientDirectionFollowsTheStateAndStatesFourAndZeroKeepIt) {
    // Selected (3) then hovered (4): the normal direction is kept.
    Enter(3);
    button_.MouseMove();
    EXPECT_FALSE(button_.ReverseGradient());
    // Hovered (2), focus by a press (4), release: HighLightSelect keeps the reversed one.
    button_.FocusLost();
    button_.MouseMove();
    button_.MouseDown(MouseButton::Left);
    view_.Take();
    button_.MouseUp(MouseButton::Left);
    EXPECT_EQ(view_.Take(), (std::vector<std::string>{"face HighLightSelect reversed", "click"}));
}

// The keyboard works the button as a click does: Space presses on its press and clicks on its
// release, Return does both at once; the face comes back to the focused look.
TEST_F(CommandButtonTest, SpaceAndReturnClickTheFocusedButton) {
    struct Case {
        const char* what;
        int state;
        bool enabled;
        std::vector<const char*> keys;  // "down", "up", "return", "blur"
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {"space",
         3,
         true,
         {"down", "up"},
         {"face Pressed normal", "face Selected normal", "click"}},
        {"space while hovered",
         4,
         true,
         {"down", "up"},
         {"face Pressed normal", "face HighLightSelect normal", "click"}},
        {"a held space repeats its press",
         3,
         true,
         {"down", "down", "down", "up"},
         {"face Pressed normal", "face Selected normal", "click"}},
        {"return", 3, true, {"return"}, {"face Pressed normal", "face Selected normal", "click"}},
        {"a release without a press", 3, true, {"up"}, {}},
        {"focus lost cancels the press",
         3,
         true,
         {"down", "blur", "up"},
         {"face Pressed normal", "face Normal normal"}},
        {"disabled", 3, false, {"down", "up", "return"}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Enter(c.state);
        if (!c.enabled) {
            button_.SetEnabled(false);
            view_.Take();
        }
        for (const char* key : c.keys) {
            const std::string k = key;
            if (k == "down") {
                button_.KeyDown();
            } else if (k == "up") {
                button_.KeyUp();
            } else if (k == "return") {
                button_.KeyActivate();
            } else {
                button_.FocusLost();
            }
        }
        EXPECT_EQ(view_.Take(), c.calls);
        EXPECT_FALSE(button_.KeyPressed());
        button_.SetEnabled(true);
        button_.FocusLost();
    }
}

// The default button at rest wears the focused look while it is shown as the default; hover,
// focus and press looks are unchanged.
TEST_F(CommandButtonTest, TheShownDefaultRestsInTheFocusedLook) {
    Enter(1);
    button_.SetDefaultShown(true);
    EXPECT_EQ(view_.Take(), std::vector<std::string>{"face Selected normal"});
    button_.MouseMove();
    EXPECT_EQ(view_.Take(), std::vector<std::string>{"face HighLight reversed"});
    button_.TrackingTick(PointerOver::Elsewhere);
    EXPECT_EQ(view_.Take(), std::vector<std::string>{"face Selected normal"});
    button_.SetDefaultShown(true);  // no change, no drawing
    EXPECT_EQ(view_.Take(), std::vector<std::string>{});
    button_.SetDefaultShown(false);
    EXPECT_EQ(view_.Take(), std::vector<std::string>{"face Normal normal"});
    // Shown while focused (state 3): nothing to draw until the focus leaves.
    button_.FocusGained();
    view_.Take();
    button_.SetDefaultShown(true);
    EXPECT_EQ(view_.Take(), std::vector<std::string>{});
    button_.FocusLost();
    EXPECT_EQ(view_.Take(), std::vector<std::string>{"face Selected normal"});
}

TEST_F(CommandButtonTest, DisabledIgnoresMouseFocusAndTimerAndNeverClicks) {
    Enter(2);
    button_.SetEnabled(false);
    EXPECT_EQ(view_.Take(), (std::vector<std::string>{"changed Enabled", "face Disable reversed"}));
    EXPECT_FALSE(button_.Label().enabled);
    for (const Event event : {Event::Move, Event::Leave, Event::FocusIn, Event::FocusOut,
                              Event::LeftDown, Event::LeftUp, Event::RightDown, Event::RightUp}) {
        Fire(button_, event);
    }
    EXPECT_EQ(button_.ButtonState(), 2);
    EXPECT_EQ(view_.Take(), std::vector<std::string>{});
}

TEST_F(CommandButtonTest, ReadingPropertiesRedrawsAsTheInterfaceSays) {
    Enter(2);
    EXPECT_TRUE(button_.Enabled());
    EXPECT_EQ(view_.Take(), std::vector<std::string>{"face Normal reversed"});
    EXPECT_EQ(button_.FontColour(), 0u);
    EXPECT_EQ(view_.Take(), std::vector<std::string>{"face Normal reversed"});
    EXPECT_TRUE(button_.Visible());
    EXPECT_EQ(view_.Take(), std::vector<std::string>{"face Normal reversed"});
    button_.SetVisible(false);
    view_.Take();
    EXPECT_FALSE(button_.Visible());
    EXPECT_EQ(view_.Take(), std::vector<std::string>{}) << "a transparent control is not redrawn";
    button_.SetCaption("Other");
    EXPECT_EQ(view_.Take(), std::vector<std::string>{"changed Caption"}) << "no redraw";
    button_.SetEnabled(false);
    view_.Take();
    EXPECT_FALSE(button_.Enabled());
    EXPECT_EQ(view_.Take(), std::vector<std::string>{"face Disable reversed"});
}

TEST_F(CommandButtonTest, AFreshControlIsStyledOnceOnItsFirstEnabledReading) {
    // Never loaded: disabled, FirstRun 0, until Enabled is first read.
    EXPECT_FALSE(button_.EnabledField());
    EXPECT_EQ(button_.FirstRun(), 0);
    button_.SetFontColour(0xFF);
    EXPECT_EQ(button_.Label().colour, 0xFFu) << "a disabled control is not reset";
    EXPECT_TRUE(button_.Enabled());
    EXPECT_EQ(button_.FirstRun(), 1);
    button_.SetFontColour(0xFF);
    EXPECT_EQ(button_.Label().colour, 0xFFu) << "FirstRun 1 keeps the colour";
}

TEST_F(CommandButtonTest, FirstRunZeroResetsTheCaptionToBlack) {
    button_.ReadProperties(ButtonPropertySet::Parse("FirstRun = 0\nFontColour = &H000000FF&\n"));
    EXPECT_EQ(button_.Label().colour, 0u);
}

TEST_F(CommandButtonTest, AnEmptyPropertySetGivesTheReadDefaults) {
    button_.ReadProperties(ButtonPropertySet());
    EXPECT_TRUE(button_.EnabledField());
    EXPECT_EQ(button_.Caption(), "Command1");
    EXPECT_EQ(button_.Font(), DialogFont());
    EXPECT_EQ(button_.Label().colour, 0u);
    EXPECT_EQ(button_.FirstRun(), 1);
    EXPECT_TRUE(button_.Opaque());
    EXPECT_TRUE(button_.Label().enabled);
}

TEST_F(CommandButtonTest, WritingLeavesOutDefaultsInTheWritingOrder) {
    button_.ReadProperties(ButtonPropertySet());
    ButtonPropertySet defaults;
    button_.WriteProperties(defaults);
    EXPECT_EQ(defaults.Keys(), std::vector<std::string>{"Caption"}) << "\"Command1\" is written";

    button_.ReadProperties(ButtonPropertySet::Parse(
        "Visible = 0\nFontColour = 255\nFirstRun = 0\nFont = \"Tahoma\", 8.25, 700, 0, -1, 0, "
        "0\nCaption = \"Command\"\nEnabled = 0\n"));
    ButtonPropertySet all;
    button_.WriteProperties(all);
    EXPECT_EQ(all.Keys(),
              (std::vector<std::string>{"Enabled", "FirstRun", "Font", "FontColour", "Visible"}))
        << "\"Command\" is the writing default, so it is left out";
    CommandButton again(view_, DialogFont());
    again.ReadProperties(all);
    EXPECT_EQ(again.Caption(), "Command1") << "and comes back as the reading default";
    EXPECT_EQ(again.Font().name, "Tahoma");
    EXPECT_TRUE(again.Font().underline);
    EXPECT_EQ(again.Font().weight, 700);
    EXPECT_FALSE(again.EnabledField());
    EXPECT_FALSE(again.Opaque());
}

TEST_F(CommandButtonTest, CaptionIsPlacedFromTheHeightOnEveryFace) {
    Enter(1);
    EXPECT_DOUBLE_EQ(button_.Label().topTwips, 80);
    button_.Resized(615, 315);
    EXPECT_DOUBLE_EQ(button_.Label().topTwips, 50);
    button_.Resized(615, 330);
    EXPECT_DOUBLE_EQ(button_.Label().topTwips, 57.5);
}

}  // namespace
}  // namespace velmoria
