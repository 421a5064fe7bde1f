// The CLIPBOARD selection of X11, owned and read from the event loop.
//
// As owner we answer other programs' SelectionRequest events whenever the
// loop sees them: TARGETS, UTF8_STRING and TEXT (UTF-8), STRING (Latin-1).
// A text larger than one request goes by the incremental protocol (INCR):
// chunk after chunk, each put when the requestor has deleted the previous
// one. As requestor we ask for UTF8_STRING (STRING when the owner has no
// UTF-8) into a property of our own window and take the answer, incremental
// or whole, as the events arrive, waiting through the pump.
//
// Nothing here trusts the other side: answers are bounded (a few times the
// largest text a script may hold), transfers that stall are dropped, and a
// requestor that asks for anything else gets a refusal.
#include "1_platform/desktop_clipboard.h"

#include <X11/Xatom.h>

#include <algorithm>
#include <vector>

#include "0_base/latin1.h"
#include "1_platform/event_loop.h"
#include "1_platform/module_entries.h"
#include "1_platform/linux/x11_display.h"
#include "1_platform/pump.h"
#include "1_platform/stop_request.h"

namespace kal {
namespace {

constexpr int kAnswerTimeoutMs = 3000;
constexpr size_t kIncrementalChunk = 64 * 1024;  // bytes per INCR step
constexpr size_t kWholeLimit = 128 * 1024;       // larger answers go by INCR
constexpr int64_t kStalledTransferMs = 10000;

// One incremental answer we are giving.
struct OutgoingTransfer {
  Window requestor = 0;
  Atom property = None;
  Atom type = None;
  std::string data;
  size_t sent = 0;
  bool finished = false;  // the empty closing chunk has been put
  int64_t last_ms = 0;
};

// The answer we are waiting for.
struct Incoming {
  bool waiting = false;
  bool incremental = false;
  bool done = false;
  bool refused = false;
  Atom type = None;
  std::string data;
  size_t max_bytes = 0;
};

class X11Clipboard : public DesktopClipboard {
 public:
  // Answers are timed on the loop of the connection that owns it, and a
  // wait for one ends when that connection's run is asked to stop.
  X11Clipboard(x11::Connection& c, Display* d) : c_(c), d_(d), loop_(c.loop()) {
    window_ = XCreateSimpleWindow(d, DefaultRootWindow(d), -10, -10, 1, 1, 0, 0, 0);
    XSelectInput(d, window_, PropertyChangeMask);
    clipboard_ = x11::Intern(c_, "CLIPBOARD");
    utf8_ = x11::Intern(c_, "UTF8_STRING");
    targets_ = x11::Intern(c_, "TARGETS");
    text_ = x11::Intern(c_, "TEXT");
    incr_ = x11::Intern(c_, "INCR");
    answer_ = x11::Intern(c_, "KALDORIN_CLIPBOARD");
    c_.handlers.push_back([this](XEvent& e) { return OnEvent(e); });
  }

  bool Put(std::string_view latin1) override {
    owned_ = std::string(latin1);
    XSetSelectionOwner(d_, clipboard_, window_, CurrentTime);
    owning_ = XGetSelectionOwner(d_, clipboard_) == window_;
    if (!owning_) owned_.clear();
    return owning_;
  }

  bool Get(std::string* latin1, size_t max_chars) override {
    latin1->clear();
    c_.Drain();  // a SelectionClear may be waiting
    Window owner = XGetSelectionOwner(d_, clipboard_);
    if (owner == None) return true;
    if (owner == window_ && owning_) {
      *latin1 = owned_.substr(0, max_chars);
      return true;
    }
    // UTF-8 takes up to two bytes for a Latin-1 character; the rest of
    // Unicode becomes '?' but may take four.
    size_t max_bytes = max_chars * 4 + 16;
    if (!Ask(utf8_, max_bytes)) return false;
    if (in_.refused && !Ask(XA_STRING, max_bytes)) return false;
    if (in_.refused) return true;  // no text on the clipboard
    *latin1 = in_.type == XA_STRING ? in_.data : Utf8ToLatin1(in_.data);
    if (latin1->size() > max_chars) latin1->resize(max_chars);
    return true;
  }

