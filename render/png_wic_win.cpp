#include "render/png_wic_win.h"

#include <windows.h>
#include <wincodec.h>

#include <fstream>
#include <stdexcept>
#include <vector>

#include "ui/com.h"

namespace tesmar {

namespace {

void Check(HRESULT hr, const char* what) {
  if (FAILED(hr)) throw std::runtime_error(std::string("PNG encoding failed in ") + what);
}

}  // namespace

std::string EncodePngWic(const RgbImage& image) {
  const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  struct Uninit {
    HRESULT hr;
    ~Uninit() {
      if (SUCCEEDED(hr)) CoUninitialize();
    }
  } uninit{init};
  ui::ComPtr<IWICImagingFactory> factory;
  Check(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                         reinterpret_cast<void**>(factory.Out())),
        "CoCreateInstance");
  ui::ComPtr<IStream> stream;
  Check(CreateStreamOnHGlobal(nullptr, TRUE, stream.Out()), "CreateStreamOnHGlobal");
  ui::ComPtr<IWICBitmapEncoder> encoder;
  Check(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.Out()), "CreateEncoder");
  Check(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache), "Initialize");
  ui::ComPtr<IWICBitmapFrameEncode> frame;
  Check(encoder->CreateNewFrame(frame.Out(), nullptr), "CreateNewFrame");
  Check(frame->Initialize(nullptr), "frame Initialize");
  Check(frame->SetSize(image.width, image.height), "SetSize");
  WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
  Check(frame->SetPixelFormat(&format), "SetPixelFormat");
  const UINT stride = static_cast<UINT>(image.width) * 3;
  std::vector<BYTE> row(stride);
  std::vector<BYTE> bits(static_cast<std::size_t>(stride) * image.height);
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const Rgb c = image.pixels[static_cast<std::size_t>(y) * image.width + x];
      BYTE* p = &bits[static_cast<std::size_t>(y) * stride + x * 3];
      p[0] = BYTE(BlueOf(c)), p[1] = BYTE(GreenOf(c)), p[2] = BYTE(RedOf(c));
    }
  }
  Check(frame->WritePixels(image.height, stride, static_cast<UINT>(bits.size()), bits.data()), "WritePixels");
  Check(frame->Commit(), "frame Commit");
  Check(encoder->Commit(), "Commit");
  HGLOBAL global = nullptr;
  Check(GetHGlobalFromStream(stream.get(), &global), "GetHGlobalFromStream");
  STATSTG stat{};
  Check(stream->Stat(&stat, STATFLAG_NONAME), "Stat");
  const void* data = GlobalLock(global);
  std::string out(static_cast<const char*>(data), static_cast<std::size_t>(stat.cbSize.QuadPart));
  GlobalUnlock(global);
  return out;
}

void WritePngWic(const std::filesystem::path& path, const RgbImage& image) {
  const std::string bytes = EncodePngWic(image);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) throw std::runtime_error("cannot write the PNG file");
}

}  // namespace tesmar
