#include "7_net/network.h"
#include "9_app/program.h"

#include <cstdio>
#include <iostream>

#include "9_app/app_messages.h"
#include "9_app/check_program.h"
#include "9_app/language_server.h"
#include "9_app/embedded_script.h"
#include "9_app/installed_data.h"
#include "9_app/options.h"
#include "9_app/screen_reader_hint.h"
#include "9_app/script_file.h"
#include "9_app/text_viewer.h"
#include "6_console/braille_display.h"
#include "6_console/clipboard.h"
#include "6_console/console.h"
#include "6_console/console_state.h"
#include "0_base/latin1.h"
#include "5_speech/speech.h"
#include "5_speech/speech_state.h"
#include "3_audio/wave_player_state.h"
#include "6_console/write_and_speak.h"
#include "0_base/speech_log.h"
#include "8_interpreter/interpreter.h"
#include "8_interpreter/run_context.h"
#include "8_interpreter/state.h"
#include "1_platform/automation.h"
#include "1_platform/braille.h"
#include "1_platform/console_code_page.h"
#include "1_platform/event_loop.h"
#include "1_platform/host.h"
#include "1_platform/host_file.h"
#include "1_platform/paths.h"
#include "1_platform/platform.h"
#include "1_platform/process.h"
#include "1_platform/programs.h"
#include "1_platform/stop_request.h"
#include "1_platform/user_locale.h"
#include "4_voices/engines/engine_switch.h"
#include "4_voices/voices.h"
#include "4_voices/orvan/phoneme_tool.h"
#include "2_config/config_state.h"
#include "2_config/console_settings.h"