 private:
  // Asks the owner for the target and waits for the whole answer.
  bool Ask(Atom target, size_t max_bytes) {
    in_ = Incoming{};
    in_.waiting = true;
    in_.max_bytes = max_bytes;
    XDeleteProperty(d_, window_, answer_);
    XConvertSelection(d_, clipboard_, target, answer_, window_, CurrentTime);
    XFlush(d_);
    int64_t deadline = loop_.NowMs() + kAnswerTimeoutMs;
    int64_t last = loop_.NowMs();
    size_t seen = 0;
    while (!in_.done && !StopRequested(c_.platform())) {
      c_.Drain();
      if (in_.done) break;
      // An incremental answer may take long in all; each chunk may not.
      if (in_.data.size() != seen) {
        seen = in_.data.size();
        last = loop_.NowMs();
        deadline = last + kAnswerTimeoutMs;
      }
      if (loop_.NowMs() >= deadline) break;
      Delay(c_.platform(), 5);
    }
    bool ok = in_.done;
    in_.waiting = false;
    if (!ok) XDeleteProperty(d_, window_, answer_);
    return ok;
  }

  bool OnEvent(XEvent& e) {
    switch (e.type) {
      case SelectionRequest:
        if (e.xselectionrequest.owner != window_) return false;
        Answer(e.xselectionrequest);
        return true;
      case SelectionClear:
        if (e.xselectionclear.window != window_) return false;
        if (e.xselectionclear.selection == clipboard_) {
          owning_ = false;
          owned_.clear();
          owned_.shrink_to_fit();
        }
        return true;
      case SelectionNotify:
        if (e.xselection.requestor != window_ || !in_.waiting) return false;
        OnSelectionNotify(e.xselection);
        return true;
      case PropertyNotify:
        if (e.xproperty.window == window_) {
          if (in_.waiting && in_.incremental && e.xproperty.atom == answer_ && e.xproperty.state == PropertyNewValue)
            ReadChunk();
          return true;
        }
        return OnRequestorProperty(e.xproperty);
      default:
        return false;
    }
  }

  // Reads our answer property and deletes it; false when it is not there.
  // What lies past the bound of the answer is not read.
  bool ReadAnswer(Atom* type, std::string* out) {
    out->clear();
    long offset = 0;
    for (;;) {
      Atom actual = None;
      int format = 0;
      unsigned long count = 0, after = 0;
      unsigned char* data = nullptr;
      if (XGetWindowProperty(d_, window_, answer_, offset, 64 * 1024, False, AnyPropertyType, &actual, &format,
                             &count, &after, &data) != Success)
        return false;
      size_t item = format == 32 ? sizeof(long) : format == 16 ? 2 : 1;
      if (data && count) out->append(reinterpret_cast<char*>(data), count * item);
      if (data) XFree(data);
      *type = actual;
      if (actual == None) return false;
      if (out->size() >= in_.max_bytes) break;
      // Offsets count 32-bit units.
      offset += static_cast<long>(count * item / 4);
      if (after == 0) break;
    }
    XDeleteProperty(d_, window_, answer_);
    return true;
  }

  void OnSelectionNotify(const XSelectionEvent& e) {
    if (e.property == None) {
      in_.refused = true;
      in_.done = true;
      return;
    }
    Atom type = None;
    std::string bytes;
    if (!ReadAnswer(&type, &bytes)) {
      in_.done = true;
      in_.refused = true;
      return;
    }
    if (type == incr_) {
      // Deleting the property (done by ReadAnswer) starts the transfer.
      in_.incremental = true;
      return;
    }
    in_.type = type;
    in_.data = std::move(bytes);
    if (in_.data.size() > in_.max_bytes) in_.data.resize(in_.max_bytes);
    in_.done = true;
  }

  void ReadChunk() {
    Atom type = None;
    std::string chunk;
    if (!ReadAnswer(&type, &chunk)) return;
    if (chunk.empty()) {
      in_.done = true;
      return;
    }
    in_.type = type;
    in_.data += chunk;
    if (in_.data.size() >= in_.max_bytes) {
      // Enough: what follows is not wanted.
      in_.data.resize(in_.max_bytes);
      in_.done = true;
    }
  }

  // Answers another program's request for our text.
  void Answer(const XSelectionRequestEvent& r) {
    Atom property = r.property == None ? r.target : r.property;  // obsolete requestors
    bool ok = owning_ && r.selection == clipboard_;
    if (ok && r.target == targets_) {
      long list[] = {static_cast<long>(targets_), static_cast<long>(utf8_), static_cast<long>(XA_STRING),
                     static_cast<long>(text_)};
      XChangeProperty(d_, r.requestor, property, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<unsigned char*>(list), 4);
    } else if (ok && (r.target == utf8_ || r.target == text_ || r.target == XA_STRING)) {
      bool latin1 = r.target == XA_STRING;
      Send(r.requestor, property, latin1 ? XA_STRING : utf8_, latin1 ? owned_ : Latin1ToUtf8(owned_));
    } else {
      ok = false;
    }
    XEvent reply{};
    reply.xselection.type = SelectionNotify;
    reply.xselection.requestor = r.requestor;
    reply.xselection.selection = r.selection;
    reply.xselection.target = r.target;
    reply.xselection.property = ok ? property : None;
    reply.xselection.time = r.time;
    XSendEvent(d_, r.requestor, False, NoEventMask, &reply);
    XFlush(d_);
  }

