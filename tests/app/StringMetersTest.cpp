#include "WindowFixture.h"

#include "PitchMeter.h"
#include "StringMeter.h"
#include "StringMeters.h"
#include "StrumSynth.h"

namespace {

using namespace std::chrono_literals;

QStringList Labels(const CStringMeters& meters) {
    QStringList labels;
    for (const CStringMeter* meter : meters.Meters()) {
        labels << meter->LabelText() + " " + meter->NoteText();
    }
    return labels;
}

TEST_F(WindowFixture, AnInstrumentShowsEveryStringAndAStringTheSingleMeterAgain) {
    QWidget* single = View().findChild<CPitchMeter*>("meter");
    QWidget* strings = View().findChild<QWidget*>("stringsGroup");
    ASSERT_TRUE(single && strings);
    View().OnAutoTone();
    ASSERT_TRUE(View().IsAutomatic());

    QTreeWidgetItem* guitar = FindItem("Guitar");
    Click(guitar);
    EXPECT_TRUE(strings->isVisible());
    EXPECT_FALSE(single->isVisible());
    EXPECT_FALSE(View().IsAutomatic());
    EXPECT_EQ(Text("stringsTitle"), "Guitar");
    EXPECT_EQ(Labels(*View().StringMeters()),
              QStringList({"1--(E4) E4", "2--(B3) B3", "3--(G3) G3", "4--(D3) D3", "5--(A2) A2",
                           "6--(E2) E2"}));

    // A low E alone, 10 cents flat: its meter reads it, the others stay blank; once it has
    // faded its meter keeps its reading, dimmed.
    std::vector<double> sound(8 * kBlockSamples);
    SynthString low;
    low.hz = doreme.Frequency(19) * std::exp2(-10.0 / 1200.0);
    low.start = 0.05;
    low.decay = 1.0;
    AddStrings(sound, {low}, 9);
    const auto samples = ToSamples(sound);
    const auto& meters = View().StringMeters()->Meters();
    for (int b = 0; b < 6; ++b) {
        in->Feed(
            std::span(samples).subspan(static_cast<std::size_t>(b) * kBlockSamples, kBlockSamples));
        Pump();
    }
    ASSERT_TRUE(meters[5]->Shown().live);
    EXPECT_NEAR(meters[5]->Shown().cents, -10.0, 2.0);
    EXPECT_FALSE(meters[5]->Shown().inTune);
    for (int s = 0; s < 5; ++s) {
        EXPECT_EQ(meters[s]->CentsText(), "") << s;
    }
    const std::vector<std::int16_t> silence(kBlockSamples, 0);
    for (int b = 0; b < 5 && meters[5]->Shown().live; ++b) {
        in->Feed(silence);
        Pump();
    }
    EXPECT_FALSE(meters[5]->Shown().live);
    EXPECT_NEAR(meters[5]->Shown().cents, -10.0, 2.0);
    EXPECT_NE(meters[5]->CentsText(), "");

    // The violin's eight positions are its four strings.
    Click(FindItem("Violin"));
    EXPECT_EQ(Labels(*View().StringMeters()),
              QStringList({"1--(E5) E5", "2--(A4) A4", "3--(D4) D4", "4--(G3) G3"}));

    // A string item, a half tone or automatic mode bring back the single meter.
    Tree().expandItem(guitar);
    Click(guitar->child(5));
    EXPECT_FALSE(strings->isVisible());
    EXPECT_TRUE(single->isVisible());
    EXPECT_EQ(View().Note(), 19);
    Click(guitar);
    ASSERT_TRUE(strings->isVisible());
    View().OnHalfToneUp();
    EXPECT_FALSE(strings->isVisible());
    Click(guitar);
    ASSERT_TRUE(strings->isVisible());
    QTest::keyClick(&frame, Qt::Key_F3);
    Pump();
    EXPECT_TRUE(View().IsAutomatic());
    EXPECT_FALSE(strings->isVisible());
    EXPECT_TRUE(single->isVisible());
}

} // namespace
