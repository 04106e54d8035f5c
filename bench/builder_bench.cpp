// The builder's core over the in-memory view with a large definition: 1,000
// templates with every field set and 100 configurations of 50 templates each.
// The definition is written once, before timing.
//
//   OpenAndShow:  a fresh window's core opens the file and shows it, then
//                 selects a configuration and a template (as a person would
//                 first do).
//   StoreAndSave: with the file open, another configuration is selected and
//                 Save stores the boxes and writes the whole file.
//
// Run: cmake --preset native && cmake --build build/native -j2 --target builder_bench
//      build/native/bench/builder_bench
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "builder/template_builder.h"
#include "builder/testing/fake_builder_view.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"

namespace {

constexpr size_t kTemplates = 1000;
constexpr size_t kConfigurations = 100;
constexpr size_t kRefsPerConfiguration = 50;

std::string DefinitionPath() {
    return (std::filesystem::temp_directory_path() / "druv-builder-bench.druv").string();
}

bool WriteLargeDefinition(const std::string& path) {
    DRUVDevice device;
    device.SetFilePath(path.c_str());
    device.CreateIdentifiers();
    device.SetCompany("Bench Company");
    device.SetProduct("Bench Product");
    for (size_t i = 0; i < kTemplates; ++i) {
        DRUVTemplate* record = device.AddTemplate(("Template " + std::to_string(i)).c_str());
        if (record == nullptr) return false;
        record->SetSize(static_cast<int32_t>(256 + i));
        record->SetCSumType(1);
        record->SetCSumStart(5);
        record->SetCSumLength(200);
        record->SetNumLoops(4);
        record->SetRequest("F0 7D 10 11 00 00 F1 F2 F7");
        record->SetPreRequest("F0 7D 10 01 F7");
        record->SetTransmit("F0 7D 10 12 F7");
        record->SetTerminator("F0 7D 10 7F F7");
    }
    for (size_t c = 0; c < kConfigurations; ++c) {
        DRUVConfiguration* configuration = device.AddConfiguration(("Configuration " + std::to_string(c)).c_str());
        if (configuration == nullptr) return false;
        // Written in lower case, as the names are matched ignoring it.
        for (size_t r = 0; r < kRefsPerConfiguration; ++r)
            configuration->AddRef(("template " + std::to_string((c * 7 + r * 19) % kTemplates)).c_str());
    }
    return device.SaveDefinition() == 1;
}

// Answers every file dialog with the bench's definition and every box with Yes.
struct Answers {
    explicit Answers(const std::string& path)
        : dialogs([path](const FileDialogRequest&) { return FileDialogResult{FileDialogOutcome::Chosen, {path}}; }),
          boxes([](const MessageBoxRequest&) { return MessageAnswer::Yes; }) {}
    ScopedFileDialogHandler dialogs;
    ScopedMessageBoxHandler boxes;
};

void Select(FakeBuilderView& view, TemplateBuilder& builder, ControlId list, int index) {
    view.SetCurrentSelection(list, index);
    builder.SelectionChanged(list);
}

void OpenAndShow(benchmark::State& state) {
    const std::string path = DefinitionPath();
    if (!WriteLargeDefinition(path)) {
        state.SkipWithError("the definition could not be written");
        return;
    }
    Answers answers(path);
    for (auto _ : state) {
        FakeBuilderView view;
        TemplateBuilder builder(view);
        builder.Start();
        if (!builder.Command(builder_commands::kOpen) || view.ItemCount(builder_controls::kTemplates) != static_cast<int>(kTemplates)) {
            state.SkipWithError("the definition was not shown");
            return;
        }
        Select(view, builder, builder_controls::kConfigurations, 0);
        Select(view, builder, builder_controls::kTemplates, 0);
        benchmark::DoNotOptimize(view.Text(builder_controls::kSize));
    }
    std::filesystem::remove(path);
}

void StoreAndSave(benchmark::State& state) {
    const std::string path = DefinitionPath();
    if (!WriteLargeDefinition(path)) {
        state.SkipWithError("the definition could not be written");
        return;
    }
    Answers answers(path);
    FakeBuilderView view;
    TemplateBuilder builder(view);
    builder.Start();
    if (!builder.Document().Open()) {
        state.SkipWithError("the definition could not be read");
        return;
    }
    Select(view, builder, builder_controls::kTemplates, 0);
    int configuration = 0;
    for (auto _ : state) {
        configuration = (configuration + 1) % static_cast<int>(kConfigurations);
        Select(view, builder, builder_controls::kConfigurations, configuration);
        if (!builder.Document().Save()) {
            state.SkipWithError("the definition could not be saved");
            return;
        }
    }
    std::filesystem::remove(path);
}

BENCHMARK(OpenAndShow)->Unit(benchmark::kMillisecond);
BENCHMARK(StoreAndSave)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