  // Puts the text whole, or starts an incremental transfer.
  void Send(Window requestor, Atom property, Atom type, std::string data) {
    if (data.size() <= kWholeLimit) {
      XChangeProperty(d_, requestor, property, type, 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(data.data()), static_cast<int>(data.size()));
      return;
    }
    DropStalledTransfers();
    XSelectInput(d_, requestor, PropertyChangeMask);
    long size = static_cast<long>(data.size());
    XChangeProperty(d_, requestor, property, incr_, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&size), 1);
    OutgoingTransfer t;
    t.requestor = requestor;
    t.property = property;
    t.type = type;
    t.data = std::move(data);
    t.last_ms = loop_.NowMs();
    outgoing_.push_back(std::move(t));
  }

  // The requestor deleted the property: the next chunk, or the end.
  bool OnRequestorProperty(const XPropertyEvent& e) {
    if (e.state != PropertyDelete) return false;
    for (size_t i = 0; i < outgoing_.size(); ++i) {
      OutgoingTransfer& t = outgoing_[i];
      if (t.requestor != e.window || t.property != e.atom) continue;
      if (t.finished) {
        XSelectInput(d_, t.requestor, NoEventMask);
        outgoing_.erase(outgoing_.begin() + static_cast<long>(i));
        return true;
      }
      size_t n = std::min(kIncrementalChunk, t.data.size() - t.sent);
      XChangeProperty(d_, t.requestor, t.property, t.type, 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(t.data.data() + t.sent), static_cast<int>(n));
      t.sent += n;
      t.finished = n == 0;
      t.last_ms = loop_.NowMs();
      XFlush(d_);
      return true;
    }
    return false;
  }

  void DropStalledTransfers() {
    int64_t now = loop_.NowMs();
    for (size_t i = outgoing_.size(); i-- > 0;) {
      if (now - outgoing_[i].last_ms < kStalledTransferMs) continue;
      XSelectInput(d_, outgoing_[i].requestor, NoEventMask);
      outgoing_.erase(outgoing_.begin() + static_cast<long>(i));
    }
  }

  x11::Connection& c_;
  Display* d_;
  EventLoop& loop_;
  Window window_ = 0;
  Atom clipboard_, utf8_, targets_, text_, incr_, answer_;
  bool owning_ = false;
  std::string owned_;  // Latin-1
  Incoming in_;
  std::vector<OutgoingTransfer> outgoing_;
};

// The selection's owner of the platform state's connection, made on first
// use; nullptr without a display. It belongs to the connection, as other
// programs may ask for the text at any time while the connection is open
// and the event handler it registers reaches it.
DesktopClipboard* Owner(Platform& platform) {
  x11::Connection& c = x11::TheConnection(platform);
  Display* d = c.Open();
  if (!d) return nullptr;
  if (!c.clipboard) c.clipboard = std::make_unique<X11Clipboard>(c, d);
  return c.clipboard.get();
}

// What the caller holds: it finds the owner of its platform state's
// connection on every call.
class ClipboardHandle : public DesktopClipboard {
 public:
  explicit ClipboardHandle(Platform& platform) : platform_(platform) {}
  bool Put(std::string_view latin1) override {
    DesktopClipboard* c = Owner(platform_);
    return c && c->Put(latin1);
  }
  bool Get(std::string* latin1, size_t max_chars) override {
    DesktopClipboard* c = Owner(platform_);
    if (!c) latin1->clear();
    return c && c->Get(latin1, max_chars);
  }

 private:
  Platform& platform_;
};

}  // namespace

}  // namespace kal

// The module's entry (1_platform/module_entries.h): the clipboard, or
// nullptr without a display.
extern "C" kal::DesktopClipboard* kaldorin_make_x11_clipboard(kal::Platform& platform) {
  // The owner is made now, so that its window is there from the start.
  if (!kal::Owner(platform)) return nullptr;
  return new kal::ClipboardHandle(platform);
}
