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
    tmpl.checksum = ChecksumRuleOf(source);
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
    definition.templates.push_back(std::move(tmpl));
  }
  return definition;
}

}  // namespace druv::simulator
