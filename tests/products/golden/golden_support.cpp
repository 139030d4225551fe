#include "tests/products/golden/golden_support.h"

#include <bit>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>

#include "tools/vsthost/signals.h"

namespace golden {

static_assert(std::endian::native == std::endian::little, "the golden files are little-endian");

namespace {

constexpr double kTwoPi = 6.283185307179586;

// sin by its series, so that the input is the same under every math library.
double seriesSin(double x) {
  double term = x, sum = x;
  for (int k = 1; k < 30; ++k) {
    term *= -x * x / ((2.0 * k) * (2.0 * k + 1.0));
    sum += term;
  }
  return sum;
}

// A sine oscillator by rotation: only additions and multiplications per sample.
class Oscillator {
 public:
  Oscillator(double hz, double rate) {
    const double w = kTwoPi * hz / rate;
    s_ = seriesSin(w);
    c_ = seriesSin(kTwoPi / 4.0 - w);
  }
  double next() {
    const double value = y_;
    const double x = c_ * x_ - s_ * y_;
    y_ = s_ * x_ + c_ * y_;
    x_ = x;
    return value;
  }

 private:
  double s_, c_, x_ = 1.0, y_ = 0.0;
};

// 75 ms of signal, then silence long enough for its end to pass the effect's
// delay at every rate.
constexpr double kOutputMs = 130.0;
constexpr double kLoudStartMs = 45.0;
constexpr std::size_t kWindowFrames = 1024;
constexpr std::size_t kChecksumFrames = 64;

// Impulses, then sines, noise bursts, a loud section that drives the
// compressors and the brickwall over full scale, then silence. Left and right
// differ everywhere, so that links and routings matter.
}  // namespace

rig::Stereo goldenInput(double rate) {
  const std::size_t frames = frameAt(kOutputMs, rate);
  rig::Stereo in{rig::Signal(frames, 0.0), rig::Signal(frames, 0.0)};
  in.left[frameAt(1.0, rate)] = 0.8;
  in.right[frameAt(3.0, rate)] = -0.6;
  in.left[frameAt(6.0, rate)] = 1.0;
  in.right[frameAt(6.0, rate)] = -1.0;

  Oscillator a440(440.0, rate), a7000(7000.0, rate), a3000(3000.0, rate), a60(60.0, rate);
  for (std::size_t i = frameAt(10.0, rate); i < frameAt(30.0, rate); ++i) {
    in.left[i] = 0.3 * a440.next() + 0.15 * a7000.next();
    in.right[i] = 0.25 * a3000.next() + 0.2 * a60.next();
  }

  vsthost::NoiseGenerator noiseL(101), noiseR(202);
  const std::size_t burst = frameAt(1.5, rate), period = burst + frameAt(1.0, rate);
  for (std::size_t i = frameAt(30.0, rate), k = 0; i < frameAt(kLoudStartMs, rate); ++i, ++k) {
    const double l = noiseL.next(), r = noiseR.next();
    if (k % period < burst) {
      in.left[i] = 0.7 * l;
      in.right[i] = 0.7 * r;
    }
  }

  Oscillator b100(100.0, rate), b5000(5000.0, rate), b120(120.0, rate);
  vsthost::NoiseGenerator loudL(303), loudR(404);
  for (std::size_t i = frameAt(kLoudStartMs, rate); i < frameAt(75.0, rate); ++i) {
    in.left[i] = 1.6 * b100.next() + 0.8 * loudL.next();
    in.right[i] = 1.2 * b5000.next() + 0.9 * b120.next() + 0.3 * loudR.next();
  }
  return in;
}

std::size_t frameAt(double ms, double rate) { return static_cast<std::size_t>(ms * rate / 1000.0); }

std::string fileStem(const std::string& name) {
  std::string s;
  for (char ch : name) {
    if (std::isalnum(static_cast<unsigned char>(ch)))
      s += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    else if (ch == '.')
      s += 'p';
    else if (!s.empty() && s.back() != '-')
      s += '-';
  }
  while (!s.empty() && s.back() == '-') s.pop_back();
  return s;
}

void PrintTo(const GoldenCase& c, std::ostream* os) { *os << c.name; }

std::string testName(const ::testing::TestParamInfo<GoldenCase>& info) {
  std::string s;
  for (char ch : fileStem(info.param.name)) s += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
  return s;
}

void processBlock(AEffect* e, const rig::Stereo& in, rig::Stereo& out, std::size_t start, VstInt32 n,
                  bool singlePrecision) {
  auto run = [&](auto sample) {
    using Sample = decltype(sample);
    std::vector<Sample> l(in.left.begin() + start, in.left.begin() + start + n);
    std::vector<Sample> r(in.right.begin() + start, in.right.begin() + start + n);
    std::vector<Sample> ol(n), orr(n);
    Sample* ins[2] = {l.data(), r.data()};
    Sample* outs[2] = {ol.data(), orr.data()};
    if constexpr (sizeof(Sample) == sizeof(double))
      e->processDoubleReplacing(e, ins, outs, n);
    else
      e->processReplacing(e, ins, outs, n);
    std::copy(ol.begin(), ol.end(), out.left.begin() + start);
    std::copy(orr.begin(), orr.end(), out.right.begin() + start);
  };
  if (singlePrecision)
    run(0.0f);
  else
    run(0.0);
}

const rig::Mode& modeNamed(const std::vector<rig::Mode>& modes, const std::string& name) {
  for (const rig::Mode& m : modes)
    if (name == m.name) return m;
  ADD_FAILURE() << "no mode named " << name;
  return modes.front();
}

namespace {

// ---- the stored form ----

struct Golden {
  std::uint32_t frames = 0, windowStart = 0, windowFrames = 0, checksumFrames = 0;
  std::vector<double> window;     // interleaved L, R
  std::vector<double> checksums;  // per block: sum L, squares L, sum R, squares R
  std::vector<MeterSnapshot> meters;
};

// The window starts a little before the loud section reaches the output.
Golden summarise(const GoldenCase& c, const Result& r) {
  const std::size_t windowStart = frameAt(kLoudStartMs - 1.0, c.rate) + static_cast<std::size_t>(r.delay);
  Golden g;
  const std::size_t frames = r.out.left.size();
  g.frames = static_cast<std::uint32_t>(frames);
  g.windowStart = static_cast<std::uint32_t>(windowStart);
  g.windowFrames = static_cast<std::uint32_t>(kWindowFrames);
  g.checksumFrames = static_cast<std::uint32_t>(kChecksumFrames);
  for (std::size_t i = windowStart; i < windowStart + kWindowFrames; ++i) {
    g.window.push_back(r.out.left[i]);
    g.window.push_back(r.out.right[i]);
  }
  for (std::size_t b = 0; b < frames; b += kChecksumFrames) {
    for (const rig::Signal* ch : {&r.out.left, &r.out.right}) {
      double sum = 0.0, squares = 0.0;
      for (std::size_t i = b; i < std::min(frames, b + kChecksumFrames); ++i) {
        sum += (*ch)[i];
        squares += (*ch)[i] * (*ch)[i];
      }
      g.checksums.push_back(sum);
      g.checksums.push_back(squares);
    }
  }
  g.meters = r.meters;
  return g;
}

// The product's folder of expectations below tests/products/golden.
std::string dataFolder(const std::string& product) {
  std::string folder = std::string(JYX_SOURCE_DIR) + "/tests/products/golden/" + product;
#ifdef _WIN32
  // Under wine a Unix absolute path is reached through the drive that maps /.
  if (!folder.empty() && folder[0] == '/' && !std::filesystem::exists(folder)) folder = "Z:" + folder;
#endif
  return folder;
}

std::string pathOf(const GoldenCase& c, const std::string& product) {
  return dataFolder(product) + "/" + fileStem(c.name) + ".bin";
}

constexpr char kMagic[8] = {'J', 'Y', 'X', 'G', 'O', 'L', 'D', '1'};

template <typename T>
void put(std::vector<char>& bytes, const T& v) {
  const char* p = reinterpret_cast<const char*>(&v);
  bytes.insert(bytes.end(), p, p + sizeof v);
}

bool writeGolden(const std::string& path, const std::string& name, const Golden& g) {
  std::vector<char> bytes(kMagic, kMagic + 8);
  put(bytes, static_cast<std::uint32_t>(name.size()));
  bytes.insert(bytes.end(), name.begin(), name.end());
  put(bytes, g.frames);
  put(bytes, g.windowStart);
  put(bytes, g.windowFrames);
  put(bytes, g.checksumFrames);
  put(bytes, static_cast<std::uint32_t>(g.meters.size()));
  for (double v : g.window) put(bytes, v);
  for (double v : g.checksums) put(bytes, v);
  for (const MeterSnapshot& m : g.meters) put(bytes, m);
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

class Reader {
 public:
  explicit Reader(std::vector<char> bytes) : bytes_(std::move(bytes)) {}
  template <typename T>
  bool get(T& v) {
    if (bytes_.size() - pos_ < sizeof v) return false;
    std::memcpy(&v, bytes_.data() + pos_, sizeof v);
    pos_ += sizeof v;
    return true;
  }
  bool getString(std::string& s, std::uint32_t n) {
    if (bytes_.size() - pos_ < n) return false;
    s.assign(bytes_.data() + pos_, n);
    pos_ += n;
    return true;
  }
  bool atEnd() const { return pos_ == bytes_.size(); }

 private:
  std::vector<char> bytes_;
  std::size_t pos_ = 0;
};

// Reads a golden file; an empty message means success.
std::string readGolden(const std::string& path, const std::string& name, Golden& g) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return "no expectation file " + path + " (run natively with JYX_GOLDEN_REGENERATE=1)";
  std::vector<char> bytes;
  char buffer[65536];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
    bytes.insert(bytes.end(), buffer, buffer + n);
  std::fclose(f);
  Reader in(std::move(bytes));
  char magic[8];
  std::uint32_t nameLength = 0, snapshots = 0;
  std::string storedName;
  if (!in.get(magic) || std::memcmp(magic, kMagic, 8) != 0) return path + " is not a golden file";
  if (!in.get(nameLength) || !in.getString(storedName, nameLength) || !in.get(g.frames) ||
      !in.get(g.windowStart) || !in.get(g.windowFrames) || !in.get(g.checksumFrames) || !in.get(snapshots))
    return path + " is truncated";
  if (storedName != name) return path + " holds case \"" + storedName + "\"";
  if (g.checksumFrames == 0) return path + " has no checksum block length";
  g.window.resize(2 * static_cast<std::size_t>(g.windowFrames));
  g.checksums.resize(4 * ((static_cast<std::size_t>(g.frames) + g.checksumFrames - 1) / g.checksumFrames));
  g.meters.resize(snapshots);
  for (double& v : g.window)
    if (!in.get(v)) return path + " is truncated";
  for (double& v : g.checksums)
    if (!in.get(v)) return path + " is truncated";
  for (MeterSnapshot& m : g.meters)
    if (!in.get(m)) return path + " is truncated";
  if (!in.atEnd()) return path + " has trailing bytes";
  return {};
}

// ---- comparison ----

bool envSet(const char* name) {
  const char* v = std::getenv(name);
  return v && *v && std::strcmp(v, "0") != 0;
}

int ulpDistance(float a, float b) {
  if (a == b) return 0;
  if (std::isnan(a) || std::isnan(b) || std::signbit(a) != std::signbit(b)) return 1 << 30;
  const auto ia = std::bit_cast<std::int32_t>(a), ib = std::bit_cast<std::int32_t>(b);
  return ia > ib ? ia - ib : ib - ia;
}

const char* const kChannelName[2] = {"L", "R"};

// Collects the deviations of one case; reports the first few and how many more.
class Comparison {
 public:
  explicit Comparison(std::string name) : name_(std::move(name)) {}

