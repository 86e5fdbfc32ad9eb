#include "dwg/dwg_thumbnail_win.h"

#include <windows.h>
#include <wincodec.h>

#include "base/silent_abort.h"
#include "base/strings.h"
#include "dwg/dwg_preview.h"
#include "ui/com.h"

namespace tesmar {
namespace {

// Larger than any preview a CAD program stores, small enough to allocate without harm.
constexpr unsigned long long kMaxPreviewPixels = 4096ull * 4096ull;

void Check(HRESULT hr) {
  if (FAILED(hr)) throw SilentAbort();
}

// One factory for the thread, made on first use; COM is initialised for the thread when the
// caller has not done so.
IWICImagingFactory* Factory() {
  thread_local IWICImagingFactory* factory = nullptr;
  if (!factory) {
    HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    (void)init;  // S_FALSE or RPC_E_CHANGED_MODE: COM is already there
    Check(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                           reinterpret_cast<void**>(&factory)));
  }
  return factory;
}

}  // namespace

RgbImage DecodePreviewImage(std::string_view bytes) {
  if (bytes.empty() || bytes.size() > 0xFFFFFFFFu) throw SilentAbort();
  IWICImagingFactory* f = Factory();
  ui::ComPtr<IWICStream> stream;
  Check(f->CreateStream(stream.Out()));
  Check(stream->InitializeFromMemory(reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data())), DWORD(bytes.size())));
  ui::ComPtr<IWICBitmapDecoder> decoder;
  Check(f->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand, decoder.Out()));
  ui::ComPtr<IWICBitmapFrameDecode> frame;
  Check(decoder->GetFrame(0, frame.Out()));
  UINT w = 0, h = 0;
  Check(frame->GetSize(&w, &h));
  if (w == 0 || h == 0 || static_cast<unsigned long long>(w) * h > kMaxPreviewPixels) throw SilentAbort();
  ui::ComPtr<IWICFormatConverter> converter;
  Check(f->CreateFormatConverter(converter.Out()));
  Check(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone, nullptr, 0.0,
                              WICBitmapPaletteTypeCustom));
  RgbImage img{static_cast<int>(w), static_cast<int>(h)};
  Check(converter->CopyPixels(nullptr, w * 4, UINT(img.pixels.size() * 4), reinterpret_cast<BYTE*>(img.pixels.data())));
  for (Rgb& c : img.pixels) c &= 0x00FFFFFFu;  // the fourth byte of 32bppBGR is undefined
  return img;
}

bool LoadDwgThumbnail(const std::u16string& fileName, RgbImage& bitmap) {
  DwgPreviewBytes preview = ReadDwgPreviewFile(PathFromU16(fileName));
  if (preview.format == DwgPreviewFormat::None) return false;
  bitmap = DecodePreviewImage(preview.image);
  return true;
}

}  // namespace tesmar
