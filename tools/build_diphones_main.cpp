// build_diphones: builds the recorded voice's database "DIFONES2.IND" and
// "DIFONES2.DIF" from the MBROLA synthesizer and its Brazilian voice.
//
//   build_diphones OUTPUT_FOLDER [--voice PATH] [--mbrola PROGRAM]
//       writes the database into OUTPUT_FOLDER
//   build_diphones --install DATA_FOLDER [--voice PATH] [--mbrola PROGRAM]
//       makes sure TRADUTOR/dirLetras and TRADUTOR/DIRDIFONES are set in the
//       installed Talven.ini, writes the database into the DIRDIFONES folder
//       and copies the translator's files (DATA_FOLDER/diphone/regras.rgr,
//       portug.exc) beside it
//
// The piece inventory matches the notation that our rules file
// (data/diphone/regras.rgr) writes: "$" + onset + vowel for every syllable,
// "TIL" pieces for nasal vowels, "CIRC" pieces for the closed vowel that
// starts a nasal diphthong, the diphthong and nasal-diphthong tails, vowel +
// coda pieces, consonants alone and the nasal tail "$NN". Each piece is
// rendered by MBROLA in a neutral context with a flat pitch, cut at the
// phone boundaries, filtered and halved to 11025 Hz, its ends moved to zero
// crossings and faded, and stored as 8-bit unsigned samples. Index records
// are 15 bytes: name length, 8 name bytes, 16-bit length, 32-bit offset.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "1_platform/platform.h"
#include "1_platform/event_loop.h"
#include "2_config/config_state.h"
#include "2_config/config.h"
#include "1_platform/host_file.h"
#include "1_platform/paths.h"

namespace {

namespace fs = std::filesystem;

constexpr int kMbrolaRate = 22050;
constexpr int kPitchHz = 112;
constexpr size_t kMaxName = 8;

struct Phone {
  std::string name;  // MBROLA phoneme
  int ms;
};
using Phones = std::vector<Phone>;

// A piece: its index name and how to render it. The sound kept is the
// stretch from the start of phone `from` to the start of phone `to` of
// `phones` (the rendered sequence includes the silences around it).
struct Piece {
  std::string name;
  Phones phones;
  size_t from = 0;
  size_t to = 0;
  std::vector<uint8_t> samples;
};

struct Onset {
  const char* notation;
  Phones phones;
};

const std::vector<Onset>& Onsets() {
  static const std::vector<Onset> kOnsets = {
      {"", {}},
      {"b", {{"b", 65}}},
      {"d", {{"d", 60}}},
      {"f", {{"f", 90}}},
      {"g", {{"g", 65}}},
      {"j", {{"j", 85}}},
      {"k", {{"k", 80}}},
      {"l", {{"l", 60}}},
      {"lh", {{"l", 45}, {"y", 45}}},
      {"m", {{"m", 70}}},
      {"n", {{"n", 65}}},
      {"nh", {{"nh", 80}}},
      {"p", {{"p", 85}}},
      {"r", {{"r", 35}}},
      {"rr", {{"rr", 90}}},
      {"s", {{"s", 100}}},
      {"t", {{"t", 80}}},
      {"v", {{"v", 70}}},
      {"x", {{"x", 100}}},
      {"z", {{"z", 85}}},
      {"kw", {{"k", 70}, {"w", 45}}},
      {"gw", {{"g", 60}, {"w", 45}}},
      {"tch", {{"t", 45}, {"_", 10}, {"x", 75}}},
      {"dj", {{"d", 45}, {"_", 10}, {"j", 70}}},
  };
  return kOnsets;
}

struct Vowel {
  const char* notation;
  const char* phone;
};

// Oral vowels (open e and o written with an apostrophe), the nasal vowels
// of the "TIL" pieces and the closed vowels of the "CIRC" pieces.
const std::vector<Vowel> kOral = {{"a", "a"},   {"e", "e"}, {"e'", "ee"}, {"i", "i"},
                                  {"o", "o"},   {"o'", "oo"}, {"u", "u"}};
const std::vector<Vowel> kNasal = {{"a", "am"}, {"e", "em"}, {"i", "im"}, {"o", "om"}, {"u", "um"}};
const std::vector<Vowel> kClosed = {{"a", "@"}, {"e", "e"}, {"i", "i"}, {"o", "o"}, {"u", "u"}};

constexpr int kVowelMs = 125;
constexpr int kNasalMs = 140;

std::string Upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return s;
}

