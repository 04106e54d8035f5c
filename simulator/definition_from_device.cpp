#include "device/druv_device.h"
#include "simulator/instrument_definition.h"

namespace druv::simulator {

InstrumentDefinition DefinitionFromDevice(const DRUVDevice& device) {
  InstrumentDefinition definition;
  definition.deviceId.offset = device.SysXChanOfs();
  definition.deviceId.maxId = device.SysXChanMax();
  definition.usesMidiChannel = device.MidiChannel() != 0;
  for (size_t i = 0; i < device.TemplateCount(); ++i) {
    const DRUVTemplate& source = *device.Template(i);
    TemplateDefinition tmpl;
    tmpl.name = source.Name();
    tmpl.size = source.Size();
    tmpl.checksum = ChecksumRuleOf(source, device.FormatVersion());
    tmpl.requestChecksum = RequestChecksumRuleOf(source, device.FormatVersion());
    tmpl.numLoops = source.NumLoops();
    tmpl.loopStart = source.LoopStart();
    tmpl.loopIncDec = source.LoopIncDec();
    tmpl.loopRecvSize = source.LoopRecvSize();
    tmpl.loopValFormat = source.LoopValFormat();
    tmpl.useMidiChannel = source.UseMidiChannel() != 0;
    tmpl.fixedLength = source.FixedLength() != 0;
    tmpl.multiSysX = source.MultiSysX() != 0;
    tmpl.request = source.Request();
    tmpl.terminator = source.Terminator();
    const TemplateExtensions& x = source.Extensions();
    tmpl.address = LoopAddress{x.addressOfs, x.addressBytes, x.addressStart, x.addressIncDec};
    tmpl.outer = OuterLoop{x.outerLoopCount, x.outerLoopStart, x.outerLoopIncDec, x.outerLoopOfs, x.outerLoopValFormat};
    tmpl.unknownLength = x.unknownLength != 0;
    tmpl.ackPattern = x.ackPattern;
    tmpl.ackErrorPattern = x.ackErrorPattern;
    definition.templates.push_back(std::move(tmpl));
  }
  return definition;
}

}  // namespace druv::simulator
