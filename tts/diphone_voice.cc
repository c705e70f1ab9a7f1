#include "tts/diphone_voice.h"

#include <algorithm>
#include <cmath>
#include <tuple>

#include "platform/platform.h"
#include "platform/shared/riff.h"
#include "platform/shared/whole_file.h"

namespace {

constexpr char kMagic[8] = {'T', 'L', 'X', 'V', 'O', 'Z', '1', '\0'};
constexpr uint32_t kVoiceRate = 16000;  // the engine plays nothing else
// Outside this a period would not fit a grain, or would not be a voice.
constexpr uint32_t kLowestPitch = 20000, kHighestPitch = 2000000;  // mHz
constexpr size_t kMaxSymbolLength = 7;
constexpr uint32_t kMaxDiphones = 65535;
constexpr size_t kDiphoneRecordBytes = 22;
constexpr uint32_t kVoicedBit = 0x80000000u;
constexpr std::uintmax_t kMaxFileBytes = 64u << 20;

// Reads little-endian fields without ever passing the end; after the
// first short read every later one fails too.
struct Reader {
  const uint8_t* at;
  size_t left;

  bool has(size_t n) const { return left >= n; }
  bool u8(uint8_t* v) {
    if (!has(1)) return false;
    *v = *at;
    skip(1);
    return true;
  }
  bool u32(uint32_t* v) {
    if (!has(4)) return false;
    *v = plat::get32(at);
    skip(4);
    return true;
  }
  void skip(size_t n) {
    at += n;
    left -= n;
  }
};

bool fail(std::string* error, std::string reason) {
  if (error != nullptr) *error = std::move(reason);
  return false;
}

// A symbol must be writable in a phoneme line: visible ASCII, no blank.
bool validSymbol(std::string_view s) {
  if (s.empty() || s.size() > kMaxSymbolLength) return false;
  return std::all_of(s.begin(), s.end(), [](char c) { return c > ' ' && c < 127; });
}

bool readSymbols(Reader* in, DiphoneVoice* voice, std::string* error) {
  uint32_t count = 0;
  if (!in->u32(&count)) return fail(error, "truncated before the symbols");
  if (count < 1 || count > 255) return fail(error, "symbol count out of range");
  voice->symbols.clear();
  for (uint32_t i = 0; i < count; ++i) {
    uint8_t length = 0;
    if (!in->u8(&length) || !in->has(length)) return fail(error, "truncated symbol");
    std::string symbol(reinterpret_cast<const char*>(in->at), length);
    in->skip(length);
    if (!validSymbol(symbol)) return fail(error, "bad symbol " + std::to_string(i));
    if (voice->symbolIndex(symbol) >= 0) return fail(error, "symbol twice: " + symbol);
    voice->symbols.push_back(std::move(symbol));
  }
  return true;
}

bool readDiphones(Reader* in, DiphoneVoice* voice, std::string* error) {
  uint32_t count = 0;
  if (!in->u32(&count)) return fail(error, "truncated before the diphones");
  if (count < 1 || count > kMaxDiphones) return fail(error, "diphone count out of range");
  if (!in->has(size_t{count} * kDiphoneRecordBytes)) return fail(error, "truncated diphones");
  voice->diphones.resize(count);
  for (Diphone& d : voice->diphones) {
    in->u8(&d.left);
    in->u8(&d.right);
    in->u32(&d.firstSample);
    in->u32(&d.sampleCount);
    in->u32(&d.boundary);
    in->u32(&d.firstMark);
    in->u32(&d.markCount);
    if (d.left >= voice->symbols.size() || d.right >= voice->symbols.size())
      return fail(error, "diphone names an unknown symbol");
    if (d.sampleCount < 1 || d.boundary > d.sampleCount)
      return fail(error, "diphone with no samples or its boundary outside them");
  }
  return true;
}

bool readSamplesAndMarks(Reader* in, DiphoneVoice* voice, std::string* error) {
  uint32_t samples = 0;
  if (!in->u32(&samples)) return fail(error, "truncated before the samples");
  if (!in->has(size_t{samples} * 2)) return fail(error, "truncated samples");
  voice->samples.resize(samples);
  for (int16_t& s : voice->samples) {
    s = static_cast<int16_t>(plat::get16(in->at));
    in->skip(2);
  }
  uint32_t marks = 0;
  if (!in->u32(&marks)) return fail(error, "truncated before the marks");
  if (!in->has(size_t{marks} * 4)) return fail(error, "truncated marks");
  voice->marks.resize(marks);
  for (PitchMark& m : voice->marks) {
    uint32_t v = 0;
    in->u32(&v);
    m.position = v & ~kVoicedBit;
    m.voiced = (v & kVoicedBit) != 0;
  }
  if (in->left != 0) return fail(error, "bytes after the marks");
  return true;
}

// Every diphone's samples and marks inside the arrays, its marks rising
// inside it, and each pair once.
bool checkDiphones(DiphoneVoice* voice, std::string* error) {
  for (const Diphone& d : voice->diphones) {
    const std::string name = voice->symbols[d.left] + "-" + voice->symbols[d.right];
    if (uint64_t{d.firstSample} + d.sampleCount > voice->samples.size())
      return fail(error, name + ": samples outside the file");
    if (uint64_t{d.firstMark} + d.markCount > voice->marks.size())
      return fail(error, name + ": marks outside the file");
    const PitchMark* marks = voice->marksOf(d);
    for (uint32_t i = 0; i < d.markCount; ++i) {
      if (marks[i].position >= d.sampleCount) return fail(error, name + ": mark outside it");
      if (i > 0 && marks[i].position <= marks[i - 1].position)
        return fail(error, name + ": marks out of order");
    }
  }
  auto key = [](const Diphone& d) { return std::tie(d.left, d.right); };
  std::sort(voice->diphones.begin(), voice->diphones.end(),
            [&](const Diphone& a, const Diphone& b) { return key(a) < key(b); });
  for (size_t i = 1; i < voice->diphones.size(); ++i) {
    const Diphone& d = voice->diphones[i];
    if (key(d) == key(voice->diphones[i - 1]))
      return fail(error, "diphone twice: " + voice->symbols[d.left] + "-" +
                             voice->symbols[d.right]);
  }
  return true;
}

void put32(std::vector<uint8_t>* out, uint32_t v) {
  const size_t at = out->size();
  out->resize(at + 4);
  plat::put32(out->data() + at, v);
}

}  // namespace

