// scale-sim: a serial scale for tests and demonstrations.
//
// It sends the frames of a protocol file (the manager's own protocol format)
// on a pseudo-terminal, or on standard output, at the pace the line settings
// allow: characters per second = baud / bits per character (start bit, data
// bits, parity bit when not N, stop bits). It answers the commands it receives
// and logs each one on standard error.
//
//   scale-sim (--protocol FILE | --demo) [options]
//   scale-sim --write-demo-protocol FILE
//
//   --protocol FILE   the protocol file whose frames it sends
//   --demo            the built-in sample protocol (see --write-demo-protocol)
//   --write-demo-protocol FILE
//                     writes the sample protocol as a protocol file and ends
//   --settings TEXT   line settings, default "9600,N,8,1"
//   --stdout          frames to standard output, commands from standard input;
//                     otherwise a pseudo-terminal whose device path is the
//                     first line on standard output
//   --script NAME     the weights sent, frame after frame:
//                       steady    the weight
//                       ramp      0 up to the weight in 50 frames, again
//                       step      0 and the weight, 20 frames each
//                       motion    the weight with a wobble, motion set
//                       negative  minus the weight
//                       overrange the weight with the out-of-range status
//                       netgross  20 frames gross, 20 frames net (weight - tare)
//                       garbage   no frames: random bytes without terminator
//   --weight W        default 12.34        --tare T     default 2.5
//   --decimals CODE   decimal-place code 2 .. -5, default -2 (two decimals)
//   --units NAME      default KG           --id N       default 1
//   --frames N        stop sending after N frames (0: only on a print
//                     command); on standard output it then ends, on a
//                     pseudo-terminal it keeps answering commands until
//                     stopped. Default: no end.
//   --interval-ms M   pause between frames beyond their wire time, default 0
//   --noise LIST      comma list of: garbage (random bytes before a frame),
//                     drop (a frame loses its terminator), split (a frame is
//                     written in several pieces, each paced by itself)
//   --noise-rate P    share of frames with each noise, default 0.1
//   --seed S          seed of the noise, default 1
//
// Commands: received bytes are cut into lines at CR or LF; each line is logged
// as `command "<text>"` (bytes outside printable ASCII as \xNN). A line that
// begins with the definition (up to its "~") of one of the protocol's enabled
// commands acts by that command's name: "Zero" zeroes the weight, "Tare"
// takes the gross as tare and switches to net, "Print" sends one frame at
// once; others are only logged.
//
// SIGUSR1 unplugs the scale on a pseudo-terminal: the line hangs up under its
// reader and the device path goes away, but the simulator keeps the terminal's
// number taken until it is stopped, so no later pseudo-terminal gets the same
// path while a manager may still try to open it.
//
// Writes never wait for the reader: on a full pseudo-terminal the rest of a
// frame is dropped, as a scale's line would lose it (counted on standard
// error when the simulator ends).
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "config/protocol_file.h"
#include "platform/run_time_error.h"
#include "platform/serial/line_settings.h"
#include "tools/scale_sim/scale_frames.h"

using namespace tarvex;
using namespace tarvex::sim;

namespace {

volatile sig_atomic_t stopRequested = 0;
volatile sig_atomic_t endRequested = 0;
void OnSignal(int) {
  stopRequested = 1;
  endRequested = 1;
}
void OnUnplug(int) { stopRequested = 1; }

struct Options {
  std::string protocolFile;
  bool demo = false;
  std::string settings = "9600,N,8,1";
  bool toStdout = false;
  std::string script = "steady";
  double weight = 12.34, tare = 2.5;
  int decimals = -2;
  std::string units = "KG";
  int id = 1;
  long frames = -1;
  int intervalMs = 0;
  bool garbage = false, drop = false, split = false;
  double noiseRate = 0.1;
  unsigned seed = 1;
};

[[noreturn]] void Usage(const std::string& why) {
  std::fprintf(stderr, "scale-sim: %s\nsee the head of tools/scale_sim/scale_sim.cpp for the options\n", why.c_str());
  std::exit(2);
}

std::string Escaped(std::string_view bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    if (c >= 0x20 && c < 0x7F && c != '\\') out += static_cast<char>(c);
    else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  return out;
}

double Now() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

class Simulator {
public:
  Simulator(const Options& o, const ProtocolDefinition& definition, int in, int out, double charsPerSecond)
      : o_(o), definition_(definition), writer_(definition), in_(in), out_(out), cps_(charsPerSecond),
        random_(o.seed), gross_(o.weight), tare_(o.tare) {}

