#include <gtest/gtest.h>

#include <string>

#include "device/byte_string.h"
#include "device/druv_device.h"
#include "test_support.h"
#include "tests/support/test_paths.h"

namespace {

void LoadExample(DRUVDevice& device, const char* name) {
    device.SetFilePath((druvtest::ExamplesDir() + "/" + name).c_str());
    ASSERT_EQ(0, device.LoadDefinition()) << device.FilePath();
}

TEST(Examples, MixerSceneDumpIsOneChecksummedMessage) {
    MessageRecorder boxes;
    DRUVDevice device;
    LoadExample(device, "brindle-koss-sd16-mixer.druv");
    EXPECT_EQ("Brindle & Koss", device.Company());
    EXPECT_EQ(0, device.DeviceType());
    EXPECT_EQ(2, device.SysXChanOfs());
    ASSERT_EQ(2u, device.TemplateCount());
    const DRUVTemplate& scene = *device.Template(0);
    EXPECT_EQ(1, scene.NumLoops());
    EXPECT_EQ(1, scene.Verify());
    EXPECT_EQ(1, scene.CSumType());
    // F0 7D id 31 12 area, 4096 data bytes, checksum, F7.
    EXPECT_EQ(6 + 4096 + 2, scene.Size());
    EXPECT_EQ(scene.Size() - 2, scene.CSumOfs());
    EXPECT_EQ(scene.CSumOfs(), scene.CSumStart() + scene.CSumLength());
    EXPECT_EQ("F0 7D 00 31 11 00 F7 ", BytesToHexText(scene.Request()));
    ASSERT_EQ(2u, device.ConfigurationCount());
    EXPECT_TRUE(device.Configuration(0)->ContainsTemplate("setup"));
    EXPECT_EQ(0u, boxes.boxes.size());
}

TEST(Examples, SynthPatchesAreRequestedOneLoopEach) {
    DRUVDevice device;
    LoadExample(device, "velmora-aster8-synth.druv");
    EXPECT_EQ(1, device.DeviceType());
    EXPECT_EQ(3, device.SysXChanOfs());
    const DRUVTemplate* patches = device.FindTemplate("Patches");
    ASSERT_NE(nullptr, patches);
    EXPECT_EQ(128, patches->NumLoops());
    EXPECT_EQ(3, patches->LoopValFormat());
    EXPECT_EQ(patches->NumLoops() * patches->LoopRecvSize(), patches->Size());
    EXPECT_EQ(patches->LoopRecvSize() - 2, patches->CSumOfs()) << "checksum inside one patch message";
    EXPECT_EQ(patches->CSumOfs(), patches->CSumStart() + patches->CSumLength());
    EXPECT_EQ("F0 7D 22 00 10 F1 F2 F7 ", BytesToHexText(patches->Request()));
    EXPECT_EQ("F0 7D 22 00 12 F1 F2 F7 F3 01 ", BytesToHexText(patches->Transmit()));
    EXPECT_EQ(1, device.FindTemplate("Global")->Verify());
}

}  // namespace
