// JPEG through the Windows Imaging Component, over COM on the program's one
// thread: the file's bytes as a memory stream, its first frame converted to
// 8-bit grey or 24-bit colour.
#include <windows.h>
#include <wincodec.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "1_platform/system_jpeg.h"

namespace kal {

namespace {

// A COM interface pointer released when it goes.
template <typename T>
class Com {
 public:
  Com() = default;
  ~Com() {
    if (p_) p_->Release();
  }
  Com(const Com&) = delete;
  Com& operator=(const Com&) = delete;
  T** put() { return &p_; }
  T* operator->() const { return p_; }
  T* get() const { return p_; }

 private:
  T* p_ = nullptr;
};

// COM for the thread while a picture is decoded; a thread where COM runs
// already (in either model) keeps it as it is.
class ComScope {
 public:
  ComScope() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComScope() {
    if (SUCCEEDED(hr_)) CoUninitialize();
  }
  bool usable() const { return SUCCEEDED(hr_) || hr_ == RPC_E_CHANGED_MODE; }

 private:
  HRESULT hr_;
};

// The first frame of a JPEG in memory; false when the bytes are no JPEG.
bool OpenFrame(IWICImagingFactory* factory, std::string_view bytes, IWICStream* stream,
               Com<IWICBitmapDecoder>* decoder, Com<IWICBitmapFrameDecode>* frame) {
  auto* data = reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data()));
  if (FAILED(stream->InitializeFromMemory(data, static_cast<DWORD>(bytes.size())))) return false;
  if (FAILED(factory->CreateDecoderFromStream(stream, nullptr, WICDecodeMetadataCacheOnDemand, decoder->put())))
    return false;
  GUID container{};
  if (FAILED((*decoder)->GetContainerFormat(&container)) || container != GUID_ContainerFormatJpeg) return false;
  return SUCCEEDED((*decoder)->GetFrame(0, frame->put()));
}

bool Decode(std::string_view bytes, Picture* p) {
  Com<IWICImagingFactory> factory;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                              reinterpret_cast<void**>(factory.put()))))
    return false;
  Com<IWICStream> stream;
  Com<IWICBitmapDecoder> decoder;
  Com<IWICBitmapFrameDecode> frame;
  if (FAILED(factory->CreateStream(stream.put())) || !OpenFrame(factory.get(), bytes, stream.get(), &decoder, &frame))
    return false;
  UINT w = 0, h = 0;
  if (FAILED(frame->GetSize(&w, &h)) || !PictureSizeAllowed(w, h)) return false;
  WICPixelFormatGUID source{};
  frame->GetPixelFormat(&source);
  bool grey = source == GUID_WICPixelFormat8bppGray;
  Com<IWICFormatConverter> converter;
  if (FAILED(factory->CreateFormatConverter(converter.put())) ||
      FAILED(converter->Initialize(frame.get(), grey ? GUID_WICPixelFormat8bppGray : GUID_WICPixelFormat24bppBGR,
                                   WICBitmapDitherTypeNone, nullptr, 0.0, WICBitmapPaletteTypeCustom)))
    return false;
  UINT bytes_per_pixel = grey ? 1 : 3;
  std::vector<uint8_t> pixels(static_cast<size_t>(w) * h * bytes_per_pixel);
  if (FAILED(converter->CopyPixels(nullptr, w * bytes_per_pixel, static_cast<UINT>(pixels.size()), pixels.data())))
    return false;
  p->width = static_cast<int>(w);
  p->height = static_cast<int>(h);
  p->grey = grey;
  p->rgb.resize(static_cast<size_t>(w) * h * 3);
  for (size_t i = 0, n = static_cast<size_t>(w) * h; i < n; ++i) {
    uint8_t* out = &p->rgb[i * 3];
    if (grey) {
      out[0] = out[1] = out[2] = pixels[i];
    } else {
      out[0] = pixels[i * 3 + 2];
      out[1] = pixels[i * 3 + 1];
      out[2] = pixels[i * 3];
    }
  }
  return true;
}

}  // namespace

bool SystemDecodeJpeg(std::string_view bytes, Picture* out) {
  if (bytes.empty() || bytes.size() > std::numeric_limits<DWORD>::max()) return false;
  ComScope com;
  if (!com.usable()) return false;
  Picture p;
  if (!Decode(bytes, &p)) return false;
  *out = std::move(p);
  return true;
}

}  // namespace kal
