// Undo and redo of drags and property edits on the player, the unsaved-edits
// flag, the history's depth, and a click that moves nothing.
#include "player/edit_history.h"

#include <gtest/gtest.h>

#include "player/interaction.h"
#include "player/property_edit.h"
#include "support/blank_player.h"
#include "support/objects.h"
#include "support/qt_app.h"

namespace quorrel {
namespace {

class EditHistoryTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::ensure_gui_app(); }

    void SetUp() override {
        test::blank_player(p, platform);
        const XY w = to_world(m(), 300, 200);
        test::place_object(m(), KIND_BODY, w.x + 0.123, w.y, 0, 0, 1, 50);  // off the pixel grid
        prepar_obj(p);
    }

    Model& m() { return *p.model; }
    double x0() { return m().objects[0].x0; }

    void drag(int x0, int y0, int x1, int y1) {
        Image1MouseDown(p, MouseButton::Left, x0, y0);
        Image1MouseMove(p, p, p, x1, y1);
        Image1MouseUp(p, MouseButton::Left, x1, y1);
    }

    HeadlessPlatform platform;
    PlayerState p;
};

TEST_F(EditHistoryTest, DragsAndEditsAreUndoneAndRedoneInOrder) {
    const double start = x0();
    EXPECT_FALSE(has_unsaved_edits(p));
    drag(300, 200, 340, 200);
    const double dragged = x0();
    EXPECT_EQ(dragged, to_world(m(), 340, 200).x);
    EXPECT_TRUE(has_unsaved_edits(p));

    ObjectFields f = object_fields(m(), 0);
    f.text[OT_MASS] = "3";
    ASSERT_FALSE(confirm_object_properties(p, 0, f).refused);
    EXPECT_EQ(m().objects[0].rest_mass, 3);

    ASSERT_TRUE(undo_edit(p));
    EXPECT_EQ(m().objects[0].rest_mass, 1);
    EXPECT_EQ(x0(), dragged);
    ASSERT_TRUE(undo_edit(p));
    EXPECT_EQ(x0(), start);
    EXPECT_FALSE(has_unsaved_edits(p));  // back at the loaded state
    EXPECT_FALSE(undo_edit(p));
    ASSERT_TRUE(redo_edit(p));
    EXPECT_EQ(x0(), dragged);
    EXPECT_TRUE(has_unsaved_edits(p));

    // A new edit drops what could still be redone.
    p.edits.mark_saved();
    drag(340, 200, 300, 250);
    EXPECT_TRUE(has_unsaved_edits(p));
    EXPECT_FALSE(redo_edit(p));
    ASSERT_TRUE(undo_edit(p));
    EXPECT_FALSE(has_unsaved_edits(p));  // at the saved state again

    // A settings change is not undone, so it stays unsaved until a save.
    p.edits.note_outside_change();
    ASSERT_TRUE(redo_edit(p));
    ASSERT_TRUE(undo_edit(p));
    EXPECT_TRUE(has_unsaved_edits(p));
    p.edits.mark_saved();
    EXPECT_FALSE(has_unsaved_edits(p));
}

TEST_F(EditHistoryTest, NothingIsRecordedWhenNothingChangesAndNothingIsUndoneDuringARun) {
    // A click on the body leaves its exact start, and records nothing.
    const double start = x0();
    drag(300, 200, 300, 200);
    EXPECT_EQ(x0(), start);
    // OK on an untouched dialog.
    ASSERT_FALSE(confirm_object_properties(p, 0, object_fields(m(), 0)).refused);
    EXPECT_FALSE(p.edits.can_undo());
    EXPECT_FALSE(has_unsaved_edits(p));

    drag(300, 200, 320, 200);
    press_run(p);
    Timing(p);
    EXPECT_FALSE(undo_edit(p));
    press_stop(p);
    EXPECT_TRUE(undo_edit(p));
    EXPECT_EQ(x0(), start);
}

TEST_F(EditHistoryTest, TheHistoryKeepsItsDepthOfSteps) {
    for (int i = 1; i <= UNDO_DEPTH + 5; ++i) drag(300 + i - 1, 200, 300 + i, 200);
    int undone = 0;
    while (undo_edit(p)) ++undone;
    EXPECT_EQ(undone, UNDO_DEPTH);
    EXPECT_EQ(m().objects[0].x0, to_world(m(), 305, 200).x);
    EXPECT_TRUE(has_unsaved_edits(p));  // the first five steps are beyond undo
}

TEST_F(EditHistoryTest, UndoOfAPointVectorDragRestoresItsVariables) {
    const int v = m().variable_count++;
    m().variable_texts[v] = {"vx", "", "1", "1"};
    EditHistory h;
    h.begin(m());
    m().variable_texts[v][VT_VALUE] = m().variable_texts[v][VT_INITIAL] = "2";
    m().Z.rec[3].coefficient = 7;
    h.commit();
    ASSERT_TRUE(h.undo(m()));
    EXPECT_EQ(m().variable_texts[v][VT_VALUE], "1");
    EXPECT_EQ(m().variable_texts[v][VT_INITIAL], "1");
    EXPECT_EQ(m().Z.rec[3].coefficient, 0);
}

}  // namespace
}  // namespace quorrel
