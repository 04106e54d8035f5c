// Back Up All: the steps in their order, each kind of outcome in the summary,
// and Cancel.
#include <gtest/gtest.h>

#include "windowhost/core/back_up_all.h"

namespace {

using druvhost::Detection;
using windowhost::BackUpAll;
using windowhost::BackUpResult;
using windowhost::BackUpStepKind;

void ExpectStep(const BackUpAll& run, size_t instrument, BackUpStepKind kind) {
    const auto step = run.Next();
    ASSERT_TRUE(step.has_value());
    EXPECT_EQ(step->instrument, instrument);
    EXPECT_EQ(step->kind, kind);
}

TEST(BackUpAllTest, OnlyAnsweringInstrumentsAreReceivedOneAfterAnother) {
    BackUpAll run({"Mixer", "Synth", "Reverb", "Drums", "Piano"});
    ExpectStep(run, 0, BackUpStepKind::Probe);
    run.ReceiveEnded("Setup", {});  // out of turn: the probe comes first
    ExpectStep(run, 0, BackUpStepKind::Probe);
    run.ProbeEnded(Detection::Online);
    ExpectStep(run, 0, BackUpStepKind::Receive);
    run.ProbeEnded(Detection::Offline);  // out of turn again
    ExpectStep(run, 0, BackUpStepKind::Receive);
    run.ReceiveEnded("Setup", {});
    ExpectStep(run, 1, BackUpStepKind::Probe);
    run.ProbeEnded(Detection::Offline);
    ExpectStep(run, 2, BackUpStepKind::Probe);
    run.ProbeEnded(Detection::NoProbe);
    ExpectStep(run, 3, BackUpStepKind::Probe);
    run.ProbeEnded(Detection::Online);
    run.ReceiveEnded("Kits", {"Kit 1: missing bytes", "Kit 2: no dump was received"});
    ExpectStep(run, 4, BackUpStepKind::Probe);
    run.StepFailed("cannot open the MIDI output Port 2: busy");
    EXPECT_TRUE(run.Finished());

    EXPECT_EQ(windowhost::BackUpSummary(run),
              "1 received, 3 failed, 1 skipped\n"
              "\nMixer: received Setup"
              "\nSynth: failed: it did not answer"
              "\nReverb: skipped: its definition has no request to detect it with"
              "\nDrums: failed: Kit 1: missing bytes; Kit 2: no dump was received"
              "\nPiano: failed: cannot open the MIDI output Port 2: busy");
}

TEST(BackUpAllTest, CancelKeepsWhatWasReceivedAndStopsTheRest) {
    BackUpAll run({"Mixer", "Synth", "Reverb"});
    run.ProbeEnded(Detection::Online);
    run.ReceiveEnded("Setup", {});
    run.ProbeEnded(Detection::Online);
    run.Cancel();  // during the synth's receive
    EXPECT_TRUE(run.Finished());
    run.ReceiveEnded("Patches", {});  // the cancelled receive's end, reported late
    EXPECT_EQ(run.Count(BackUpResult::Received), 1u);
    EXPECT_EQ(run.Count(BackUpResult::Cancelled), 2u);
    EXPECT_EQ(windowhost::BackUpSummary(run),
              "1 received, 0 failed, 0 skipped, 2 cancelled\n"
              "\nMixer: received Setup\nSynth: not received: cancelled\nReverb: not received: cancelled");
}

TEST(BackUpAllTest, NoInstrumentsMeansNothingToDo) {
    BackUpAll run({});
    EXPECT_TRUE(run.Finished());
    EXPECT_EQ(windowhost::BackUpSummary(run), "0 received, 0 failed, 0 skipped\n");
}

}  // namespace