  int Run() {
    double next = Now();
    while (!stopRequested) {
      const bool sending = o_.frames < 0 || sent_ < o_.frames;
      if (!sending && o_.toStdout) break;
      if (sending && Now() >= next) {
        next = std::max(next, Now()) + SendNext() / cps_ + o_.intervalMs / 1000.0;
        continue;
      }
      const double wait = sending ? next - Now() : 0.2;
      Serve(wait < 0 ? 0 : wait);
    }
    if (dropped_ > 0) std::fprintf(stderr, "scale-sim: %zu bytes not taken by the reader\n", dropped_);
    return 0;
  }

private:
  ScaleReading Reading(long i) {
    ScaleReading r;
    r.decimals = static_cast<int16_t>(o_.decimals);
    r.units = o_.units;
    r.id = o_.id;
    r.tare = tareActive_ ? tare_ : 0;
    r.netMode = tareActive_;
    double w = gross_;
    if (o_.script == "ramp") w = gross_ * static_cast<double>(i % 50) / 49.0;
    else if (o_.script == "step") w = (i / 20) % 2 ? gross_ : 0;
    else if (o_.script == "motion") { w = gross_ + static_cast<double>(i % 7 - 3) * 0.01; r.motion = true; }
    else if (o_.script == "negative") w = -gross_;
    else if (o_.script == "overrange") r.overRange = true;
    else if (o_.script == "netgross" && (i / 20) % 2) { r.netMode = true; r.tare = tare_; }
    const double unit = std::pow(10.0, o_.decimals);  // weights stay on the scale's division
    r.gross = std::round(w / unit) * unit;
    return r;
  }

  // Sends the next frame (or garbage); returns the bytes it took on the wire.
  double SendNext() {
    std::bernoulli_distribution noise(o_.noiseRate);
    std::uniform_int_distribution<int> byte(0, 255), count(1, 8);
    const unsigned char terminator = writer_.Protocol().StreamEndChar;
    auto garbage = [&](int n) {
      std::string g;
      for (int k = 0; k < n; ++k) {
        unsigned char b = static_cast<unsigned char>(byte(random_));
        if (b == terminator || (writer_.Protocol().StreamStartChar && b == *writer_.Protocol().StreamStartChar)) b = '?';
        g += static_cast<char>(b);
      }
      return g;
    };
    if (o_.script == "garbage") {
      const std::string g = garbage(32);
      Write(g);
      return static_cast<double>(g.size());
    }
    std::string bytes;
    if (o_.garbage && noise(random_)) bytes = garbage(count(random_));
    std::string frame = writer_.Frame(Reading(sent_++));
    if (o_.drop && noise(random_)) frame.pop_back();
    bytes += frame;
    if (o_.split && noise(random_) && bytes.size() > 2) {
      // Pieces paced one by one, with commands served in between.
      std::uniform_int_distribution<size_t> cut(1, bytes.size() - 1);
      const size_t at = cut(random_);
      Write(std::string_view(bytes).substr(0, at));
      Serve(static_cast<double>(at) / cps_);
      Write(std::string_view(bytes).substr(at));
      return static_cast<double>(bytes.size() - at);
    }
    Write(bytes);
    return static_cast<double>(bytes.size());
  }

  void Write(std::string_view bytes) {
    while (!bytes.empty()) {
      const ssize_t n = ::write(out_, bytes.data(), bytes.size());
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) { dropped_ += bytes.size(); return; }
      bytes.remove_prefix(static_cast<size_t>(n));
    }
  }

  // Reads and answers commands for up to seconds.
  void Serve(double seconds) {
    pollfd p{in_, POLLIN, 0};
    const int ms = static_cast<int>(std::ceil(seconds * 1000));
    // An ended input (a negative descriptor) only waits out the time.
    if (::poll(&p, 1, ms) <= 0) return;
    if (p.revents & (POLLHUP | POLLERR | POLLNVAL) && !(p.revents & POLLIN)) { in_ = -1; return; }
    if (!(p.revents & POLLIN)) return;
    char buffer[256];
    const ssize_t n = ::read(in_, buffer, sizeof buffer);
    if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) in_ = -1;
    if (n <= 0) return;
    for (ssize_t k = 0; k < n; ++k) {
      const char c = buffer[k];
      if (c == '\r' || c == '\n') {
        if (!line_.empty()) Answer(line_);
        line_.clear();
      } else if (line_.size() < 256) {
        line_ += c;
      }
    }
  }

  void Answer(std::string line) {
    std::fprintf(stderr, "command \"%s\"\n", Escaped(line).c_str());
    std::fflush(stderr);
    const std::string& prefix = writer_.Protocol().CmdPrefix;
    if (!prefix.empty() && line.starts_with(prefix)) line.erase(0, prefix.size());
    for (const CommandEntry& entry : definition_.Commands) {
      const std::string& def = entry.ProtocolCommands[0];
      const std::string head = def.substr(0, def.find('~'));
      if (!entry.CommandEnabled || head.empty() || !line.starts_with(head)) continue;
      std::string name = entry.ProtocolCommands[1];
      for (char& ch : name) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
      if (name.find("zero") != std::string::npos) { gross_ = 0; tareActive_ = false; }
      else if (name.find("tare") != std::string::npos) { tare_ = gross_; tareActive_ = true; }
      else if (name.find("print") != std::string::npos) Write(writer_.Frame(Reading(sent_)));
      return;
    }
  }

  const Options& o_;
  const ProtocolDefinition& definition_;
  ScaleFrameWriter writer_;
  int in_, out_;
  double cps_;
  std::mt19937 random_;
  double gross_, tare_;
  bool tareActive_ = false;
  long sent_ = 0;
  size_t dropped_ = 0;
  std::string line_;
};