// "_ @ ONSET VOWEL _": the schwa gives every onset a voiced lead-in that is
// cut away, so each piece starts inside its own first phone. A piece
// without an onset starts from silence, with the vowel's own attack.
Piece Syllable(const std::string& name, const Phones& onset, const Phones& nucleus) {
  Piece p;
  p.name = Upper(name);
  p.phones = {{"_", 50}};
  if (!onset.empty()) p.phones.push_back({"@", 60});
  p.from = p.phones.size();
  p.phones.insert(p.phones.end(), onset.begin(), onset.end());
  p.phones.insert(p.phones.end(), nucleus.begin(), nucleus.end());
  p.to = p.phones.size();
  // The last phone again: MBROLA fades a phone out towards a following
  // silence, while before a copy of itself it stays steady up to the cut.
  p.phones.push_back({nucleus.back().name, 80});
  p.phones.push_back({"_", 80});
  return p;
}

// A consonant alone: before "r a" for the stops and fricatives that start
// clusters, between schwas for the others.
Piece LoneConsonant(const std::string& notation, const Phones& phones, bool cluster) {
  Piece p;
  p.name = Upper("$" + notation);
  p.phones = {{"_", 50}, {"@", 60}};
  p.from = p.phones.size();
  p.phones.insert(p.phones.end(), phones.begin(), phones.end());
  p.to = p.phones.size();
  if (cluster) {
    p.phones.push_back({"r", 35});
    p.phones.push_back({"a", 100});
  } else {
    p.phones.push_back({"@", 60});
  }
  p.phones.push_back({"_", 80});
  return p;
}

// A coda after a vowel: "_ a CODA _", keeping the coda and its release.
Piece Coda(const std::string& notation, const std::string& phone, int ms) {
  Piece p;
  p.name = Upper("$" + notation);
  p.phones = {{"_", 50}, {"a", 100}, {phone, ms}, {"_", 30}, {"_", 60}};
  p.from = 2;
  p.to = 4;
  return p;
}

std::vector<Piece> Inventory() {
  std::vector<Piece> pieces;
  for (const Onset& o : Onsets()) {
    const std::string on = o.notation;
    for (const Vowel& v : kOral)
      pieces.push_back(Syllable("$" + on + v.notation, o.phones, {{v.phone, kVowelMs}}));
    for (const Vowel& v : kNasal)
      pieces.push_back(Syllable("$" + on + v.notation + "TIL", o.phones, {{v.phone, kNasalMs}}));
    for (const Vowel& v : kClosed) {
      std::string name = "$" + on + v.notation + "CIRC";
      if (name.size() <= kMaxName) pieces.push_back(Syllable(name, o.phones, {{v.phone, kVowelMs}}));
    }
  }
  // Falling diphthongs, spoken after the syllable cut short before them.
  for (const char* d : {"ay", "ey", "oy", "uy", "aw", "ew", "iw", "ow", "uw"}) {
    std::string vowel(1, d[0]), glide(1, d[1]);
    pieces.push_back(Syllable(std::string("$") + d, {}, {{vowel, 110}, {glide, 70}}));
  }
  // Nasal diphthongs: ão, ãe, em, õe, ui (muito).
  for (const char* d : {"aw", "ay", "ey", "oy", "uy"}) {
    std::string vowel = std::string(1, d[0]) + "m", glide(1, d[1]);
    pieces.push_back(Syllable(std::string("$") + d + "TIL", {}, {{vowel, 120}, {glide, 75}}));
  }
  // A vowel with a final r or z, for syllables of two letters ("ar", "ir").
  for (const char* v : {"a", "e", "i", "o", "u"}) {
    pieces.push_back(Syllable(std::string("$") + v + "r", {}, {{v, 130}, {"r2", 70}}));
    pieces.push_back(Syllable(std::string("$") + v + "z", {}, {{v, 130}, {"z", 70}}));
  }
  for (const char* c : {"b", "d", "f", "g", "k", "p", "t", "v"})
    pieces.push_back(LoneConsonant(c, {{c, c[0] == 'f' || c[0] == 'v' ? 75 : 60}}, true));
  for (const char* c : {"j", "l", "m", "n", "x", "nh", "rr"})
    pieces.push_back(LoneConsonant(c, {{c, 70}}, false));
  pieces.push_back(LoneConsonant("lh", {{"l", 45}, {"y", 45}}, false));
  pieces.push_back(LoneConsonant("nn", {{"n", 110}}, false));  // the nasal tail
  pieces.push_back(Coda("r", "r2", 70));
  pieces.push_back(Coda("s", "s", 90));
  pieces.push_back(Coda("z", "z", 80));
  pieces.push_back(Coda("w", "w", 60));
  pieces.push_back(Coda("y", "y", 60));
  return pieces;
}

