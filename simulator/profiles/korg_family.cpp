#include "simulator/profiles/korg_family.h"

#include "simulator/profiles/profile_bytes.h"

namespace druv::profiles {

bool IsKorgMessage(const Bytes& message, uint8_t model, int channel) {
    if (message.size() < 6 || message[0] != 0xF0 || message[1] != 0x42 || (message[2] & 0xF0) != 0x30 || message[3] != model)
        return false;
    return channel < 0 || (message[2] & 0x0F) == channel;
}

Bytes KorgMessage(uint8_t channel, uint8_t model, const Bytes& body) {
    Bytes message{0xF0, 0x42, static_cast<uint8_t>(0x30 | (channel & 0x0F)), model};
    Append(message, body);
    message.push_back(0xF7);
    return message;
}

bool IsKorgMessage(const Bytes& message, const Bytes& model, int channel) {
    if (message.size() < 3 + model.size() + 2 || message[0] != 0xF0 || message[1] != 0x42 ||
        (message[2] & 0xF0) != 0x30)
        return false;
    for (size_t i = 0; i < model.size(); ++i)
        if (message[3 + i] != model[i]) return false;
    return channel < 0 || (message[2] & 0x0F) == channel;
}

Bytes KorgMessage(uint8_t channel, const Bytes& model, const Bytes& body) {
    Bytes message{0xF0, 0x42, static_cast<uint8_t>(0x30 | (channel & 0x0F))};
    Append(message, model);
    Append(message, body);
    message.push_back(0xF7);
    return message;
}

}  // namespace druv::profiles