  void sample(std::size_t frame, int channel, double expected, double actual) {
    const double d = std::fabs(actual - expected);
    note(d);
    if (d <= kSampleTolerance) return;
    std::ostringstream m;
    m.precision(17);
    m << "sample " << frame << " " << kChannelName[channel] << " moved by " << (actual - expected)
      << " (expected " << expected << ", got " << actual << ")";
    report(m.str());
  }

  void checksum(std::size_t block, std::size_t first, std::size_t last, int channel, const char* what,
                double expected, double actual, double allowed) {
    const double d = std::fabs(actual - expected);
    if (!(d <= worstChecksum_)) worstChecksum_ = d;
    if (d <= allowed) return;
    std::ostringstream m;
    m.precision(17);
    m << "block " << block << " (frames " << first << ".." << last << ") " << kChannelName[channel] << ": "
      << what << " moved by " << (actual - expected) << " (expected " << expected << ", got " << actual
      << ")";
    report(m.str());
  }

  // The meter hand-off must match bit for bit on every platform.
  void meter(std::size_t block, const char* what, int channel, float expected, float actual) {
    if (std::bit_cast<std::uint32_t>(expected) == std::bit_cast<std::uint32_t>(actual)) return;
    ++meterDeviations_;
    std::ostringstream m;
    m.precision(9);
    m << "after host block " << block << ": " << what << " " << kChannelName[channel] << " moved by "
      << (static_cast<double>(actual) - expected) << " (" << ulpDistance(expected, actual)
      << " ulps; expected " << expected << ", got " << actual << ")";
    report(m.str());
  }

