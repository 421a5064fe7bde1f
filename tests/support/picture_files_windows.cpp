// JPEG files for the tests on Windows, through the Windows Imaging
// Component's encoder (the Windows build has no libjpeg).
#include <windows.h>
#include <wincodec.h>

#include <vector>

#include "tests/support/picture_files.h"

namespace kal::test {

namespace {

template <typename T>
struct Released {
  T* p = nullptr;
  ~Released() {
    if (p) p->Release();
  }
};

}  // namespace

std::string EncodeJpeg(const Picture& picture) {
  HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  std::string out;
  {
    Released<IWICImagingFactory> factory;
    Released<IStream> stream;
    Released<IWICBitmapEncoder> encoder;
    Released<IWICBitmapFrameEncode> frame;
    Released<IPropertyBag2> options;
    bool ok = SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                         IID_IWICImagingFactory, reinterpret_cast<void**>(&factory.p))) &&
              SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, &stream.p)) &&
              SUCCEEDED(factory.p->CreateEncoder(GUID_ContainerFormatJpeg, nullptr, &encoder.p)) &&
              SUCCEEDED(encoder.p->Initialize(stream.p, WICBitmapEncoderNoCache)) &&
              SUCCEEDED(encoder.p->CreateNewFrame(&frame.p, &options.p)) && SUCCEEDED(frame.p->Initialize(options.p)) &&
              SUCCEEDED(frame.p->SetSize(picture.width, picture.height));
    WICPixelFormatGUID format = picture.grey ? GUID_WICPixelFormat8bppGray : GUID_WICPixelFormat24bppBGR;
    ok = ok && SUCCEEDED(frame.p->SetPixelFormat(&format));
    // The encoder may take another format; BGR and grey are what it is given.
    int bpp = format == GUID_WICPixelFormat8bppGray ? 1 : 3;
    std::vector<BYTE> pixels;
    for (int y = 0; y < picture.height; ++y)
      for (int x = 0; x < picture.width; ++x) {
        const uint8_t* p = picture.Pixel(x, y);
        if (bpp == 1) {
          pixels.push_back(p[0]);
        } else {
          pixels.insert(pixels.end(), {p[2], p[1], p[0]});
        }
      }
    ok = ok && SUCCEEDED(frame.p->WritePixels(picture.height, picture.width * bpp, static_cast<UINT>(pixels.size()),
                                              pixels.data())) &&
         SUCCEEDED(frame.p->Commit()) && SUCCEEDED(encoder.p->Commit());
    HGLOBAL memory = nullptr;
    if (ok && SUCCEEDED(GetHGlobalFromStream(stream.p, &memory))) {
      STATSTG st{};
      stream.p->Stat(&st, STATFLAG_NONAME);
      const char* bytes = static_cast<const char*>(GlobalLock(memory));
      if (bytes) out.assign(bytes, static_cast<size_t>(st.cbSize.QuadPart));
      GlobalUnlock(memory);
    }
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return out;
}

}  // namespace kal::test
