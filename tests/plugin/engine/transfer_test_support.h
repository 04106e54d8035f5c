// Transfers in virtual time: a device built in code, its store on a virtual
// clock, a host output that records what the engine sends and lets a test
// answer at once (as an instrument would, from inside the send), and a
// progress sink.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "device/druv_device.h"
#include "platform/clock.h"
#include "plugin/engine/druv_data.h"
#include "plugin/engine/transfer_engine.h"
#include "plugin/engine/transfer_state.h"
#include "tests/plugin/fakes/recording_midi_out.h"
#include "tests/plugin/fakes/recording_progress_sink.h"

using Bytes = std::vector<uint8_t>;

class AnsweringMidiOut : public RecordingMidiOut {
public:
    using Answer = std::function<void(const SentEvent& sent)>;

    explicit AnsweringMidiOut(Clock* clock) : RecordingMidiOut(clock) {}

    HRESULT STDMETHODCALLTYPE Send(MPEvent* events, uint32_t count) override {
        HRESULT result = RecordingMidiOut::Send(events, count);
        if (answer_) {
            std::vector<SentEvent> sent = Sent();
            answer_(sent.back());
        }
        return result;
    }

    void SetAnswer(Answer answer) { answer_ = std::move(answer); }

    std::vector<Bytes> WireMessages() const {
        std::vector<Bytes> messages;
        for (const SentEvent& sent : Sent()) messages.push_back(sent.WireBytes());
        return messages;
    }

private:
    Answer answer_;
};

// F0 7D, then `size` - 3 bytes of `fill`, then F7.
inline Bytes SysX(size_t size, uint8_t fill = 0x11) {
    Bytes message(size, fill);
    message.front() = 0xF0;
    if (size > 1) message[1] = 0x7D;
    message.back() = 0xF7;
    return message;
}

// Element by element: GCC 12 warns falsely about a range insert here.
inline void Append(Bytes& to, const Bytes& more) {
    for (uint8_t value : more) to.push_back(value);
}

class TransferTest : public ::testing::Test {
protected:
    TransferTest() : clock(1000), out(&clock), sink(&clock) {
        data.SetTransferClock(clock);
        state.host_link = &out;
        device.SetCompany("Acme");
        device.SetProduct("Box");
    }

    // A one-loop template with no pacing delay, requested by F0 7D 10 01 F7.
    DRUVTemplate* AddTemplate(const char* name, int32_t size) {
        DRUVTemplate* added = device.AddTemplate(name);
        added->SetSize(size);
        added->SetDelayBetweenSysX(0);
        added->SetRequest("F0 7D 10 01 F7");
        return added;
    }

    // Builds the store from the templates and chooses both ports.
    void Build() {
        data.BuildFrom(device);
        data.OutPort = 1;
        data.InPort = 2;
    }

    TransferContext Context() { return TransferContext{device, data, state}; }
    bool Receive(uint32_t mask = 0) { return ReceiveDumps(Context(), mask, &sink, this); }
    bool Transmit(uint32_t mask = 0) { return TransmitDumps(Context(), mask, &sink, this); }

    // An incoming SysX message, F0 included, handed over as the host does.
    void Reply(const Bytes& message, bool secondKind = false) {
        OnSysX(state, secondKind, message.data() + 1, static_cast<uint32_t>(message.size() - 1));
    }
    void ReplyShort(uint8_t status, uint8_t first, uint8_t second) {
        OnShortMessage(state, status | (uint32_t{first} << 8) | (uint32_t{second} << 16));
    }
    // Every SysX message the engine sends is answered with `replies` in turn
    // (an empty entry: no answer).
    void AnswerRequests(std::vector<std::vector<Bytes>> replies) {
        auto next = std::make_shared<size_t>(0);
        out.SetAnswer([this, replies, next](const SentEvent& sent) {
            if (!sent.IsSysX() || *next >= replies.size()) return;
            for (const Bytes& reply : replies[(*next)++]) Reply(reply);
        });
    }

    Bytes Stored(size_t index) const {
        const DumpItem& item = *data.Items.at(index);
        int32_t length = item.Length.load();
        if (!item.Data() || length <= 0) return {};
        return Bytes(item.Data(), item.Data() + length);
    }

    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const ProgressCall& call : sink.calls) texts.push_back(call.Ascii());
        return texts;
    }
    bool ShowedText(const std::string& text) const {
        for (const std::string& shown : Texts())
            if (shown == text) return true;
        return false;
    }

    // The receive state that a failed or finished receive leaves.
    void ExpectReceiveStateCleared() const {
        EXPECT_EQ(nullptr, state.current_template.load());
        EXPECT_EQ(nullptr, state.write_position.load());
        EXPECT_EQ(0, state.bytes_received.load());
        EXPECT_EQ(0u, state.space_left.load());
        EXPECT_FALSE(state.data_received.load());
    }

    VirtualClock clock;
    AnsweringMidiOut out;
    RecordingProgressSink sink;
    DRUVDevice device;
    DRUVData data;
    TransferState state;
};
