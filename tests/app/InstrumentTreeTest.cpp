#include "WindowFixture.h"

#include "TunerMessages.h"

namespace {

using namespace std::chrono_literals;

TEST_F(WindowFixture, TreeHoldsFourteenTopLevelItemsInOrder) {
    const QStringList expected = {"Huqin(胡琴)",   "Pipa(琵琶)", "Guzheng(古筝)", "Guqin(古琴)",
                                  "Yangqin(揚琴)", "Yuan(阮)",   "Liuqin(柳琴)",  "Yueqin(月琴)",
                                  "Sanxian(三弦)", "Guitar",     "Ukulele",       "Violin",
                                  "Viola",         "Mandolin"};
    QStringList top;
    for (int i = 0; i < Tree().topLevelItemCount(); ++i) {
        top << Tree().topLevelItem(i)->text(0);
    }
    EXPECT_EQ(top, expected);

    // Instruments without a family carry their positions directly.
    QTreeWidgetItem* guitar = FindItem("Guitar");
    ASSERT_EQ(guitar->childCount(), 6);
    EXPECT_EQ(guitar->child(5)->text(0), "6--(E2)");
    EXPECT_EQ(CInstrumentTree::NoteOf(guitar->child(5)), 19);
    EXPECT_EQ(CInstrumentTree::NoteOf(guitar), CInstrumentTree::kNoNote);

    QTreeWidgetItem* guzheng = FindItem("Guzheng(古筝)");
    ASSERT_EQ(guzheng->childCount(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(guzheng->child(i)->childCount(), 21);
    }
    EXPECT_EQ(guzheng->child(3)->text(0), "1=A");
    EXPECT_EQ(FindItem("Yangqin(揚琴)")->childCount(), 6);
    EXPECT_EQ(FindItem("Guqin(古琴)")->child(0)->text(0), "1=F");
    EXPECT_EQ(CInstrumentTree::NoteOf(FindItem("Huqin(胡琴)")), CInstrumentTree::kNoNote);
    // Items start collapsed and nothing is selected.
    EXPECT_FALSE(guzheng->isExpanded());
    EXPECT_TRUE(Tree().selectedItems().isEmpty());
}

TEST_F(WindowFixture, ClickingAPositionSelectsItsNoteAndLeavesAutomaticMode) {
    View().OnAutoTone();
    ASSERT_TRUE(View().IsAutomatic());
    View().OnHalfToneUp(); // target away from A4, and back in note-locked mode
    View().OnAutoTone();
    ASSERT_TRUE(View().IsAutomatic());

    QTreeWidgetItem* huqin = FindItem("Huqin(胡琴)");
    Tree().expandItem(huqin);
    QTreeWidgetItem* erhu = FindItem("Erhu(二胡)", huqin);
    Tree().expandItem(erhu);
    Click(FindItem("1--(A4)", erhu));
    EXPECT_EQ(View().Note(), 48);
    EXPECT_FALSE(View().IsAutomatic());
    EXPECT_EQ(Text("noteTarget"), "A4");
    EXPECT_FALSE(frame.Action(32789)->isChecked());
}

TEST_F(WindowFixture, ClickingAFamilyChangesNothingAndAnInstrumentKeepsTheNote) {
    View().OnHalfToneUp();
    View().OnAutoTone();
    QTreeWidgetItem* huqin = FindItem("Huqin(胡琴)");
    Click(huqin);
    EXPECT_EQ(View().Note(), 49);
    EXPECT_TRUE(View().IsAutomatic());
    // An instrument shows all of its strings at once: automatic mode ends, the note stays.
    Tree().expandItem(huqin);
    Click(FindItem("Gaohu(高胡)", huqin));
    EXPECT_EQ(View().Note(), 49);
    EXPECT_FALSE(View().IsAutomatic());
    EXPECT_TRUE(View().Session().IsInstrumentView());
}

TEST_F(WindowFixture, KeyboardChoiceAppliesOnlyWhereTheCursorRests) {
    QTreeWidgetItem* guitar = FindItem("Guitar");
    Tree().expandItem(guitar);
    Click(guitar->child(0)); // E4, 43: applied at once
    ASSERT_EQ(View().Note(), 43);

    // Three quick moves down (no event loop runs between them, so the timer cannot fire):
    // nothing applies until the cursor has rested for 200 ms.
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(&Tree(), Qt::Key_Down);
        EXPECT_TRUE(Tree().IsSelectionTimerRunning());
        EXPECT_EQ(View().Note(), 43);
    }
    EXPECT_EQ(Tree().selectedItems().first()->text(0), "4--(D3)");
    ASSERT_TRUE(ProcessEventsUntil([&] { return View().Note() == 29; }, 2s));
    EXPECT_FALSE(Tree().IsSelectionTimerRunning());
}

TEST_F(WindowFixture, KeyboardChoiceWaitsWhileTheMetronomeIsOpen) {
    QTreeWidgetItem* guitar = FindItem("Guitar");
    Tree().expandItem(guitar);
    Click(guitar->child(0));
    ASSERT_EQ(View().Note(), 43);

    View().m_bInMetronome = true;
    QTest::keyClick(&Tree(), Qt::Key_Down);
    ProcessEventsUntil([] { return false; }, 500ms);
    EXPECT_EQ(View().Note(), 43);
    EXPECT_TRUE(Tree().IsSelectionTimerRunning());

    View().m_bInMetronome = false; // applied at the next tick
    ASSERT_TRUE(ProcessEventsUntil([&] { return View().Note() != 43; }, 2s));
    EXPECT_EQ(View().Note(), CInstrumentTree::NoteOf(guitar->child(1)));
}

TEST_F(WindowFixture, LosingFocusClearsTheSelectionSoTheSameChoiceAppliesAgain) {
    QTreeWidgetItem* violin = FindItem("Violin");
    Tree().expandItem(violin);
    QTreeWidgetItem* aString = violin->child(1); // A4
    Click(aString);
    ASSERT_EQ(View().Note(), 48);
    View().OnHalfToneUp(); // the tree had the focus: it moves to the centre mark
    EXPECT_EQ(View().Note(), 49);
    EXPECT_FALSE(Tree().hasFocus());
    EXPECT_TRUE(Tree().selectedItems().isEmpty());

    Click(aString); // one click applies it again
    EXPECT_EQ(View().Note(), 48);
    // The target moves without the tree losing the focus: a click on the item that is still
    // selected changes nothing.
    QApplication::postEvent(&View(), new NoteSelectedEvent(50));
    Pump();
    ASSERT_EQ(View().Note(), 50);
    ASSERT_TRUE(Tree().hasFocus());
    Click(aString);
    EXPECT_EQ(View().Note(), 50);
}

} // namespace
