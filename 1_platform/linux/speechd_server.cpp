// The speech server connection over libspeechd in threaded mode. The
// library reports the end of a message through plain function pointers
// that know only the message and client ids. Asking the server for our
// client id crashes the library when the server goes away during the
// question, so every event goes to every open connection's handler instead:
// message ids are unique across the server's clients, and a handler ignores
// the ids that are not its own.
#include "1_platform/speech_server.h"
#include "1_platform/module_entries.h"

#include <libspeechd.h>

#include <pthread.h>

#include <cstdlib>
#include <map>
#include <mutex>
#include <vector>

namespace kal {
namespace {

struct Handlers {
  std::mutex mu;
  std::map<const void*, SpeechServerConnection::EventHandler> by_connection;
};

// Process-wide because the library's callbacks carry no user data: they
// find the open connections' handlers here. Never destroyed, so that it
// outlives the library's threads at exit.
Handlers& Table() {
  static Handlers* h = new Handlers;
  return *h;
}

// Runs on the library's event thread, which the library ends with
// pthread_cancel when a connection closes. Cancellation is held off while our
// handlers run: cut short at a cancellation point (the write that wakes the
// event loop), a handler would unwind half done, its task queued but the
// loop never woken for it, and the sanitizer build aborts on such an unwind
// through a thread it did not start.
void Dispatch(size_t msg_id, ServerEvent event) {
  int old_state = 0;
  pthread_setcancelstate(PTHREAD_CANCEL_DISABLE, &old_state);
  std::vector<SpeechServerConnection::EventHandler> handlers;
  {
    std::lock_guard<std::mutex> lock(Table().mu);
    for (auto& [conn, h] : Table().by_connection) handlers.push_back(h);
  }
  for (auto& h : handlers) h(static_cast<int>(msg_id), event);
  pthread_setcancelstate(old_state, nullptr);
}

void OnEnd(size_t msg_id, size_t, SPDNotificationType) { Dispatch(msg_id, ServerEvent::kEnd); }
void OnCancel(size_t msg_id, size_t, SPDNotificationType) { Dispatch(msg_id, ServerEvent::kCancel); }

class SpeechdConnection : public SpeechServerConnection {
 public:
  ~SpeechdConnection() override { Close(); }

  bool Open(const std::string& client_name, EventHandler on_event, std::string* err) override {
    Close();
    char* e = nullptr;
    SPDConnectionAddress* addr = spd_get_default_address(&e);  // honours SPEECHD_ADDRESS
    if (!addr) return Fail(e, err);
    conn_ = spd_open2(client_name.c_str(), "main", nullptr, SPD_MODE_THREADED, addr, 1, &e);
    SPDConnectionAddress__free(addr);
    if (!conn_) return Fail(e, err);
    std::free(e);
    {
      std::lock_guard<std::mutex> lock(Table().mu);
      Table().by_connection[conn_] = std::move(on_event);
    }
    conn_->callback_end = OnEnd;
    conn_->callback_cancel = OnCancel;
    if (spd_set_notification_on(conn_, SPD_END) != 0 || spd_set_notification_on(conn_, SPD_CANCEL) != 0) {
      if (err) *err = "the speech server refused notifications";
      Close();
      return false;
    }
    return true;
  }

  bool SetOutputModule(const std::string& module) override {
    if (!conn_) return false;
    return module.empty() || spd_set_output_module(conn_, module.c_str()) == 0;
  }

  std::vector<std::string> Voices() override {
    std::vector<std::string> out;
    if (!conn_) return out;
    SPDVoice** v = spd_list_synthesis_voices(conn_);
    for (int i = 0; v && v[i]; ++i)
      if (v[i]->name) out.emplace_back(v[i]->name);
    if (v) free_spd_voices(v);
    return out;
  }

  bool SetVoice(const std::string& name) override {
    return conn_ && spd_set_synthesis_voice(conn_, name.c_str()) == 0;
  }

  bool SetRate(int rate) override { return conn_ && spd_set_voice_rate(conn_, rate) == 0; }

  int Say(const std::string& utf8) override { return conn_ ? spd_say(conn_, SPD_MESSAGE, utf8.c_str()) : -1; }

  bool Cancel() override { return conn_ && spd_cancel(conn_) == 0; }

  void Close() override {
    if (!conn_) return;
    {
      std::lock_guard<std::mutex> lock(Table().mu);
      Table().by_connection.erase(conn_);
    }
    spd_close(conn_);
    conn_ = nullptr;
  }

 private:
  static bool Fail(char* e, std::string* err) {
    if (err) *err = e ? e : "no speech server";
    std::free(e);
    return false;
  }

  SPDConnection* conn_ = nullptr;
};

}  // namespace

}  // namespace kal

// The module's entry (1_platform/module_entries.h).
extern "C" kal::SpeechServerConnection* kaldorin_make_speechd_connection() { return new kal::SpeechdConnection(); }