namespace kal {

namespace {

constexpr const char* kSpeechLogVariable = "KALDORIN_SPEECH_LOG";
constexpr const char* kBrailleLogVariable = "KALDORIN_BRAILLE_LOG";

std::string BaseName(const std::string& path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The line on standard error that says why a stopped run ended; it stays
// readable after the terminal is handed back. Signals other than SIGINT end
// without one.
const char* StopMessage(const RunEnd& end) {
  switch (end.reason) {
    case EndReason::kInputEnded: return app_msg::kEndInputEnded;
    case EndReason::kInterrupted: return app_msg::kEndInterrupted;
    case EndReason::kNoVoice: return app_msg::kEndOther;
    case EndReason::kSignal:
      return end.exit_code == kExitInterrupted ? app_msg::kEndInterrupted : nullptr;
    default: return nullptr;
  }
}

// The helpers the script started (hidden, console programs, programs it
// waited for) end with the program, and so does what they started in turn;
// the terminal comes back from one that held it.
void EndHelpers(Platform& platform) {
  EndProgramsWithUs(platform);
  ReclaimTerminal(platform);
}

// The break key is answered in words before the program ends (a closed
// window, or a program waited for that was broken and said so itself, end
// without them). Every wait unwinds while a stop is requested, so the
// request is dropped first (the end is already in hand) and the words are
// waited for; a key or a signal still cuts them short.
void SayInterrupted(SpeechState& speech) {
  ClearStopRequest(speech.platform);
  SpeakText(speech, std::string(app_msg::kInterrupted));
  DoneSpeech(speech);
}

// A run stopped from outside its script ends at once: no spoken end, the
// terminal restored, the reason on standard error, the clean-ups run.
int EndStoppedRun(Console& console, const RunEnd& end) {
  EndHelpers(console.platform);
  EndConsoleOnStop(console);
  if (end.break_key) SayInterrupted(console.speech);
  if (const char* msg = StopMessage(end)) WriteStandardText(2, msg);
  RunExitCleanups(console.platform);
  CloseSpeechLog(SpeechLogOf(console.speech));
  CloseBrailleLog(console);
  std::fflush(nullptr);
  return end.exit_code;
}

// The end of a run as main reports it; returns the exit code.
int EndRun(Console& console, const RunEnd& end) {
  if (IsStop(end)) return EndStoppedRun(console, end);
  EndHelpers(console.platform);
  DoneSpeech(console.speech);
  if (end.reason == EndReason::kNormal) {
    EndConsoleNormally(console);
  } else {
    EndConsoleAfterError(console);
  }
  CloseSpeechLog(SpeechLogOf(console.speech));
  CloseBrailleLog(console);
  return end.exit_code;
}

// The braille display, when brltty has one; the log of what it is sent.
// A log that cannot be opened is reported and the program runs on.
void StartBraille(Console& console, const Options& opts) {
  if (!opts.braille_log.empty() && !OpenBrailleLog(console, opts.braille_log))
    WriteStandardText(2, "kaldorin: não foi possível abrir " + opts.braille_log + "\n");
  SetBrailleDevice(console, MakeBrlapiBraille());
}

// The console's front end: headless when asked, a window when asked (on the
// command line or in Talven.ini) or when started from a desktop launcher,
// else the terminal.
std::unique_ptr<ConsoleFrontEnd> MakeFrontEnd(Platform& platform, ConfigState& config, const Options& opts,
                                              const std::string& title) {
  WindowSettings ws = ReadWindowSettings(config);
  WindowOptions wo;
  wo.face = ws.face;
  wo.weight = ws.weight;
  wo.cell_width = ws.cell_width;
  wo.cell_height = ws.cell_height;
  wo.maximised = ws.maximised;
  wo.title = title;
  FrontEndChoice choice = opts.headless                ? FrontEndChoice::kHeadless
                          : (opts.window || ws.window) ? FrontEndChoice::kWindow
                                                       : FrontEndChoice::kAuto;
  std::string failed;
  auto front = MakeConsoleFrontEnd(platform, choice, wo, &failed);
  if (!failed.empty()) {
    // The message's %s is the reason the window could not be made.
    std::string_view text(app_msg::kNoWindow);
    size_t at = text.find("%s");
    WriteStandardText(2, std::string(text.substr(0, at)) + failed + std::string(text.substr(at + 2)));
  }
  return front;
}

// The viewer runs as a program of its own, on the same console and voice.
int RunViewerProgram(const Options& opts, Console& console, Network& network) {
  if (!opts.speech_log.empty()) OpenSpeechLog(SpeechLogOf(console.speech), OpenHostFile(opts.speech_log, "ab"));
  StartBraille(console, opts);
  SetConsoleFrontEnd(console, MakeFrontEnd(console.platform, console.config, opts, Utf8ToLatin1(BaseName(opts.view_file))));
  UseDesktopClipboard(console);
  InitSpeech(console.speech, 0, "");
  if (StopRequested(console.platform)) return EndStoppedRun(console, RequestedStop(console.platform));
  SetConsoleTitle(console, BaseName(opts.view_file));
  // The viewer's station player; a stopped run ends it with the exit
  // clean-ups, which run before this function returns.
  StationPlayer player(console.loop, console.speech);
  AtProgramExit(console.platform, [&player] { player.EndNow(); });
  int code = RunTextViewer(console, network, opts.view_file, player);
  if (StopRequested(console.platform)) return EndStoppedRun(console, RequestedStop(console.platform));
  EndHelpers(console.platform);
  DoneSpeech(console.speech);
  EndConsoleNormally(console);
  CloseSpeechLog(SpeechLogOf(console.speech));
  CloseBrailleLog(console);
  return code;
}

// A script that cannot be loaded is reported like every other failure: in
// the console and by voice (speech has started by now), and on standard
// error, which stays readable after the terminal is handed back.
int ReportLoadFailure(Console& console, const std::string& message) {
  WriteLineAndSpeak(console, Utf8ToLatin1(message));
  DoneSpeech(console.speech);
  EndConsoleAfterError(console);
  CloseSpeechLog(SpeechLogOf(console.speech));
  WriteStandardText(2, "kaldorin: " + message + "\n");
  return EndOf(EndReason::kNotLoaded).exit_code;
}

// An installed program gives a new user the configuration and working
// folders it needs (installed_data.h); a failure is told and the run goes
// on, so the voice says what is missing.
void PrepareInstalledRun(ConfigState& config) {
  std::string data = InstalledDataFolder(ProgramFolder());
  std::string err;
  if (!data.empty() && !PrepareUserFiles(config, data, &err)) WriteStandardText(2, "kaldorin: " + err + "\n");
}

// The files --check looks at: the script and the words after it.
std::vector<std::string> CheckedFiles(const Options& opts) {
  std::vector<std::string> files;
  if (!opts.script.empty()) files.push_back(opts.script);
  files.insert(files.end(), opts.params.begin(), opts.params.end());
  return files;
}

}  // namespace

int ProgramMain(int argc, char** argv) {
  ConsoleCodePage console_code_page;  // first made, last gone: every line written is seen right
  // The run's one event loop, made before everything that watches, posts
  // or waits on it, so that it is gone only after them.
  std::unique_ptr<EventLoop> loop = MakePollEventLoop();
  Platform platform(*loop);
  ConfigState config(platform);
  Options opts;
  std::string err;
  if (!ParseOptions(argc, argv, &opts, &err)) {
    WriteStandardText(2, "kaldorin: " + err + "\n" + UsageText(UserReadsPortuguese()));
    return 1;
  }
  // Programs this one starts (the report viewer among them) write to the
  // same speech log.
  if (opts.speech_log.empty()) opts.speech_log = GetEnvironment(kSpeechLogVariable);
  if (!opts.speech_log.empty()) SetEnvironment(kSpeechLogVariable, opts.speech_log);
  if (opts.braille_log.empty()) opts.braille_log = GetEnvironment(kBrailleLogVariable);
  if (!opts.braille_log.empty()) SetEnvironment(kBrailleLogVariable, opts.braille_log);
  if (opts.help) {
    WriteStandardText(1, UsageText(UserReadsPortuguese()));
    return 0;
  }
  if (opts.version) {
    WriteStandardText(1, VersionText());
    return 0;
  }

  PrepareInstalledRun(config);
  // The sound and speech of the run: built here and owned for the run. The
  // speech log is written to once --speech-log's file is opened below.
  SpeechLog speech_log;
  WavePlayer player(platform, config, speech_log);
  Voices voices(player);
  SpeechState speech(voices, platform);
  speech.engine = std::make_unique<EngineSwitch>(voices, *loop);
  Network network(platform, config);
  // The console of the run: its screen, keys, menu, braille and clipboard.
  Console console(platform, speech);
  ConsoleHookGuard hooking(console);
  // All of them, handed down to what runs the script.
  RunContext context{platform, config, player, voices, speech, network, console, *loop, speech_log};
  if (!opts.view_file.empty()) return RunViewerProgram(opts, console, network);
  if (opts.check) return RunCheckProgram(speech, CheckedFiles(opts), opts.speech_log, opts.strict);
  // The language server starts neither speech nor the console: their
  // states are only there, as for every mode, unused.
  if (opts.lsp) return RunLanguageServer(std::cin, std::cout);
  if (opts.phonemes) {
    OrvanSettings settings = ReadOrvanSettings(config);
    if (!opts.orvan_dir.empty()) settings.folder = opts.orvan_dir + "/";
    return orvan::RunPhonemeTool(std::cin, std::cout, std::cerr, settings);
  }
  std::vector<std::string> lines;
  std::string name = "zql";
  std::string load_error;
  if (!opts.script.empty()) {
    LoadScriptFile(opts.script, &lines, &load_error);
    name = BaseName(opts.script);
  }
  if (!opts.speech_log.empty() && !OpenSpeechLog(speech_log, OpenHostFile(opts.speech_log, "ab"))) {
    WriteStandardText(2, "kaldorin: não foi possível abrir " + opts.speech_log + "\n");
    return 1;
  }
  StartBraille(console, opts);
  SetConsoleFrontEnd(console, MakeFrontEnd(platform, config, opts, Utf8ToLatin1(argc > 0 ? argv[0] : "kaldorin")));
  NoteConsoleWindowAtStart(platform);
  UseDesktopClipboard(console);
  // The interpreter of this run, handed to everything that runs the script.
  InterpreterState in;
  in.context = &context;
  in.params = HostTextsToScript(opts.params);
  InitInterpreter(in, name);
  if (StopRequested(platform)) return EndStoppedRun(console, RequestedStop(platform));  // the voice could not start
  AdviseScreenReaderUserOnce(console);
  if (!load_error.empty()) return ReportLoadFailure(console, load_error);
  // The application's settings are read (and their defaults written) once
  // the console and the speech log are there: a wait for the configuration
  // file is then seen and heard.
  if (opts.script.empty())
    lines = EmbeddedScriptLines(ConfiguredSearchAddress(config), ConfiguredStationPrefix(config));
  for (size_t i = 0; i < lines.size(); ++i) StoreLine(in, lines[i], static_cast<int>(i + 1));
  return EndRun(console, RunDriver(in));
}

}  // namespace kal
