// When the keyboard counts as taken from the saver.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "renderer/keyboard_focus.h"

namespace velmoria {
namespace {

using Event = KeyboardFocusEvent;
using Action = KeyboardFocusAction;

struct Step {
    Event event;
    KeyboardFocusContext context;
    Action expected;
};

constexpr KeyboardFocusContext shown = {true, false};
constexpr KeyboardFocusContext gone = {false, false};
constexpr KeyboardFocusContext closing = {true, true};
constexpr KeyboardFocusContext unplugged = {true, false, true};

TEST(KeyboardFocus, ALeaveEndsTheSaverOnlyWhenNoSurfaceOfOursGetsItBack) {
    struct Case {
        const char* name;
        std::vector<Step> steps;
    };
    const std::vector<Case> cases = {
        {"another window takes it",
         {{Event::Entered, shown, Action::Stay},
          {Event::Left, shown, Action::Ask},
          {Event::Settled, shown, Action::Ask},
          {Event::Settled, shown, Action::End}}},
        {"the keyboard's going is told after the first answer",
         {{Event::Entered, shown, Action::Stay},
          {Event::Left, shown, Action::Ask},
          {Event::Settled, shown, Action::Ask},
          {Event::Settled, unplugged, Action::Stay}}},
        {"it moves to our surface on another output",
         {{Event::Entered, shown, Action::Stay},
          {Event::Left, shown, Action::Ask},
          {Event::Entered, shown, Action::Stay},
          {Event::Settled, shown, Action::Stay}}},
        {"our surfaces are destroyed at the end",
         {{Event::Entered, shown, Action::Stay}, {Event::Left, closing, Action::Stay}}},
        {"the end comes before the answer",
         {{Event::Entered, shown, Action::Stay},
          {Event::Left, shown, Action::Ask},
          {Event::Settled, closing, Action::Stay}}},
        {"the surface left went with its output",
         {{Event::Entered, shown, Action::Stay},
          {Event::Left, shown, Action::Ask},
          {Event::Settled, gone, Action::Stay}}},
        {"the keyboard itself goes",
         {{Event::Entered, shown, Action::Stay},
          {Event::Left, shown, Action::Ask},
          {Event::Settled, unplugged, Action::Stay}}},
        {"two leaves share one question",
         {{Event::Entered, shown, Action::Stay},
          {Event::Left, shown, Action::Ask},
          {Event::Entered, shown, Action::Stay},
          {Event::Left, shown, Action::Stay},
          {Event::Settled, shown, Action::Ask},
          {Event::Settled, shown, Action::End}}},
        {"a later leave asks again",
         {{Event::Entered, shown, Action::Stay},
          {Event::Left, shown, Action::Ask},
          {Event::Entered, shown, Action::Stay},
          {Event::Settled, shown, Action::Stay},
          {Event::Left, shown, Action::Ask},
          {Event::Settled, shown, Action::Ask},
          {Event::Settled, shown, Action::End}}},
    };
    for (const Case& c : cases) {
        KeyboardFocus focus;
        for (size_t i = 0; i < c.steps.size(); ++i) {
            const Step& step = c.steps[i];
            EXPECT_EQ(focus.Handle(step.event, step.context), step.expected)
                << c.name << ", step " << i;
        }
    }
}

}  // namespace
}  // namespace velmoria