Options Parse(int argc, char** argv, std::string& demoOut) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) Usage(a + " needs a value");
      return argv[++i];
    };
    auto number = [&]() {
      const std::string v = value();
      char* end = nullptr;
      const double d = std::strtod(v.c_str(), &end);
      if (v.empty() || *end) Usage(a + ": \"" + v + "\" is not a number");
      return d;
    };
    if (a == "--protocol") o.protocolFile = value();
    else if (a == "--demo") o.demo = true;
    else if (a == "--write-demo-protocol") demoOut = value();
    else if (a == "--settings") o.settings = value();
    else if (a == "--stdout") o.toStdout = true;
    else if (a == "--script") o.script = value();
    else if (a == "--weight") o.weight = number();
    else if (a == "--tare") o.tare = number();
    else if (a == "--decimals") o.decimals = static_cast<int>(number());
    else if (a == "--units") o.units = value();
    else if (a == "--id") o.id = static_cast<int>(number());
    else if (a == "--frames") o.frames = static_cast<long>(number());
    else if (a == "--interval-ms") o.intervalMs = static_cast<int>(number());
    else if (a == "--noise-rate") o.noiseRate = number();
    else if (a == "--seed") o.seed = static_cast<unsigned>(number());
    else if (a == "--noise") {
      std::stringstream list(value());
      for (std::string kind; std::getline(list, kind, ',');) {
        if (kind == "garbage") o.garbage = true;
        else if (kind == "drop") o.drop = true;
        else if (kind == "split") o.split = true;
        else Usage("unknown noise \"" + kind + "\"");
      }
    } else Usage("unknown option \"" + a + "\"");
  }
  const std::string scripts[] = {"steady", "ramp", "step", "motion", "negative", "overrange", "netgross", "garbage"};
  if (std::find(std::begin(scripts), std::end(scripts), o.script) == std::end(scripts))
    Usage("unknown script \"" + o.script + "\"");
  if (o.decimals < -5 || o.decimals > 2) Usage("--decimals must be 2 .. -5");
  if (!(o.noiseRate >= 0 && o.noiseRate <= 1)) Usage("--noise-rate must be 0 .. 1");
  return o;
}

}  // namespace

int main(int argc, char** argv) {
  std::string demoOut;
  const Options o = Parse(argc, argv, demoOut);
  try {
    if (!demoOut.empty()) {
      std::ofstream(demoOut, std::ios::binary) << FormatProtocolFile(DemoProtocol(), demoOut);
      return 0;
    }
    ProtocolDefinition definition;
    if (o.demo) {
      definition = DemoProtocol();
    } else if (!o.protocolFile.empty()) {
      std::ifstream file(o.protocolFile, std::ios::binary);
      if (!file) Usage("cannot read \"" + o.protocolFile + "\"");
      const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
      ResetDataFields(definition);
      ParseProtocolFile(bytes, o.protocolFile, definition);
    } else {
      Usage("--protocol FILE or --demo is needed");
    }
    const LineSettings line = ParseSettingsText(o.settings);
    const int bits = 1 + line.DataBits + (line.Parity == 'N' ? 0 : 1) + line.StopBits;
    const double charsPerSecond = static_cast<double>(line.BaudRate) / bits;

    signal(SIGINT, OnSignal);
    signal(SIGTERM, OnSignal);
    signal(SIGPIPE, SIG_IGN);
    signal(SIGUSR1, o.toStdout ? SIG_IGN : OnUnplug);
    if (o.toStdout) {
      ::fcntl(0, F_SETFL, ::fcntl(0, F_GETFL) | O_NONBLOCK);
      return Simulator(o, definition, 0, 1, charsPerSecond).Run();
    }
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
      std::perror("scale-sim: pseudo-terminal");
      return 1;
    }
    const std::string device = ::ptsname(master);
    // Holding the device side open keeps the line up between readers; raw, so
    // no byte is translated or echoed before a reader sets its own mode.
    const int held = ::open(device.c_str(), O_RDWR | O_NOCTTY);
    termios raw{};
    ::tcgetattr(held, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(held, TCSANOW, &raw);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    std::printf("%s\n", device.c_str());
    std::fflush(stdout);
    const int rc = Simulator(o, definition, master, master, charsPerSecond).Run();
    ::close(master);
    // Unplugged: the held device side keeps the number until the end.
    sigset_t ends, before;
    sigemptyset(&ends);
    sigaddset(&ends, SIGINT);
    sigaddset(&ends, SIGTERM);
    sigprocmask(SIG_BLOCK, &ends, &before);
    while (!endRequested) sigsuspend(&before);
    ::close(held);
    return rc;
  } catch (const RunTimeError& e) {
    std::fprintf(stderr, "scale-sim: %s\n", e.what());
    return 1;
  }
}
