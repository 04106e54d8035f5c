// Control and command identifiers of the builder's main window. The window's
// resources and the portable core both use these names, so a box is bound to
// its field in one place only.
#pragma once

using ControlId = int;

namespace builder_controls {

// Device-level boxes.
constexpr ControlId kCompany = 1003;
constexpr ControlId kProduct = 1004;  // labelled "Device"
constexpr ControlId kAuthor = 1005;
constexpr ControlId kVersion = 1006;
constexpr ControlId kHelpFile = 1011;
constexpr ControlId kActivePngFile = 1012;
constexpr ControlId kInactivePngFile = 1013;
constexpr ControlId kDeviceType = 1051;  // drop-down: Mixer, Synth, Effect
constexpr ControlId kSysXChanMin = 1007;
constexpr ControlId kSysXChanMax = 1008;
constexpr ControlId kSysXChanOfs = 1026;
constexpr ControlId kSysXDisplayOfs = 1009;
constexpr ControlId kSysXChanDefault = 1010;
constexpr ControlId kMidiChannel = 1028;   // check box "Requires MIDI Channel"
constexpr ControlId kCurrentDevice = 1054;  // read-only, shows the file path

// Configurations: the list, the name box, the buttons, and the toggle list
// whose selection stands for the current configuration's template names.
constexpr ControlId kConfigurations = 1014;
constexpr ControlId kConfigurationName = 1024;
constexpr ControlId kConfigurationAdd = 1015;
constexpr ControlId kConfigurationRemove = 1016;
constexpr ControlId kConfigurationRename = 1045;
constexpr ControlId kConfigurationUp = 1017;
constexpr ControlId kConfigurationDown = 1018;
constexpr ControlId kConfigurationTemplates = 1044;

// Templates: the list, the name box and the buttons.
constexpr ControlId kTemplates = 1023;
constexpr ControlId kTemplateName = 1025;
constexpr ControlId kTemplateAdd = 1019;
constexpr ControlId kTemplateRemove = 1020;
constexpr ControlId kTemplateRename = 1046;
constexpr ControlId kTemplateUp = 1021;
constexpr ControlId kTemplateDown = 1022;

// Template editor.
constexpr ControlId kSize = 1030;
constexpr ControlId kFixedLength = 1050;     // check box
constexpr ControlId kMultiSysX = 1052;       // check box
constexpr ControlId kUseMidiChannel = 1035;  // check box "Receive All MIDI Messages"
constexpr ControlId kLoopValFormat = 1053;   // drop-down "Loop Store"
constexpr ControlId kDelayBetweenSysX = 1037;
constexpr ControlId kDelayEveryNthByte = 1038;
constexpr ControlId kDelayEveryNthByteAmount = 1039;
constexpr ControlId kLoopRecvSize = 1040;
constexpr ControlId kNumLoops = 1041;
constexpr ControlId kLoopStart = 1042;
constexpr ControlId kLoopIncDec = 1043;
constexpr ControlId kCSumType = 1036;  // drop-down "Type"
constexpr ControlId kCSumStart = 1032;
constexpr ControlId kCSumLength = 1033;
constexpr ControlId kCSumOfs = 1034;
constexpr ControlId kPreRequest = 1029;  // byte boxes from here on
constexpr ControlId kRequest = 1027;
constexpr ControlId kPostRequest = 1031;
constexpr ControlId kPreTransmit = 1047;
constexpr ControlId kTransmit = 1048;
constexpr ControlId kPostTransmit = 1049;
constexpr ControlId kVerify = 1055;           // check box "Use with Detect"
constexpr ControlId kTimeOut = 1056;          // check box "Can Timeout"
constexpr ControlId kTerminator = 1057;       // byte box
constexpr ControlId kStoreTerminator = 1058;  // check box
constexpr ControlId kAdvanced = 1060;         // button "Advanced...": the template's extensions

}  // namespace builder_controls

// The "Advanced" dialog's boxes: the current template's extensions of the
// definition format, grouped as the dialog shows them.
namespace advanced_controls {

// "Request Checksum": the rule of the messages the template sends.
constexpr ControlId kRequestCSumType = 1101;  // drop-down, the checksum kinds
constexpr ControlId kRequestCSumStart = 1102;
constexpr ControlId kRequestCSumLength = 1103;
constexpr ControlId kRequestCSumOfs = 1104;
constexpr ControlId kRequestCSumFromEnd = 1105;
constexpr ControlId kRequestCSumConstant = 1106;
// "Dump Checksum": what the dump's rule of the main window lacks.
constexpr ControlId kCSumFromEnd = 1107;
constexpr ControlId kCSumConstant = 1108;
constexpr ControlId kCSumVerify = 1109;  // check box "Check on Receive"
// "Loop Address".
constexpr ControlId kAddressOfs = 1110;
constexpr ControlId kAddressBytes = 1111;
constexpr ControlId kAddressStart = 1112;
constexpr ControlId kAddressIncDec = 1113;
// "Outer Loop".
constexpr ControlId kOuterLoopCount = 1114;
constexpr ControlId kOuterLoopStart = 1115;
constexpr ControlId kOuterLoopIncDec = 1116;
constexpr ControlId kOuterLoopOfs = 1117;
constexpr ControlId kOuterLoopValFormat = 1118;  // drop-down, the outer loop's formats
// "Replies".
constexpr ControlId kUnknownLength = 1119;  // check box
constexpr ControlId kEndAfterMessages = 1120;
constexpr ControlId kEndAfterQuiet = 1121;
// "Transmit Acknowledgement".
constexpr ControlId kAckPattern = 1122;       // bytes
constexpr ControlId kAckErrorPattern = 1123;  // bytes
constexpr ControlId kAckTimeOut = 1124;

}  // namespace advanced_controls

namespace builder_commands {

constexpr ControlId kToolbar = 1;
constexpr ControlId kNew = 1059;  // a key only (Ctrl+N)
constexpr ControlId kOpen = 1000;
constexpr ControlId kSave = 1001;
constexpr ControlId kSaveAs = 1002;
constexpr ControlId kAbout = 16;  // system menu

}  // namespace builder_commands