std::string PhoText(const Piece& p) {
  std::string text;
  for (const Phone& ph : p.phones) {
    text += ph.name + " " + std::to_string(ph.ms);
    if (ph.name != "_") text += " 0 " + std::to_string(kPitchHz) + " 100 " + std::to_string(kPitchHz);
    text += "\n";
  }
  return text;
}

// Start of phone k, in samples at the MBROLA rate.
size_t PhoneStart(const Piece& p, size_t k) {
  int ms = 0;
  for (size_t i = 0; i < k && i < p.phones.size(); ++i) ms += p.phones[i].ms;
  return static_cast<size_t>(ms) * kMbrolaRate / 1000;
}

std::vector<int16_t> ReadRaw(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::string b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<int16_t> s(b.size() / 2);
  for (size_t i = 0; i < s.size(); ++i)
    s[i] = static_cast<int16_t>(static_cast<uint8_t>(b[2 * i]) | (static_cast<uint8_t>(b[2 * i + 1]) << 8));
  return s;
}

// Low-pass at about 4.8 kHz (windowed sinc) and keep every second sample.
std::vector<double> Halve(const std::vector<int16_t>& in, size_t from, size_t to) {
  constexpr int kTaps = 41;
  static std::vector<double> taps = [] {
    std::vector<double> t(kTaps);
    const double fc = 4800.0 / kMbrolaRate;
    double sum = 0;
    for (int i = 0; i < kTaps; ++i) {
      int m = i - kTaps / 2;
      double sinc = m == 0 ? 2 * fc : std::sin(2 * M_PI * fc * m) / (M_PI * m);
      double w = 0.54 - 0.46 * std::cos(2 * M_PI * i / (kTaps - 1));
      t[i] = sinc * w;
      sum += t[i];
    }
    for (double& x : t) x /= sum;
    return t;
  }();
  std::vector<double> out;
  for (size_t n = from; n + 1 < to; n += 2) {
    double acc = 0;
    for (int i = 0; i < kTaps; ++i) {
      long k = static_cast<long>(n) + i - kTaps / 2;
      if (k >= 0 && k < static_cast<long>(in.size())) acc += taps[i] * in[k];
    }
    out.push_back(acc);
  }
  return out;
}

// Moves the ends inwards to the nearest zero crossing (at most 5 ms away).
void TrimToZeroCrossings(std::vector<double>* s) {
  constexpr size_t kSearch = 55;
  size_t a = 0, b = s->size();
  for (size_t i = 1; i < std::min(kSearch, s->size()); ++i)
    if (((*s)[i - 1] <= 0) != ((*s)[i] <= 0)) {
      a = i;
      break;
    }
  for (size_t i = s->size() - 1; i > a && s->size() - i < kSearch; --i)
    if (((*s)[i - 1] <= 0) != ((*s)[i] <= 0)) {
      b = i;
      break;
    }
  *s = std::vector<double>(s->begin() + a, s->begin() + b);
}

void Fade(std::vector<double>* s) {
  constexpr size_t kIn = 16, kOut = 28;
  const size_t n = s->size();
  for (size_t i = 0; i < kIn && i < n; ++i) (*s)[i] *= static_cast<double>(i) / kIn;
  for (size_t i = 0; i < kOut && i < n; ++i) (*s)[n - 1 - i] *= static_cast<double>(i) / kOut;
}

