// The history keeps at most its step and memory limits, oldest steps first to
// go, and its memory figure follows every step taken and given back.
#include <gtest/gtest.h>

#include "edit_history.h"

namespace lumora {
namespace {

std::unique_ptr<TDocumentState> StateWithPin(int16_t pin, std::size_t nameLength = 0)
{
    auto state = std::make_unique<TDocumentState>();
    state->Data.MenuConfigItem.nPINCode = pin;
    state->Data.ServiceInfo.pServiceInfo[0].szServiceName.assign(nameLength, 'x');
    return state;
}

TEST(EditHistory, KeepsWithinItsLimitsAndCountsItsMemory)
{
    const std::size_t oneState = StateBytes(*StateWithPin(0));
    TEditHistory bySteps({.steps = 3, .bytes = std::size_t(1) << 30});
    for (int16_t pin = 0; pin < 5; ++pin)
        bySteps.Record("step " + std::to_string(pin), StateWithPin(pin));
    EXPECT_EQ(bySteps.UndoSteps(), 3u);
    EXPECT_EQ(bySteps.MemoryBytes(), 3 * oneState);

    // Undo hands back the newest state and keeps the current one for redo;
    // the oldest kept step is "step 2".
    auto current = StateWithPin(99, 1000);  // a long name: heap bytes count too
    EXPECT_EQ(StateBytes(*current), oneState + 1001);
    for (int16_t expected : {4, 3, 2}) {
        current = bySteps.Undo(std::move(current));
        EXPECT_EQ(current->Data.MenuConfigItem.nPINCode, expected);
    }
    EXPECT_FALSE(bySteps.CanUndo());
    EXPECT_EQ(bySteps.RedoLabel(), "step 2");
    EXPECT_EQ(bySteps.MemoryBytes(), 3 * oneState + 1001);
    current = bySteps.Redo(std::move(current));
    EXPECT_EQ(current->Data.MenuConfigItem.nPINCode, 3);
    bySteps.Record("new", std::move(current));  // a new edit drops what could be redone
    EXPECT_FALSE(bySteps.CanRedo());
    EXPECT_EQ(bySteps.UndoSteps(), 2u);

    TEditHistory byBytes({.steps = 100, .bytes = 2 * oneState + 10});
    for (int16_t pin = 0; pin < 4; ++pin)
        byBytes.Record("step", StateWithPin(pin));
    EXPECT_EQ(byBytes.UndoSteps(), 2u);
    EXPECT_LE(byBytes.MemoryBytes(), 2 * oneState + 10);
}

}  // namespace
}  // namespace lumora
