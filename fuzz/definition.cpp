// Definition reader fuzz target: the input is read exactly as the bytes of a
// ".druv" file would be, then the resulting device is walked and written
// back to text so that every stored field is touched.
#include <cstddef>
#include <cstdint>
#include <string>

#include "device/byte_string.h"
#include "device/definition_reader.h"
#include "device/druv_device.h"
#include "device/xml_text.h"
#include "platform/message_box.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static ScopedMessageBoxHandler silence([](const MessageBoxRequest&) { return MessageAnswer::Ok; });
    DRUVDevice device;
    device.SetFilePath("fuzz-input.druv");
    if (LoadDefinitionFromMemory(device, data, size) != 0) return 0;

    size_t touched = ToXmlCharacterData(device.Company()).size() + device.Product().size();
    for (size_t i = 0; i < device.ConfigurationCount(); ++i) {
        const DRUVConfiguration& configuration = *device.Configuration(i);
        for (const std::string& ref : configuration.Refs()) touched += device.FindTemplate(ref.c_str()) != nullptr;
    }
    for (size_t i = 0; i < device.TemplateCount(); ++i) {
        const DRUVTemplate& record = *device.Template(i);
        touched += BytesToHexText(record.Request()).size() + BytesToHexText(record.Terminator()).size();
        touched += ToXmlCharacterData(record.Name()).size();
        touched += BytesToHexText(record.Extensions().ackPattern).size() + record.NeedsLaterFormat();
    }
    return touched == static_cast<size_t>(-1) ? 1 : 0;
}