bool RenderAll(std::vector<Piece>* pieces, const std::string& mbrola, const std::string& voice,
               std::vector<std::vector<double>>* sounds) {
  std::random_device rd;
  const fs::path dir = fs::temp_directory_path() / ("build_diphones_" + std::to_string(rd()));
  fs::create_directories(dir);
  std::string script;
  for (size_t i = 0; i < pieces->size(); ++i) {
    const fs::path pho = dir / ("p" + std::to_string(i) + ".pho");
    std::ofstream(pho) << PhoText((*pieces)[i]);
    script += "'" + mbrola + "' -e '" + voice + "' '" + pho.string() + "' '" + (dir / ("p" + std::to_string(i) + ".raw")).string() +
              "' 2>>'" + (dir / "warnings.txt").string() + "' || exit 1\n";
  }
  std::ofstream(dir / "render.sh") << script;
  const int rc = std::system(("sh '" + (dir / "render.sh").string() + "'").c_str());
  bool ok = rc == 0;
  for (size_t i = 0; ok && i < pieces->size(); ++i) {
    const Piece& p = (*pieces)[i];
    std::vector<int16_t> raw = ReadRaw(dir / ("p" + std::to_string(i) + ".raw"));
    size_t from = std::min(PhoneStart(p, p.from), raw.size());
    size_t to = std::min(PhoneStart(p, p.to), raw.size());
    if (to <= from + 200) {
      std::cerr << "build_diphones: no sound for " << p.name << "\n";
      ok = false;
      break;
    }
    std::vector<double> s = Halve(raw, from, to);
    TrimToZeroCrossings(&s);
    Fade(&s);
    sounds->push_back(std::move(s));
  }
  std::error_code ec;
  fs::remove_all(dir, ec);
  return ok;
}

// One gain for the whole voice, so that pieces keep their relative levels.
void Quantize(std::vector<Piece>* pieces, const std::vector<std::vector<double>>& sounds) {
  double peak = 1;
  for (const auto& s : sounds)
    for (double x : s) peak = std::max(peak, std::fabs(x));
  const double gain = 120.0 / peak;
  for (size_t i = 0; i < pieces->size(); ++i) {
    auto& out = (*pieces)[i].samples;
    for (double x : sounds[i]) out.push_back(static_cast<uint8_t>(std::clamp(std::lround(128 + x * gain), 0L, 255L)));
  }
}

bool WriteDatabase(std::vector<Piece> pieces, const fs::path& folder) {
  std::sort(pieces.begin(), pieces.end(), [](const Piece& a, const Piece& b) { return a.name < b.name; });
  for (size_t i = 1; i < pieces.size(); ++i)
    if (pieces[i].name == pieces[i - 1].name) {
      std::cerr << "build_diphones: piece named twice: " << pieces[i].name << "\n";
      return false;
    }
  std::string index, data;
  for (const Piece& p : pieces) {
    if (p.name.size() > kMaxName || p.samples.size() > 0xFFFF) {
      std::cerr << "build_diphones: piece does not fit a record: " << p.name << "\n";
      return false;
    }
    std::string rec(15, '\0');
    rec[0] = static_cast<char>(p.name.size());
    rec.replace(1, p.name.size(), p.name);
    rec[9] = static_cast<char>(p.samples.size() & 0xFF);
    rec[10] = static_cast<char>(p.samples.size() >> 8);
    for (int i = 0; i < 4; ++i) rec[11 + i] = static_cast<char>((data.size() >> (8 * i)) & 0xFF);
    index += rec;
    data.append(p.samples.begin(), p.samples.end());
  }
  fs::create_directories(folder);
  for (const auto& [name, bytes] : {std::pair{"DIFONES2.DIF", &data}, std::pair{"DIFONES2.IND", &index}}) {
    const fs::path tmp = folder / (std::string(name) + ".tmp");
    std::ofstream out(tmp, std::ios::binary);
    out.write(bytes->data(), static_cast<std::streamsize>(bytes->size()));
    out.close();
    if (!out) return false;
    fs::rename(tmp, folder / name);
  }
  std::cout << "build_diphones: " << pieces.size() << " pieces, " << data.size() << " bytes of sound in "
            << folder.string() << "\n";
  return true;
}

