// The files the program reads at start-up and when the channel editor first
// opens, grown far past any real size: a Config.ini with 100 MiB of comments
// or of short lines before its settings, one whose language list section
// holds millions of keys, a language file of 25 million lines, an Encode.ini
// of 50 million. Each case runs in a child process of its own (so its peak
// memory is its own) three times over its file, and prints the file's size,
// the best and worst time, the peak memory the case added, and whether it
// read the right values.
//
// A time alone says as much about the machine as about the reader, so each
// case is judged against the plain handling of the same file in the same
// run: just before the case and just after it, another child reads the file
// whole the way the program's reader does (files::ReadRegularFile, into a
// fresh buffer of the file's size) and takes it in one naive pass, each line
// split at its '=' and its name folded and looked up, and, where the case
// writes the file back, writes those bytes to a new file beside it and syncs
// it. A count of the bytes alone would not do: the reader's work grows with
// the lines as well as the bytes, and machines differ in how fast each goes
// (one with quick memory and slower cores missed the goal for the 8.8 M keys
// alone, at 8.5 to 11 bulk readings). Both find the page cache alike: the
// file written and synced, so held in memory. The best times are compared,
// the figures least moved by other work on the machine. The goal, on files of
// 100 MiB: each case's reading under kReadGoal plain readings, its write
// under kWriteGoal plain readings and writes (it reads the file to keep the
// rest of it), and under 200 MB of memory. It exits non-zero only when a
// value read is wrong.
//   build/release/bin/bench_huge_files [MiB]     (100 by default)
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

#include "core/files/file_descriptor.h"
#include "core/files/regular_file.h"
#include "core/ini/private_profile.h"
#include "core/language/language.h"
#include "tests/support/fake_device_library.h"
#include "ui/main/main_config.h"
#include "ui/tools/resolution_list.h"

