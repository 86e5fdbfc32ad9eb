// tesmar-tool thumb FILE.dwg OUT.png: reads the preview stored in a DWG file as the main
// window does, writes it as PNG and prints one JSON line with the version digits, the code of
// the second preview entry and the image size. Exit code 0 with an image, 3 when the file
// yields no image, 4 when the read ends in the silent abort (damaged file).
#include <cstdio>
#include <fstream>

#include "base/silent_abort.h"
#include "cli/command.h"
#include "dwg/dwg_preview.h"
#include "dwg/dwg_thumbnail_win.h"
#include "dwg/dwg_writer.h"

namespace {

int ThumbMain(const std::vector<std::string>& args) {
  if (args.size() != 2) {
    std::fprintf(stderr, "usage: tesmar-tool thumb FILE.dwg OUT.png\n");
    return 2;
  }
  tesmar::DwgPreviewBytes preview;
  tesmar::RgbImage image;
  try {
    preview = tesmar::ReadDwgPreviewFile(tesmar::cli::PathArg(args[0]));
    if (preview.format == tesmar::DwgPreviewFormat::None) {
      std::printf("{\"version\": %d, \"code\": %d}\n", preview.version, int(preview.code));
      return 3;
    }
    image = tesmar::DecodePreviewImage(preview.image);
  } catch (const tesmar::SilentAbort&) {
    return 4;
  }
  std::ofstream out(tesmar::cli::PathArg(args[1]), std::ios::binary | std::ios::trunc);
  const std::string png = tesmar::MakePng(image);
  out.write(png.data(), std::streamsize(png.size()));
  if (!out) {
    std::fprintf(stderr, "thumb: cannot write %s\n", args[1].c_str());
    return 1;
  }
  std::printf("{\"version\": %d, \"code\": %d, \"width\": %d, \"height\": %d}\n", preview.version,
              int(preview.code), image.width, image.height);
  return 0;
}

}  // namespace

TESMAR_TOOL_COMMAND("thumb", "FILE.dwg OUT.png  write the DWG's preview as PNG, print its facts", ThumbMain);
