// Import and export of a 600 KB .syx file through the .syx core: a bank of
// 128 messages of 4700 bytes, each with a two's complement checksum, laid
// into one item of 128 loops and written back out.
//
//   Import: the file's bytes parsed, laid into the item (every checksum
//           checked) and put into a fresh filter's saved bytes.
//   Export: the item's stored dump read from the saved bytes and written as
//           the file's messages.
//
// The file is read from memory; the disk is not what is measured.
// Run: cmake --build build/native -j2 --target syx_bench && build/native/bench/syx_bench
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "device/druv_device.h"
#include "druvhost/syx/saved_dumps.h"
#include "druvhost/syx/syx_file.h"
#include "druvhost/syx/syx_import.h"
#include "plugin/engine/checksum.h"

namespace {

constexpr int kPrograms = 128;
constexpr int kProgramSize = 4700;
const ChecksumRule kRule{kChecksumTwosComplement, 6, kProgramSize - 8, kProgramSize - 2};

std::unique_ptr<DRUVDevice> BankDevice() {
    auto device = std::make_unique<DRUVDevice>();
    device->SetCompany("Bench");
    device->SetProduct("Bank Synth");
    DRUVTemplate* bank = device->AddTemplate("All Programs");
    bank->SetNumLoops(kPrograms);
    bank->SetLoopRecvSize(kProgramSize);
    bank->SetSize(kPrograms * kProgramSize);
    bank->SetCSumType(kRule.type);
    bank->SetCSumStart(kRule.start);
    bank->SetCSumLength(kRule.length);
    bank->SetCSumOfs(kRule.storeAt);
    return device;
}

std::vector<uint8_t> BankFile() {
    std::vector<uint8_t> file;
    for (int program = 0; program < kPrograms; ++program) {
        std::vector<uint8_t> message = {0xF0, 0x7D, 0x00, 0x20, static_cast<uint8_t>(program), 0x00};
        while (message.size() < kProgramSize - 1) message.push_back(static_cast<uint8_t>(std::rand() & 0x7F));
        message.push_back(0xF7);
        ApplyChecksum(kRule, message.data(), static_cast<uint32_t>(message.size()));
        file.insert(file.end(), message.begin(), message.end());
    }
    return file;
}

void Import(benchmark::State& state) {
    const auto device = BankDevice();
    const std::vector<uint8_t> bytes = BankFile();
    for (auto _ : state) {
        druvhost::SyxFile file;
        if (druvhost::ParseSyx(bytes, file).error != druvhost::SyxReadError::None) state.SkipWithError("parse");
        const druvhost::SyxImport import = druvhost::PlanItemImport(*device, file, "All Programs");
        std::vector<uint8_t> saved;
        std::string error;
        if (!druvhost::ApplyImport(*device, import, saved, error)) state.SkipWithError(error.c_str());
        benchmark::DoNotOptimize(saved.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(Import)->Unit(benchmark::kMillisecond);

void Export(benchmark::State& state) {
    const auto device = BankDevice();
    druvhost::SyxFile file;
    druvhost::ParseSyx(BankFile(), file);
    std::vector<uint8_t> saved;
    std::string error;
    druvhost::ApplyImport(*device, druvhost::PlanItemImport(*device, file, "All Programs"), saved, error);
    for (auto _ : state) {
        std::vector<uint8_t> syx;
        if (!druvhost::ExportItem(*device, saved, "All Programs", syx, error)) state.SkipWithError(error.c_str());
        if (syx != file.bytes) state.SkipWithError("the export differs from the file");
        benchmark::DoNotOptimize(syx.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(file.bytes.size()));
}
BENCHMARK(Export)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