// The value of a folder key, written into Talven.ini when it is empty.
std::string EnsureSetting(kal::ConfigState& config, const kal::cfg::ConfigKey& key, std::string_view def) {
  std::string v = kal::ReadConfigDirect(config, key.section, key.name, "");
  if (!v.empty()) return v;
  if (!kal::WriteConfig(config, key, def))
    std::cerr << "build_diphones: cannot write " << key.name << " into Talven.ini\n";
  return std::string(def);
}

bool CopyFile(const fs::path& from, const fs::path& to) {
  std::string bytes, err;
  if (!kal::ReadHostFile(kal::FsPathToHost(from), &bytes)) {
    std::cerr << "build_diphones: cannot read " << kal::FsPathToHost(from) << "\n";
    return false;
  }
  if (!kal::ReplaceHostFile(kal::FsPathToHost(to), bytes, &err)) {
    std::cerr << "build_diphones: cannot write " << kal::FsPathToHost(to) << ": " << err << "\n";
    return false;
  }
  return true;
}

// Settles the folders of an installation; the output folder, or "" on failure.
std::string PrepareInstall(kal::ConfigState& config, const fs::path& data) {
  const std::string letters =
      kal::HostPath(EnsureSetting(config, kal::cfg::kDirLetrasDirect, kal::cfg::kDirLetras.def));
  const std::string folder = kal::HostPath(EnsureSetting(config, kal::cfg::kDirDifones, kal::cfg::kDirDifones.def));
  if (!kal::HostIsFolder(letters)) std::cerr << "build_diphones: warning: no letters folder " << letters << "\n";
  if (!kal::MakeHostFolders(folder)) {
    std::cerr << "build_diphones: cannot create " << folder << "\n";
    return "";
  }
  for (const char* name : {"regras.rgr", "portug.exc"})
    if (!CopyFile(data / "diphone" / name, kal::HostFsPath(folder) / name)) return "";
  return folder;
}

}  // namespace

int main(int argc, char** argv) {
  std::unique_ptr<kal::EventLoop> loop = kal::MakePollEventLoop();  // outlives what waits on it
  kal::Platform platform(*loop);  // the platform layer's state for the run
  kal::ConfigState config(platform);  // and the configuration's
  std::string out, data, voice = "/usr/share/mbrola/br3/br3", mbrola = "mbrola";
  bool bad = false;
  const std::vector<std::string> args = kal::HostArguments(argc, argv);
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--voice" && i + 1 < args.size()) {
      voice = args[++i];
    } else if (a == "--mbrola" && i + 1 < args.size()) {
      mbrola = args[++i];
    } else if (a == "--install" && i + 1 < args.size()) {
      data = args[++i];
    } else if (out.empty() && !a.empty() && a[0] != '-') {
      out = a;
    } else {
      bad = true;
    }
  }
  if (bad || out.empty() == data.empty()) {
    std::cerr << "usage: build_diphones OUTPUT_FOLDER [--voice PATH] [--mbrola PROGRAM]\n"
                 "       build_diphones --install DATA_FOLDER [--voice PATH] [--mbrola PROGRAM]\n";
    return 2;
  }
  if (!data.empty()) {
    out = PrepareInstall(config, kal::HostFsPath(data));
    if (out.empty()) return 1;
  }
  if (!fs::exists(kal::HostFsPath(voice))) {
    std::cerr << "build_diphones: voice not found: " << voice << "\n";
    return 1;
  }
  std::vector<Piece> pieces = Inventory();
  std::vector<std::vector<double>> sounds;
  if (!RenderAll(&pieces, mbrola, voice, &sounds)) {
    std::cerr << "build_diphones: rendering failed\n";
    return 1;
  }
  Quantize(&pieces, sounds);
  return WriteDatabase(std::move(pieces), kal::HostFsPath(out)) ? 0 : 1;
}
