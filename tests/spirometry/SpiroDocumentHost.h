// A host data document with the spirometry calculations on channels and a spirometry document
// made in it through its document class, as the host does after loading the plug-in.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "IChannelCalc.h"
#include "host/document/DataDocument.h"
#include "host/synth/SyntheticBreathing.h"
#include "spirometry/SpFlowSettings.h"
#include "spirometry/SpVolSettings.h"
#include "spirometry/SpiroDocument.h"
#include "support/FlowScript.h"

namespace SpiroTest {

// A small synthetic recording: one raw flow-head channel in volts (flow = raw x 2), 100 ticks
// per second, two quiet breaths, a forced one and two quiet ones.
std::shared_ptr<Host::Recording> SmallBreathing();
// The generator's options that make it, for tests that compare with the breaths it made.
Host::SyntheticOptions SmallBreathingOptions();
// The raw flow-head channel (2 L/s per volt) of breathing drawn by hand, sampled at the rate.
std::shared_ptr<Host::Recording> FlowHeadRecording(const TestSupport::FlowScript& script, double rate);

class SpiroDocumentHost : public ::testing::Test {
protected:
    void TearDown() override;

    // The document over the recording; the flow calculation reads raw channel 0.
    void Open(std::shared_ptr<const Host::Recording> recording);
    // New channels computed by the spirometry flow calculation (custom scale 2, from raw
    // channel 0) and by the volume calculation of that flow.
    void AddCalculations();
    // Stands between the document and the host's record data from now on.
    void FilterRecordData(IRecordData* filter);
    // The spirometry document in the host document, made through its registered class.
    Spirometry::SpiroDocument& CreateDocument();
    // The recording (the small breathing by default) with both calculations, the document
    // analysing them over record 0.
    Spirometry::SpiroDocument& CreateAnalysedDocument(std::shared_ptr<const Host::Recording> recording = nullptr);
    void Select(KVDPosition start, KVDPosition end) { mData->Select(start, end); }
    void SelectRecord(int record);
    // The settings dialog's answer with another flow unit prefix, the other settings kept.
    void SetFlowUnitPrefix(int prefix);

    // The settings the calculation on the channel holds now.
    KVD::COMPtr<IPersistObject> CalculationSettings(int channel);
    template <class Settings>
    Settings& SettingsOf(const KVD::COMPtr<IPersistObject>& settings)
    {
        return *static_cast<Settings*>(settings.get());
    }

    std::unique_ptr<Host::DataDocument> mData;
    int mFlow = -1;
    int mVolume = -1;
    KVD::COMPtr<ICustomDocument> mChild;
    Spirometry::SpiroDocument* mDoc = nullptr;
};

}  // namespace SpiroTest