  void finish() const {
    if (failures_ > kShown) ADD_FAILURE() << name_ << ": " << failures_ - kShown << " more deviations";
    if (envSet("JYX_GOLDEN_REPORT"))
      std::printf("[golden] %-58s window %.3g, block sums %.3g, meter values moved %d\n", name_.c_str(),
                  worst_, worstChecksum_, meterDeviations_);
  }

 private:
  static constexpr int kShown = 8;
  void report(const std::string& what) {
    if (++failures_ <= kShown) ADD_FAILURE() << name_ << ": " << what;
  }
  void note(double d) {
    if (!(d <= worst_)) worst_ = d;
  }

  std::string name_;
  int failures_ = 0;
  double worst_ = 0.0, worstChecksum_ = 0.0;
  int meterDeviations_ = 0;
};

void compare(const GoldenCase& c, const Golden& expected, const Golden& actual) {
  Comparison cmp(c.name);
  if (expected.frames != actual.frames || expected.windowStart != actual.windowStart ||
      expected.windowFrames != actual.windowFrames || expected.checksumFrames != actual.checksumFrames ||
      expected.meters.size() != actual.meters.size()) {
    ADD_FAILURE() << c.name << ": the stored layout (" << expected.frames << " frames, window at "
                  << expected.windowStart << ") differs from this run's (" << actual.frames << ", "
                  << actual.windowStart << "); regenerate if the input or the table changed on purpose";
    return;
  }
  for (std::size_t i = 0; i < expected.windowFrames; ++i)
    for (int ch = 0; ch < 2; ++ch)
      cmp.sample(expected.windowStart + i, ch, expected.window[2 * i + ch], actual.window[2 * i + ch]);

  const double n = static_cast<double>(kChecksumFrames);
  for (std::size_t b = 0; 4 * b < expected.checksums.size(); ++b) {
    const std::size_t first = b * kChecksumFrames;
    const std::size_t last = std::min<std::size_t>(expected.frames, first + kChecksumFrames) - 1;
    for (int ch = 0; ch < 2; ++ch) {
      const double sum = expected.checksums[4 * b + 2 * ch], squares = expected.checksums[4 * b + 2 * ch + 1];
      // Bounds that follow from the per-sample tolerance t: |d sum| <= n t and
      // |d squares| <= 2 t (sum of |x|) + n t^2, with sum of |x| <= sqrt(n squares).
      const double t = kSampleTolerance;
      const double allowedSum = n * t;
      const double allowedSquares = 2.0 * t * std::sqrt(n * squares) + n * t * t;
      cmp.checksum(b, first, last, ch, "sum", sum, actual.checksums[4 * b + 2 * ch], allowedSum * (1 + 1e-9));
      cmp.checksum(b, first, last, ch, "sum of squares", squares, actual.checksums[4 * b + 2 * ch + 1],
                   allowedSquares * (1 + 1e-9));
    }
  }
  for (std::size_t k = 0; k < expected.meters.size(); ++k) {
    for (int ch = 0; ch < 2; ++ch) {
      cmp.meter(k, "meterLevels", ch, expected.meters[k].levels[ch], actual.meters[k].levels[ch]);
      cmp.meter(k, "overCounts", ch, expected.meters[k].counts[ch], actual.meters[k].counts[ch]);
      cmp.meter(k, "overFlags", ch, expected.meters[k].flags[ch], actual.meters[k].flags[ch]);
    }
  }
  cmp.finish();
}

}  // namespace

void checkAgainstStored(const GoldenCase& c, const Result& result, const std::string& folder) {
  for (std::size_t i = 0; i < result.out.left.size(); ++i) {
    ASSERT_TRUE(std::isfinite(result.out.left[i]) && std::isfinite(result.out.right[i]))
        << c.name << ": non-finite output at frame " << i;
  }
  const Golden actual = summarise(c, result);
  const std::string path = pathOf(c, folder);
  if (envSet("JYX_GOLDEN_REGENERATE")) {
    ASSERT_TRUE(kReferencePlatform)
        << "regenerate the expectations natively: they are the Linux build's output";
    std::filesystem::create_directories(dataFolder(folder));
    ASSERT_TRUE(writeGolden(path, c.name, actual)) << "cannot write " << path;
    std::printf("[golden] wrote %s\n", path.c_str());
    return;
  }
  Golden expected;
  const std::string problem = readGolden(path, c.name, expected);
  ASSERT_TRUE(problem.empty()) << c.name << ": " << problem;
  compare(c, expected, actual);
}

::testing::AssertionResult distinctFiles(const std::vector<GoldenCase>& cases) {
  std::vector<std::string> stems;
  for (const GoldenCase& c : cases) stems.push_back(fileStem(c.name));
  std::sort(stems.begin(), stems.end());
  const auto same = std::adjacent_find(stems.begin(), stems.end());
  if (same == stems.end()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "two cases write " << *same << ".bin";
}

}  // namespace golden
