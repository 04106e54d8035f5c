// The host's interfaces as the plug-in calls them. Only the operations the
// plug-in uses are named; the others hold their vtable places and must never
// be called. Every interface uses the component model's calling convention.
#pragma once

#include <cstdint>

#include "platform/com_base.h"
#include "plugin/abi/mp_event.h"

// {0958ECA9-6709-4267-9696-33D56FEC4F6A}
constexpr IID IID_IMPPortDirectory = {
    0x0958ECA9, 0x6709, 0x4267, {0x96, 0x96, 0x33, 0xD5, 0x6F, 0xEC, 0x4F, 0x6A}};
// {D2CB5842-C52D-421A-8547-F5CB3AEB2E6C}
constexpr IID IID_IMPPortBroker = {
    0xD2CB5842, 0xC52D, 0x421A, {0x85, 0x47, 0xF5, 0xCB, 0x3A, 0xEB, 0x2E, 0x6C}};
// The connection point through which the host notifies the plug-in.
// {0958ECAB-6709-4267-9696-33D56FEC4F6A}
constexpr IID IID_IMPNotificationSink = {
    0x0958ECAB, 0x6709, 0x4267, {0x96, 0x96, 0x33, 0xD5, 0x6F, 0xEC, 0x4F, 0x6A}};
// The notification kind that says the host's MIDI ports have changed.
// {9DD48DE6-9F3F-4E80-BCB5-4482A5B5240A}
constexpr GUID MP_NOTIFY_PORTS_CHANGED = {
    0x9DD48DE6, 0x9F3F, 0x4E80, {0xBC, 0xB5, 0x44, 0x82, 0xA5, 0xB5, 0x24, 0x0A}};

// The interfaces the plug-in's filter object answers to the host.
// {0958ECA1-6709-4267-9696-33D56FEC4F6A}
constexpr IID IID_IMPInitialise = {
    0x0958ECA1, 0x6709, 0x4267, {0x96, 0x96, 0x33, 0xD5, 0x6F, 0xEC, 0x4F, 0x6A}};
// {0958ECA3-6709-4267-9696-33D56FEC4F6A}
constexpr IID IID_IMPEventFilter = {
    0x0958ECA3, 0x6709, 0x4267, {0x96, 0x96, 0x33, 0xD5, 0x6F, 0xEC, 0x4F, 0x6A}};
// {FF804522-7B40-44D4-8C42-BEB656A28101}
constexpr IID IID_IMPServices = {
    0xFF804522, 0x7B40, 0x44D4, {0x8C, 0x42, 0xBE, 0xB6, 0x56, 0xA2, 0x81, 0x01}};
// {1FF33C6F-56BD-4997-9CCC-37FF78F59E43}
constexpr IID IID_IMPServices2 = {
    0x1FF33C6F, 0x56BD, 0x4997, {0x9C, 0xCC, 0x37, 0xFF, 0x78, 0xF5, 0x9E, 0x43}};

// Interfaces are released, never deleted through a base pointer, so they have
// no virtual destructor; the system's IUnknown has a public one, which the
// compiler would flag in every derived interface.
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
#endif

enum MPPortDirection : uint32_t { MP_PORT_INPUT = 0, MP_PORT_OUTPUT = 1 };

// The host's MIDI output. The host reads the events (and the SysX bytes they
// point at) only during the call; the plug-in reuses them afterwards.
struct IMPMidiOut : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Send(MPEvent* events, uint32_t count) = 0;

protected:
    ~IMPMidiOut() = default;
};

// Asked for through QueryInterface on the host object with IID_IMPPortDirectory.
struct IMPPortDirectory : IUnknown {
    // Fills `ports` with a list that stays the host's.
    virtual HRESULT STDMETHODCALLTYPE GetPorts(uint32_t direction, MPPortList* ports) = 0;

protected:
    ~IMPPortDirectory() = default;
};

