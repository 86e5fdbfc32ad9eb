// tesmar-tool stat FILE.dxf: probes and reads the file as the viewer would and prints what the
// model holds afterwards as one JSON object (UTF-8) on standard output. Failures print the
// reader's status and message on standard error and end with exit code 1.
#include "cli/stat.h"

#include <chrono>
#include <cstdio>
#include <utility>
#include <vector>

#include "base/codepage.h"
#include "base/readonly_file.h"
#include "base/strings.h"
#include "cli/command.h"
#include "cli/stderr_report.h"
#include "dxf/probe.h"
#include "dxf/reader.h"

namespace tesmar::cli {
namespace {

std::vector<std::pair<const char*, StatMemberFn>>& Members() {
  static std::vector<std::pair<const char*, StatMemberFn>> members;
  return members;
}

int Stat(const std::vector<std::string>& args) {
  if (args.size() != 1) {
    std::fprintf(stderr, "usage: tesmar-tool stat FILE.dxf\n");
    return 2;
  }
  const std::u16string file = Utf8ToUtf16(args[0]);
  TDrawingModel model;
  const bool exists = IsExistingFile(PathFromU16(file));
  const TDxfProbe probe = ProbeDxfFile(file);

  std::u16string status, version;
  double ms = 0;
  bool ok = exists && probe.readable && probe.versionRead;
  if (!probe.readable) {
    ClearAll(model);
    PrintUtf8Line(stderr, u"AutoCAD Binary DXF");
  } else if (!probe.versionRead) {
    ClearAll(model);
    std::fprintf(stderr, "%s: cannot be opened\n", args[0].c_str());
  } else {
    StderrReport report;
    const auto start = std::chrono::steady_clock::now();
    version = ReadDxfFile(model, file, nullptr, &report, status, probe.encoding);
    ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    if (!status.empty()) {
      PrintUtf8Line(stderr, status);
      ok = false;
    }
    // The reader reads a missing file as an empty drawing without a word; say it here.
    if (!exists) std::fprintf(stderr, "%s: no such file\n", args[0].c_str());
  }

  JsonWriter out;
  out.BeginObject();
  out.Key("readable").Bool(probe.readable);
  out.Key("acadver").String(probe.readable && probe.versionRead ? version : probe.acadver);
  out.Key("encoding").String(probe.encoding == TextEncoding::Utf8 ? "utf8" : "ansi");
  out.Key("tables").BeginObject();
  for (const TTableCount& t : TableCounts(model)) out.Key(t.name).Int(static_cast<std::int64_t>(t.count));
  out.EndObject();
  out.Key("layers").BeginArray();
  for (const TLayer& layer : model.LayerAry) {
    out.BeginObject();
    out.Key("name").String(layer.Name);
    out.Key("color").Int(layer.color);
    out.Key("visible").Bool(layer.visible);
    out.EndObject();
  }
  out.EndArray();
  out.Key("status").String(status);
  out.Key("read_ms").Number(ms);
  for (const auto& [key, fn] : Members()) {
    out.Key(key);
    fn(model, out);
  }
  out.EndObject();
  std::fwrite(out.Text().data(), 1, out.Text().size(), stdout);
  std::fputc('\n', stdout);
  return ok ? 0 : 1;
}

}  // namespace

StatMemberRegistration::StatMemberRegistration(const char* key, StatMemberFn fn) { Members().emplace_back(key, fn); }

TESMAR_TOOL_COMMAND("stat", "FILE.dxf", Stat);

}  // namespace tesmar::cli