namespace {

using Clock = std::chrono::steady_clock;

long StatusKiB(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const std::size_t n = std::strlen(field);
  while (std::getline(status, line))
    if (line.compare(0, n, field) == 0) return std::stol(line.substr(n + 1));
  return -1;
}

// Writes head, then filler lines up to about mib MiB, then tail, and syncs
// the file: the plain handling and the case then find it in the same state,
// in the page cache with nothing left to write back.
void WriteFile(const QString& path, const std::string& head, const std::string& line, long mib,
               const std::string& tail) {
  {
    std::ofstream out(path.toStdString(), std::ios::binary | std::ios::trunc);
    out << head;
    std::string block;
    while (block.size() < (1u << 20)) block += line;
    const long long want = static_cast<long long>(mib) << 20;
    for (long long written = 0; written < want; written += static_cast<long long>(block.size())) out << block;
    out << tail;
  }
  const files::FileDescriptor fd(::open(path.toStdString().c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.valid()) ::fsync(fd.get());
}

// The goals are what this code does on the shared 8-core machine it was
// measured on, about doubled for the noise of such a machine and for others:
// start-up reads Config.ini twice and indexes it, best 2.4 to 2.5 plain
// readings with long comment lines, 0.6 to 0.7 with short ones, 3.6 to 3.8
// with millions of keys in the language list, where it passes over the
// section a few times; the language and resolution loads, which stop at what
// they need, 0.3 to 0.4. The write, a read, an index, a synced copy and a
// rename, took 0.5 to 1.2 plain readings and writes. A reader that read the
// file once for each key start-up looks up (more than a dozen) would land far
// above.
constexpr double kReadGoal = 8;
constexpr double kWriteGoal = 4;

struct Figures {
  double bestSeconds = 1e9;
  double worstSeconds = 0;
  double bestReadSeconds = 1e9;  // a run without its write
  double bestWriteSeconds = -1;  // the start-up write, where the case has one
  long addedKiB = 0;
  long peakKiB = 0;
  bool right = true;
};

// The plain handling of a case's file: its best times.
struct Floor {
  double readSeconds = 1e9;   // read whole and taken in one naive pass
  double writeSeconds = -1;   // the same bytes to a new file, synced
  long lines = -1;
  long namesFound = 0;        // reported, so the pass cannot be left out
  bool done = false;
};

struct Case {
  const char* name;
  const char* what;
  std::function<void(const QString& folder, long mib)> make;
  // One run: the reads (and the write, timed apart), true when the values are right.
  std::function<bool(const QString& folder, double& writeSeconds)> run;
  bool writesBack = false;  // the run writes the file too
};

const std::string kSettings =
    "App_Name=Divarod\nVersion=V1.0\n[LANGUAGE_CFG]\nDefault=Italiano\nLang=eng|It\neng=English\nIt=Italiano\n"
    "[DEVINFO_CFG]\nDev_Info=1023\n[SEARCH_CFG]\nPeriodic_Search=1\nSel_Time=10\nPeriod_Time=5|10|30\n";
// Its names, folded: what start-up looks up.
const std::unordered_set<std::string> kNamesLookedUp{
    "app_name", "version", "default", "lang", "eng", "it", "dev_info", "periodic_search", "sel_time", "period_time"};

QString ConfigIni(const QString& folder) { return folder + "Config File/Config/Config.ini"; }

// What start-up does with Config.ini: App_Name for the instance check, the
// whole configuration, and the language written back.
bool StartUp(const QString& folder, double& writeSeconds) {
  QString appName;
  ini::GetPrivateProfileString("SETTING", "App_Name", "", appName, 256, ConfigIni(folder));
  MainConfig c;
  BuildConfigPaths(c, folder);
  LoadConfiguration(c);
  const auto start = Clock::now();
  const bool written = WriteLanguageSetting(c, c.languageIndex);
  writeSeconds = std::chrono::duration<double>(Clock::now() - start).count();
  return written && appName == "Divarod" && c.versionText == "V1.0" && c.languageIndex == 3 &&
         c.LanguageMap.size() == 2 && c.LanguageMap.at(1).displayName == "Italiano" &&
         c.columnMask == ((1023 | kAlwaysShownColumns) & ~kModelColumnBit) && c.periodicSearch &&
         c.searchMinutes == 10 && c.searchPeriods == std::vector<int>({5, 10, 30});
}

std::vector<Case> Cases() {
  return {
      {"config_comments", "Config.ini, comment lines of 100 bytes in [SETTING] before its keys",
       [](const QString& f, long mib) {
         WriteFile(ConfigIni(f), "[SETTING]\n", "; " + std::string(97, 'c') + "\n", mib, kSettings);
       },
       StartUp, true},
      {"config_short_lines", "Config.ini, lines of 2 bytes in [SETTING] before its keys",
       [](const QString& f, long mib) { WriteFile(ConfigIni(f), "[SETTING]\n", "x\n", mib, kSettings); },
       StartUp, true},
      {"config_many_keys", "Config.ini, [LANGUAGE_CFG] with keys of 12 bytes before the listed ones",
       [](const QString& f, long mib) {
         std::string lines;
         for (int i = 0; i < 100000; ++i) lines += "k" + std::to_string(1000000 + i) + "=ab\n";
         WriteFile(ConfigIni(f), "[SETTING]\nApp_Name=Divarod\nVersion=V1.0\n[LANGUAGE_CFG]\n", lines, mib,
                   kSettings.substr(kSettings.find("Default=")));
       },
       StartUp, true},
      {"language_lines", "a language file, [String] with lines of 4 bytes after its texts",
       [](const QString& f, long mib) {
         WriteFile(f + "Config File/Lang/It.lang", "[String]\ntx.OK=Va bene\n", "k=v\n", mib, "last=1\n");
       },
       [](const QString& f, double&) {
         GetThreadLanguage()->LoadFile(f + "Config File/Lang/It.lang", 1);
         return Text("tx.OK") == "Va bene" && Text("k") == "v" && Text("last") == "last";
       }},
      {"encode_lines", "Encode.ini, lines of 2 bytes in [ENCODE] before Resolution",
       [](const QString& f, long mib) {
         WriteFile(f + "Config File/Config/Encode.ini", "[ENCODE]\n", "x\n", mib, "Resolution=0,D1|1,HD1|2,720P|\n");
       },
       [](const QString& f, double&) {
         const ResolutionMap map = LoadResolutionMap(f + "Config File/Config/Encode.ini");
         return map.size() == 3 && map.at(2) == "720P";
       }},
  };
}

// What measure returns, worked out in a child process of its own; failed when
// the child could not run or report.
template <typename Result>
Result InChild(const std::function<Result()>& measure, const Result& failed) {
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) return failed;
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(pipeFds[0]);
    const Result r = measure();
    const ssize_t n = ::write(pipeFds[1], &r, sizeof r);
    ::_exit(n == sizeof r ? 0 : 1);
  }
  ::close(pipeFds[1]);
  Result r = failed;
  if (pid > 0) {
    if (::read(pipeFds[0], &r, sizeof r) != sizeof r) r = failed;
    int status = 0;
    ::waitpid(pid, &status, 0);
  }
  ::close(pipeFds[0]);
  return r;
}

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// The file read whole the way the program's reader reads it and taken in one
// naive pass, three times: every line found, split at its '=', its name
// folded to lower case and looked up among the names start-up reads, the
// least a reader that finds its keys in one pass does with each line; where
// the case writes, as many bytes written to a new file beside it and synced.
Floor PlainHandling(const QString& file, bool write) {
  return InChild<Floor>(
      [&] {
        Floor floor;
        const std::string path = file.toStdString();
        const std::string copy = path + ".plain";
        for (int run = 0; run < 3; ++run) {
          std::string bytes;
          const auto start = Clock::now();
          if (files::ReadRegularFile(path, bytes) != files::ReadStatus::kRead) return Floor{};
          floor.lines = 0;
          floor.namesFound = 0;
          std::string name;
          for (const char *line = bytes.data(), *end = line + bytes.size(); line < end; ++floor.lines) {
            const auto* lf = static_cast<const char*>(std::memchr(line, '\n', static_cast<std::size_t>(end - line)));
            const char* next = lf ? lf + 1 : end;
            const auto* equals =
                static_cast<const char*>(std::memchr(line, '=', static_cast<std::size_t>(next - line)));
            if (equals) {
              name.clear();
              for (const char* c = line; c < equals; ++c) name.push_back(*c >= 'A' && *c <= 'Z' ? *c + 32 : *c);
              floor.namesFound += static_cast<long>(kNamesLookedUp.count(name));
            }
            line = next;
          }
          floor.readSeconds = std::min(floor.readSeconds, SecondsSince(start));
          if (!write) continue;
          const auto writeStart = Clock::now();
          files::FileDescriptor out(::open(copy.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
          std::size_t done = 0;
          while (out.valid() && done < bytes.size()) {
            const ssize_t n = ::write(out.get(), bytes.data() + done, bytes.size() - done);
            if (n <= 0) return Floor{};
            done += static_cast<std::size_t>(n);
          }
          if (!out.valid() || ::fsync(out.get()) != 0) return Floor{};
          out.Reset();
          const double seconds = SecondsSince(writeStart);
          if (floor.writeSeconds < 0 || seconds < floor.writeSeconds) floor.writeSeconds = seconds;
          ::unlink(copy.c_str());
        }
        floor.done = true;
        return floor;
      },
      Floor{});
}

// The better times of two plain handlings of the same file.
Floor Best(const Floor& a, const Floor& b) {
  if (!a.done || !b.done) return Floor{};
  Floor best = a;
  best.readSeconds = std::min(a.readSeconds, b.readSeconds);
  if (b.writeSeconds >= 0 && (a.writeSeconds < 0 || b.writeSeconds < a.writeSeconds)) best.writeSeconds = b.writeSeconds;
  return best;
}

// Runs the case three times in a child process and collects its figures.
Figures Measure(const Case& c, const QString& folder) {
  Figures failed;
  failed.right = false;
  return InChild<Figures>(
      [&] {
        Figures f;
        const long baseline = StatusKiB("VmRSS:");
        for (int run = 0; run < 3; ++run) {
          double writeSeconds = -1;
          const auto start = Clock::now();
          f.right = c.run(folder, writeSeconds) && f.right;
          const double seconds = SecondsSince(start);
          f.bestSeconds = std::min(f.bestSeconds, seconds);
          f.worstSeconds = std::max(f.worstSeconds, seconds);
          f.bestReadSeconds = std::min(f.bestReadSeconds, seconds - std::max(writeSeconds, 0.0));
          if (writeSeconds >= 0 && (f.bestWriteSeconds < 0 || writeSeconds < f.bestWriteSeconds))
            f.bestWriteSeconds = writeSeconds;
        }
        f.peakKiB = StatusKiB("VmHWM:");
        f.addedKiB = f.peakKiB - baseline;
        return f;
      },
      failed);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const long mib = argc > 1 ? std::atol(argv[1]) : 100;
  ScopedFakeDeviceLibrary library;  // LoadConfiguration hands the customer code to it
  QTemporaryDir dir(QDir::tempPath() + "/divarod-bench-huge-XXXXXX");
  const QString folder = dir.path() + "/";
  QDir().mkpath(folder + "Config File/Config");
  QDir().mkpath(folder + "Config File/Lang");

  // The goal is set for files of 100 MiB; other sizes print their figures only.
  const bool judged = mib == 100;
  std::printf("goal: each 100 MiB case's best reading under %.0f plain readings of its file, its best write under "
              "%.0f plain readings and writes, and under 200 MB of memory%s\n",
              kReadGoal, kWriteGoal, judged ? "" : " (not judged here)");
  std::printf("%-18s %8s %7s %9s %9s %8s %8s %8s %7s %7s %8s %8s  %s\n", "case", "file MiB", "lines M", "plain r s",
              "plain w s", "best s", "worst s", "write s", "read x", "write x", "added MB", "peak MB", "values");
  bool allMet = true;
  bool allRight = true;
  for (const Case& c : Cases()) {
    c.make(folder, mib);
    const QString file = c.name[0] == 'c' ? ConfigIni(folder)
                         : c.name[0] == 'l' ? folder + "Config File/Lang/It.lang"
                                            : folder + "Config File/Config/Encode.ini";
    const double fileMiB = static_cast<double>(QFileInfo(file).size()) / (1 << 20);
    const Floor before = PlainHandling(file, c.writesBack);
    const Figures f = Measure(c, folder);
    const Floor floor = Best(before, PlainHandling(file, c.writesBack));
    const double readRatio = f.bestReadSeconds / floor.readSeconds;
    const bool wrote = c.writesBack && f.bestWriteSeconds >= 0 && floor.writeSeconds > 0;
    const double writeRatio = wrote ? f.bestWriteSeconds / (floor.readSeconds + floor.writeSeconds) : 0;
    const bool met = !judged || (f.right && floor.done && readRatio < kReadGoal &&
                                 (!c.writesBack || (wrote && writeRatio < kWriteGoal)) && f.peakKiB < 200 * 1000);
    allMet = allMet && met;
    allRight = allRight && f.right;
    char plainWrite[16] = "-", write[16] = "-", writeX[16] = "-";
    if (floor.writeSeconds >= 0) std::snprintf(plainWrite, sizeof plainWrite, "%.3f", floor.writeSeconds);
    if (f.bestWriteSeconds >= 0) std::snprintf(write, sizeof write, "%.3f", f.bestWriteSeconds);
    if (wrote) std::snprintf(writeX, sizeof writeX, "%.1f", writeRatio);
    std::printf("%-18s %8.1f %7.2f %9.3f %9s %8.3f %8.3f %8s %7.1f %7s %8.1f %8.1f  %s%s%s\n", c.name, fileMiB,
                floor.lines / 1e6, floor.readSeconds, plainWrite, f.bestSeconds, f.worstSeconds, write, readRatio,
                writeX, f.addedKiB / 1000.0, f.peakKiB / 1000.0, f.right ? "right" : "WRONG",
                floor.done ? "" : "  (no plain handling)", met ? "" : "  (goal missed)");
    std::printf("%-18s %s\n", "", c.what);
    std::fflush(stdout);
    QFile::remove(file);
  }
  if (judged) std::printf("%s\n", allMet ? "every case met the goal" : "some case missed the goal");
  return allRight ? 0 : 1;  // a slow machine may miss the goal; a wrong value is a fault
}
