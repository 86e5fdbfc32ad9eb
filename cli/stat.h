#pragma once
// `tesmar-tool stat FILE.dxf` probes and reads a DXF file as the viewer does and prints one
// JSON object. Other modules add members to that object (after the reader's own) by
// registering a function that writes the member's value.
#include "base/json_writer.h"
#include "dxf/model.h"

namespace tesmar::cli {

// Writes exactly one JSON value describing the model after the read.
using StatMemberFn = void (*)(TDrawingModel& model, JsonWriter& out);

struct StatMemberRegistration {
  StatMemberRegistration(const char* key, StatMemberFn fn);
};

}  // namespace tesmar::cli

#define TESMAR_STAT_MEMBER(key, fn) static ::tesmar::cli::StatMemberRegistration tesmar_stat_member_##fn(key, fn)
