// Definitions of invented instruments that use the definition format's
// extensions, shaped after real units: Roland-style patch requests with
// their own checksum and an address stride, a banked synth with Kawai-style
// checksums and "write complete" answers, a module whose replies have no
// fixed length, and two panel dumps that end by a count of messages and by
// a quiet gap. Native and Wine tests take them through the engine and
// through DRUV.dll alike; each simulated instrument answers them from the
// same definition.
#pragma once

#include <cstdint>
#include <string>

namespace extension_definitions {

struct ExtensionDefinition {
    const char* name;      // for test names: letters and digits only
    const char* guid;      // DeviceGUID as the file gives it
    const char* xml;
    bool manual;           // a panel dump: the musician starts it
    int32_t panelBytes;    // manual: the bytes the instrument's panel dump holds (its template's Size otherwise)
    int panelMessages;     // manual: in this many messages
};

// Roland-style requests per patch: the address 05 00 00 + n x 180h in three
// bytes, the request's checksum over address and size, the reply's checksum
// from byte 5 to the one before it, checked as each loop ends.
inline constexpr char kPatchUnit[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<DRUVDevice>
  <FormatVersion>2</FormatVersion>
  <DeviceGUID>6A1D4E80-3B2C-4F51-9E07-8C5A2F1B7D40</DeviceGUID>
  <EditorGUID>7B2E5F91-4C3D-4062-8F18-9D6B301C8E51</EditorGUID>
  <Company>Quillon</Company>
  <Product>Patch Unit</Product>
  <Version>1.0</Version>
  <SysXChanOfs>2</SysXChanOfs>
  <SysXChanMin>16</SysXChanMin>
  <SysXChanMax>31</SysXChanMax>
  <Template>Patches<Size>120</Size><CSumType>1</CSumType><CSumStart>5</CSumStart><NumLoops>4</NumLoops><LoopRecvSize>30</LoopRecvSize><DelayBetweenSysX>0</DelayBetweenSysX><Request>F0 41 10 3D 11 00 00 00 00 00 1E 00 F7 </Request><TimeOut>1</TimeOut><RequestCSumType>1</RequestCSumType><RequestCSumStart>5</RequestCSumStart><RequestCSumFromEnd>2</RequestCSumFromEnd><CSumFromEnd>2</CSumFromEnd><CSumVerify>1</CSumVerify><AddressOfs>5</AddressOfs><AddressBytes>3</AddressBytes><AddressStart>81920</AddressStart><AddressIncDec>384</AddressIncDec></Template>
</DRUVDevice>
)";

// Three banks of four singles in one template; each single's checksum is
// (sum + A5h) & 7Fh over its data, and each replayed single waits for the
// unit's "write complete".
inline constexpr char kBankSynth[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<DRUVDevice>
  <FormatVersion>2</FormatVersion>
  <DeviceGUID>8C3F6A02-5D4E-4173-A029-AE7C412D9F62</DeviceGUID>
  <EditorGUID>9D407B13-6E5F-4284-B13A-BF8D523EA073</EditorGUID>
  <Company>Quillon</Company>
  <Product>Bank Synth</Product>
  <Version>1.0</Version>
  <SysXChanOfs>2</SysXChanOfs>
  <SysXChanMin>0</SysXChanMin>
  <SysXChanMax>15</SysXChanMax>
  <Template>Banks<Size>288</Size><CSumType>4</CSumType><CSumStart>8</CSumStart><NumLoops>4</NumLoops><LoopRecvSize>24</LoopRecvSize><DelayBetweenSysX>0</DelayBetweenSysX><Request>F0 40 00 00 00 03 00 F1 F7 </Request><TimeOut>1</TimeOut><CSumFromEnd>2</CSumFromEnd><CSumConstant>165</CSumConstant><CSumVerify>1</CSumVerify><OuterLoopCount>3</OuterLoopCount><OuterLoopStart>0</OuterLoopStart><OuterLoopIncDec>1</OuterLoopIncDec><OuterLoopOfs>6</OuterLoopOfs><AckPattern>F0 40 00 40 </AckPattern><AckErrorPattern>F0 40 00 41 </AckErrorPattern><AckTimeOut>500</AckTimeOut></Template>
</DRUVDevice>
)";

// Replies of any length up to 200 bytes, one message a loop.
inline constexpr char kSoundModule[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<DRUVDevice>
  <FormatVersion>2</FormatVersion>
  <DeviceGUID>AE518C24-7F60-4395-C24B-C09E634FB184</DeviceGUID>
  <EditorGUID>BF629D35-8071-44A6-D35C-D1AF7450C295</EditorGUID>
  <Company>Quillon</Company>
  <Product>Sound Module</Product>
  <Version>1.0</Version>
  <SysXChanOfs>2</SysXChanOfs>
  <SysXChanMin>0</SysXChanMin>
  <SysXChanMax>15</SysXChanMax>
  <Template>Singles<Size>600</Size><CSumType>2</CSumType><CSumStart>5</CSumStart><NumLoops>3</NumLoops><LoopRecvSize>200</LoopRecvSize><DelayBetweenSysX>0</DelayBetweenSysX><Request>F0 7D 00 01 F1 F7 </Request><TimeOut>1</TimeOut><CSumFromEnd>2</CSumFromEnd><CSumVerify>1</CSumVerify><UnknownLength>1</UnknownLength></Template>
</DRUVDevice>
)";

// A panel dump of four messages, of up to 1000 bytes in all: it ends with
// its fourth message. Checksums over nybbles, low nybble first.
inline constexpr char kPanelSynth[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<DRUVDevice>
  <FormatVersion>2</FormatVersion>
  <DeviceGUID>C0730E46-9182-45B7-E46D-E2B08561D3A6</DeviceGUID>
  <EditorGUID>D1841F57-A293-46C8-F57E-F3C19672E4B7</EditorGUID>
  <Company>Quillon</Company>
  <Product>Panel Synth</Product>
  <Version>1.0</Version>
  <SysXChanOfs>2</SysXChanOfs>
  <SysXChanMin>0</SysXChanMin>
  <SysXChanMax>15</SysXChanMax>
  <Template>Bulk<Size>1000</Size><CSumType>5</CSumType><CSumStart>4</CSumStart><MultiSysX>1</MultiSysX><DelayBetweenSysX>0</DelayBetweenSysX><CSumFromEnd>2</CSumFromEnd><CSumVerify>1</CSumVerify><EndAfterMessages>4</EndAfterMessages></Template>
</DRUVDevice>
)";

// A panel dump of any size up to 2000 bytes: it ends 300 ms after its last
// message. Checksums over nybbles, high nybble first.
inline constexpr char kQuietPanel[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<DRUVDevice>
  <FormatVersion>2</FormatVersion>
  <DeviceGUID>E2952068-B3A4-47D9-068F-04D2A783F5C8</DeviceGUID>
  <EditorGUID>F3A63179-C4B5-48EA-179A-15E3B894A6D9</EditorGUID>
  <Company>Quillon</Company>
  <Product>Quiet Panel</Product>
  <Version>1.0</Version>
  <SysXChanOfs>2</SysXChanOfs>
  <SysXChanMin>0</SysXChanMin>
  <SysXChanMax>15</SysXChanMax>
  <Template>Dump<Size>2000</Size><CSumType>6</CSumType><CSumStart>4</CSumStart><MultiSysX>1</MultiSysX><DelayBetweenSysX>0</DelayBetweenSysX><CSumFromEnd>2</CSumFromEnd><CSumVerify>1</CSumVerify><EndAfterQuiet>300</EndAfterQuiet></Template>
</DRUVDevice>
)";

inline constexpr ExtensionDefinition kDefinitions[] = {
    {"PatchUnit", "6A1D4E80-3B2C-4F51-9E07-8C5A2F1B7D40", kPatchUnit, false, 0, 0},
    {"BankSynth", "8C3F6A02-5D4E-4173-A029-AE7C412D9F62", kBankSynth, false, 0, 0},
    {"SoundModule", "AE518C24-7F60-4395-C24B-C09E634FB184", kSoundModule, false, 0, 0},
    {"PanelSynth", "C0730E46-9182-45B7-E46D-E2B08561D3A6", kPanelSynth, true, 400, 4},
    {"QuietPanel", "E2952068-B3A4-47D9-068F-04D2A783F5C8", kQuietPanel, true, 600, 3},
};

}  // namespace extension_definitions