// Asked for through QueryInterface on the host object with IID_IMPPortBroker.
struct IMPPortBroker : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Reserved1() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved2() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved3() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved4() = 0;
    // claim: 1 takes the port for `owner`, 0 gives it back. Both reserved
    // arguments are passed as 0.
    virtual HRESULT STDMETHODCALLTYPE ClaimPort(int32_t claim, const MPPortId& port, uint32_t reserved1,
                                                REFCLSID ownerClass, IUnknown* owner,
                                                uint32_t reserved2) = 0;

protected:
    ~IMPPortBroker() = default;
};

// The incoming events handed to the filter. A result of S_OK with a nonzero
// position delivers one event into `event`; position 0 means none is left.
// The bytes a SysX event points at are the host's and valid during the call
// that processes the list.
struct IMPEventList : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Reserved1() = 0;
    virtual HRESULT STDMETHODCALLTYPE First(uintptr_t* position, MPEvent* event, uint32_t* value,
                                            uint32_t typeMask) = 0;
    virtual HRESULT STDMETHODCALLTYPE Next(uintptr_t* position, MPEvent* event, uint32_t* value,
                                           uint32_t typeMask) = 0;

protected:
    ~IMPEventList() = default;
};

// The host's progress display for one transfer; a plain interface without
// reference counting. `text` may be null; it stays the caller's and is freed
// when the call returns, so the host copies what it keeps.
struct IMPProgressSink {
    virtual HRESULT STDMETHODCALLTYPE Progress(void* context, uint32_t bytesDone, uint32_t bytesTotal,
                                               const WCHAR* text) = 0;

protected:
    ~IMPProgressSink() = default;
};

// What the plug-in's filter object offers the host. Operations the plug-in
// gives no meaning to keep their places and arguments and answer S_OK.

// The host hands over its services; `flags` receives kMPInitialiseHandled.
struct IMPInitialise : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Initialise(IUnknown* host, IMPMidiOut* midiOut, uint32_t unused1,
                                                 uint32_t unused2, uint32_t* flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE Terminate() = 0;

protected:
    ~IMPInitialise() = default;
};

// The bit the plug-in sets in Initialise's flag word.
constexpr uint32_t kMPInitialiseHandled = 0x40;

// Incoming MIDI, called on the host's MIDI input thread.
struct IMPEventFilter : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE ProcessEvents(IMPEventList* events) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetEventRouting(uint32_t* first, uint32_t* second, uint32_t* third) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetEventRouting(uint32_t routing) = 0;

protected:
    ~IMPEventFilter() = default;
};

// Requests and transmissions on the host's behalf, and what the host shows
// of the device. Texts returned through out values come from CoTaskMemAlloc
// and become the host's.
struct IMPServices : IUnknown {
    // transmit: its low 8 bits nonzero send the stored dumps, zero fetches
    // them. Runs on the calling thread until the transfer has ended.
    virtual HRESULT STDMETHODCALLTYPE Transfer(uint32_t transmit, IMPProgressSink* sink, uint32_t mask) = 0;
    virtual HRESULT STDMETHODCALLTYPE Unused2(uintptr_t first, uintptr_t second) = 0;
    virtual HRESULT STDMETHODCALLTYPE Cancel() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPictureUrls(WCHAR** inactive, WCHAR** active) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDataTypes(uint32_t* mask, WCHAR** text, uint32_t* first, uint8_t* second,
                                                   uint32_t* third) = 0;

protected:
    ~IMPServices() = default;
};

struct IMPServices2 : IMPServices {
    virtual HRESULT STDMETHODCALLTYPE Unused6(uintptr_t first, uintptr_t second, uintptr_t third,
                                              uintptr_t fourth) = 0;

protected:
    ~IMPServices2() = default;
};

// Advised to the host's connection point for IID_IMPNotificationSink.
struct IMPNotificationSink : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Notify(const GUID* kind) = 0;

protected:
    ~IMPNotificationSink() = default;
};

// Holds its place among the filter object's bases; never answered by
// QueryInterface.
struct IMPMacOSXHelper : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Unused1(uintptr_t first, uintptr_t second) = 0;

protected:
    ~IMPMacOSXHelper() = default;
};

#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
