// A manager over the in-memory registry, with definition files in a scratch
// folder, every box recorded, and file existence answered from a set.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "device/druv_device.h"
#include "manager/instrument_manager.h"
#include "platform/memory_registry.h"
#include "tests/device/test_support.h"

constexpr char kManagerFolder[] = "C:\\Program Files\\DRUV";
constexpr char kPluginPath[] = "C:\\Program Files\\DRUV\\DRUV.dll";
constexpr GUID kDeskGuid = {0x01234567, 0x89AB, 0xCDEF, {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}};
constexpr GUID kDeskEditor = {0xA1B2C3D4, 0xE5F6, 0x0718, {0x29, 0x3A, 0x4B, 0x5C, 0x6D, 0x7E, 0x8F, 0x90}};

struct Definition {
    std::string company = "Maker";
    std::string product = "Desk";
    GUID device = kDeskGuid;
    GUID editor = kDeskEditor;
    std::string helpFile;
    int deviceType = 0;
    std::string activePicture = "";
    std::string inactivePicture = "";
};

inline Definition Named(const std::string& company, const std::string& product, const GUID& device = kDeskGuid) {
    Definition definition;
    definition.company = company;
    definition.product = product;
    definition.device = device;
    return definition;
}

class ManagerTest : public ::testing::Test {
protected:
    // Writes the definition with the builder's writer; the path is absolute.
    std::string Write(const std::string& fileName, const Definition& definition) {
        DRUVDevice device;
        device.SetFilePath(folder.File(fileName).c_str());
        device.SetCompany(definition.company.c_str());
        device.SetProduct(definition.product.c_str());
        device.SetDeviceGUID(definition.device);
        device.SetEditorGUID(definition.editor);
        device.SetHelpFile(definition.helpFile.c_str());
        device.SetActivePNGFile(definition.activePicture.c_str());
        device.SetInactivePNGFile(definition.inactivePicture.c_str());
        device.SetDeviceType(definition.deviceType);
        EXPECT_EQ(1, device.SaveDefinition());
        return device.FilePath();
    }
    std::string Install(const std::string& fileName, const Definition& definition = Definition()) {
        const std::string path = Write(fileName, definition);
        manager.InstallDevice(path);
        return path;
    }
    std::string LastBoxText() const { return boxes.boxes.empty() ? "" : boxes.boxes.back().text; }

    ScratchFolder folder;
    MessageRecorder boxes{MessageAnswer::Yes};
    MemoryRegistry registry;
    std::set<std::string> existingFiles{kPluginPath};
    InstrumentManager manager{ManagerEnvironment{
        registry, kManagerFolder, [this](const std::string& path) { return existingFiles.count(path) > 0; },
        [this](const std::string& path) {
            return std::filesystem::path(path).is_absolute() ? path : folder.File(path);
        }}};
};