bool parseDiphoneVoice(const uint8_t* bytes, size_t size, DiphoneVoice* voice,
                       std::string* error) {
  *voice = DiphoneVoice();
  Reader in{bytes, bytes == nullptr ? 0 : size};
  if (!in.has(sizeof kMagic) || !std::equal(kMagic, kMagic + sizeof kMagic, in.at))
    return fail(error, "not a voice file");
  in.skip(sizeof kMagic);
  uint32_t rate = 0, pitch = 0;
  if (!in.u32(&rate) || !in.u32(&pitch)) return fail(error, "truncated header");
  if (rate != kVoiceRate) return fail(error, "sample rate is not 16000");
  if (pitch < kLowestPitch || pitch > kHighestPitch)
    return fail(error, "source pitch out of range");
  voice->sampleRate = rate;
  voice->sourcePitch = pitch / 1000.0;
  const bool ok = readSymbols(&in, voice, error) && readDiphones(&in, voice, error) &&
                  readSamplesAndMarks(&in, voice, error) && checkDiphones(voice, error);
  // A voice that failed is never half used.
  if (!ok) *voice = DiphoneVoice();
  return ok;
}

bool loadDiphoneVoice(std::string_view path, DiphoneVoice* voice, std::string* error) {
  std::string bytes;
  if (path.empty() ||
      !plat::readWholeFile(plat::system().nativePath(path), &bytes, kMaxFileBytes)) {
    *voice = DiphoneVoice();
    return fail(error, "cannot read " + std::string(path) + " (missing or over 64 MB)");
  }
  return parseDiphoneVoice(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(),
                           voice, error);
}

std::vector<uint8_t> encodeDiphoneVoice(const DiphoneVoice& voice) {
  std::vector<uint8_t> out(kMagic, kMagic + sizeof kMagic);
  put32(&out, voice.sampleRate);
  const double millihertz = voice.sourcePitch * 1000.0;
  put32(&out, millihertz > 0 && millihertz < 4e9 ? static_cast<uint32_t>(std::lround(millihertz))
                                                 : 0);
  put32(&out, static_cast<uint32_t>(voice.symbols.size()));
  for (const std::string& s : voice.symbols) {
    out.push_back(static_cast<uint8_t>(s.size()));
    out.insert(out.end(), s.begin(), s.end());
  }
  put32(&out, static_cast<uint32_t>(voice.diphones.size()));
  for (const Diphone& d : voice.diphones) {
    out.push_back(d.left);
    out.push_back(d.right);
    for (uint32_t v : {d.firstSample, d.sampleCount, d.boundary, d.firstMark, d.markCount})
      put32(&out, v);
  }
  put32(&out, static_cast<uint32_t>(voice.samples.size()));
  for (int16_t s : voice.samples) {
    out.push_back(static_cast<uint8_t>(s & 0xFF));
    out.push_back(static_cast<uint8_t>((static_cast<uint16_t>(s) >> 8) & 0xFF));
  }
  put32(&out, static_cast<uint32_t>(voice.marks.size()));
  for (const PitchMark& m : voice.marks)
    put32(&out, (m.position & ~kVoicedBit) | (m.voiced ? kVoicedBit : 0));
  return out;
}
