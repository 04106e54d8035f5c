#include "plugin/engine/item_selection.h"

#include "device/druv_device.h"
#include "plugin/engine/druv_data.h"

void SelectItems(const DRUVDevice& device, DRUVData& data, uint32_t mask) {
    for (auto& item : data.Items) item->Selected = mask == 0;
    if (mask == 0) return;
    for (uint32_t bit = 0; bit < 32; ++bit) {
        if ((mask & (1u << bit)) == 0) continue;
        if (bit >= device.ConfigurationCount()) return;
        const DRUVConfiguration& configuration = *device.Configuration(bit);
        for (auto& item : data.Items) {
            if (configuration.ContainsTemplate(item->Name().c_str())) item->Selected = true;
        }
    }
}
