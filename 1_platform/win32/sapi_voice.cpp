// The system's voices through SAPI 5's automation interface (ISpeechVoice
// over COM), for both the desktop runtime and the server speech platform:
// only the classes differ. The voice speaks on the runtime's own threads;
// its speak-complete event is looked at without waiting, so nothing here
// blocks the event pump.
#include <windows.h>
#include <ole2.h>
#include <oleauto.h>
#include <sapi.h>

#include <cstdio>
#include <string>

#include "1_platform/system_voice.h"
#include "1_platform/win32/wide.h"

namespace kal {
namespace {

// The classes of the two runtimes and the interfaces both share.
const CLSID kVoiceClass = {0x96749377, 0x3391, 0x11D2, {0x9E, 0xE3, 0x00, 0xC0, 0x4F, 0x79, 0x73, 0x96}};
const CLSID kVoiceClass54 = {0xD941651C, 0x44E6, 0x4C17, {0xBA, 0xDF, 0xC3, 0x68, 0x26, 0xFC, 0x34, 0x24}};
const CLSID kFileStreamClass = {0x947812B3, 0x2AE1, 0x4644, {0xBA, 0x86, 0x9E, 0x90, 0xDE, 0xD7, 0xEC, 0x91}};
const CLSID kFileStreamClass54 = {0x3346EF73, 0x0E05, 0x4907, {0x81, 0xAC, 0x1F, 0x35, 0x47, 0xDA, 0x6F, 0xFE}};
const IID kVoiceInterface = {0x269316D8, 0x57BD, 0x11D2, {0x9E, 0xEE, 0x00, 0xC0, 0x4F, 0x79, 0x73, 0x96}};
const IID kFileStreamInterface = {0xAF67F125, 0xAB39, 0x4E93, {0xB4, 0xA2, 0xCC, 0x2E, 0x66, 0xE1, 0x82, 0xA7}};

template <typename T>
void ReleaseCom(T** p) {
  if (*p) (*p)->Release();
  *p = nullptr;
}

// A BSTR that frees itself.
class Bstr {
 public:
  explicit Bstr(const std::wstring& text) : s_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
  ~Bstr() { SysFreeString(s_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  BSTR get() const { return s_; }

 private:
  BSTR s_;
};

// Latin-1 bytes are the first 256 code points of UTF-16.
std::wstring FromLatin1(std::string_view text) {
  std::wstring w(text.size(), L'\0');
  for (size_t i = 0; i < text.size(); ++i) w[i] = static_cast<unsigned char>(text[i]);
  return w;
}

std::string HresultText(const char* what, HRESULT hr) {
  char code[16];
  std::snprintf(code, sizeof code, "%08lX", static_cast<unsigned long>(hr));
  return std::string(what) + " (0x" + code + ")";
}

class SapiVoice : public SystemVoice {
 public:
  explicit SapiVoice(bool flavour54) : flavour54_(flavour54) {}
  ~SapiVoice() override { Close(); }

  bool Open(std::string* err) override {
    Close();
    // The program's thread is a single-threaded apartment; a thread already
    // set up otherwise keeps its model.
    HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    com_ = SUCCEEDED(hr);
    hr = CoCreateInstance(flavour54_ ? kVoiceClass54 : kVoiceClass, nullptr, CLSCTX_ALL, kVoiceInterface,
                          reinterpret_cast<void**>(&voice_));
    if (FAILED(hr) || !voice_) return Fail(err, HresultText("the voice class is not registered", hr));
    hr = voice_->put_EventInterests(SVEAllEvents);
    if (FAILED(hr)) return Fail(err, HresultText("the voice refused its events", hr));
    LONG handle = 0;
    hr = voice_->SpeakCompleteEvent(&handle);
    if (FAILED(hr) || !handle) return Fail(err, HresultText("the voice has no completion event", hr));
    done_ = reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(handle));
    return true;
  }

  int VoiceCount() override {
    if (!voice_) return 0;
    ReleaseCom(&tokens_);
    Bstr none(L"");
    LONG count = 0;
    if (FAILED(voice_->GetVoices(none.get(), none.get(), &tokens_)) || !tokens_ ||
        FAILED(tokens_->get_Count(&count)) || count < 0)
      return 0;
    return static_cast<int>(count);
  }

  bool UseVoice(int index) override {
    if (!tokens_) return false;
    ISpeechObjectToken* token = nullptr;
    if (FAILED(tokens_->Item(index, &token)) || !token) return false;
    HRESULT hr = voice_->putref_Voice(token);
    token->Release();
    return SUCCEEDED(hr);
  }

  bool SetRate(int rate) override { return voice_ && SUCCEEDED(voice_->put_Rate(rate)); }

  bool SetOutputFile(const std::string& path) override {
    if (!voice_) return false;
    ReleaseCom(&file_);
    HRESULT hr = CoCreateInstance(flavour54_ ? kFileStreamClass54 : kFileStreamClass, nullptr, CLSCTX_ALL,
                                  kFileStreamInterface, reinterpret_cast<void**>(&file_));
    if (FAILED(hr) || !file_) return false;
    Bstr name(Widen(path));
    if (FAILED(file_->Open(name.get(), SSFMCreateForWrite, VARIANT_TRUE))) {
      ReleaseCom(&file_);
      return false;
    }
    return SUCCEEDED(voice_->putref_AudioOutputStream(file_));
  }

  // A text the voice refuses is lost; the system's default sound (played
  // without waiting) tells the user that something was not said.
  bool Speak(std::string_view latin1) override {
    if (!voice_) return false;
    Bstr text(FromLatin1(latin1));
    LONG stream = 0;
    if (SUCCEEDED(voice_->Speak(text.get(), static_cast<SpeechVoiceSpeakFlags>(SVSFlagsAsync | SVSFIsNotXML),
                                &stream)))
      return true;
    MessageBeep(MB_OK);
    return false;
  }

  bool Speaking() override { return done_ && WaitForSingleObject(done_, 0) == WAIT_TIMEOUT; }

  // A blank spoken after the purge, without waiting for it.
  bool Purge() override {
    if (!voice_) return false;
    Bstr blank(L" ");
    LONG stream = 0;
    return SUCCEEDED(voice_->Speak(
        blank.get(), static_cast<SpeechVoiceSpeakFlags>(SVSFlagsAsync | SVSFPurgeBeforeSpeak | SVSFIsNotXML), &stream));
  }

  void Close() override {
    if (file_) file_->Close();
    ReleaseCom(&file_);
    ReleaseCom(&tokens_);
    ReleaseCom(&voice_);  // the completion event is the voice's own
    done_ = nullptr;
    if (com_) CoUninitialize();
    com_ = false;
  }

 private:
  bool Fail(std::string* err, const std::string& why) {
    if (err) *err = why;
    Close();
    return false;
  }

  bool flavour54_;
  bool com_ = false;
  ISpeechVoice* voice_ = nullptr;
  ISpeechObjectTokens* tokens_ = nullptr;
  ISpeechFileStream* file_ = nullptr;
  HANDLE done_ = nullptr;
};

}  // namespace

std::unique_ptr<SystemVoice> MakeSystemVoice(bool flavour54) { return std::make_unique<SapiVoice>(flavour54); }

}  // namespace kal
