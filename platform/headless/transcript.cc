#include "platform/headless/transcript.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "platform/headless/session_audio.h"
#include "platform/shared/codepage.h"

namespace plat::headless {
namespace {

bool writeLines(const std::filesystem::path& path, const std::vector<std::string>& lines) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  for (const std::string& line : lines) out << line << '\n';
  out.flush();
  return static_cast<bool>(out);
}

bool writeBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  out.flush();
  return static_cast<bool>(out);
}

std::vector<std::string> readLines(const std::filesystem::path& path) {
  std::vector<std::string> lines;
  if (path.empty()) return lines;
  std::ifstream in(path, std::ios::binary);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<uint8_t> readBytes(const std::filesystem::path& path) {
  if (path.empty()) return {};
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

int Transcript::attr(int column, int row) const {
  if (row < 0 || column < 0 || static_cast<size_t>(row) >= attrs.size()) return -1;
  const std::string& line = attrs[static_cast<size_t>(row)];
  const size_t at = static_cast<size_t>(column) * 2;
  if (at + 2 > line.size()) return -1;
  const int high = hexDigit(line[at]);
  const int low = hexDigit(line[at + 1]);
  return high < 0 || low < 0 ? -1 : high * 16 + low;
}

std::vector<std::string> screenLines(const HeadlessPlatform& platform) {
  std::vector<std::string> lines;
  for (int row = 0; row < HeadlessPlatform::kRows; ++row) {
    std::string text = platform.screenRow(row);
    text.erase(text.find_last_not_of(' ') + 1);
    lines.push_back(plat::cp1252ToUtf8(text));
  }
  return lines;
}

std::vector<std::string> attrLines(const HeadlessPlatform& platform) {
  static const char kHex[] = "0123456789ABCDEF";
  std::vector<std::string> lines;
  for (int row = 0; row < HeadlessPlatform::kRows; ++row) {
    std::string line;
    for (int col = 0; col < HeadlessPlatform::kColumns; ++col) {
      const uint8_t a = platform.attrAt(col, row);
      line += kHex[a >> 4];
      line += kHex[a & 15];
    }
    lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> speechLines(const HeadlessPlatform& platform) {
  std::vector<std::string> lines;
  for (const std::string& line : platform.speech()) lines.push_back(plat::cp1252ToUtf8(line));
  return lines;
}

std::vector<std::string> levelLines(const HeadlessPlatform& platform) {
  const std::vector<std::string> speech = speechLines(platform);
  const std::vector<double> levels = speechLevels(platform);
  std::vector<std::string> lines;
  for (size_t i = 0; i < speech.size() && i < levels.size(); ++i) {
    char level[32] = "-inf";
    if (std::isfinite(levels[i])) std::snprintf(level, sizeof level, "%.1f", levels[i]);
    lines.push_back(std::string(level) + "\t" + speech[i]);
  }
  return lines;
}

std::vector<std::string> printLines(const HeadlessPlatform& platform) {
  std::vector<std::string> lines;
  for (const std::string& line : platform.printer().log())
    lines.push_back(plat::cp1252ToUtf8(line));
  return lines;
}

std::string clipboardUtf8(const HeadlessPlatform& platform) {
  return platform.clipboardHasText() ? plat::cp1252ToUtf8(platform.clipboardText()) : "";
}

Transcript transcriptOf(const HeadlessPlatform& platform) {
  Transcript t;
  t.screen = screenLines(platform);
  t.attrs = attrLines(platform);
  t.speech = speechLines(platform);
  t.print = printLines(platform);
  t.clipboard = clipboardUtf8(platform);
  return t;
}

std::vector<std::filesystem::path> writeTranscript(const HeadlessPlatform& platform,
                                                   const TranscriptFiles& files) {
  std::vector<std::filesystem::path> failed;
  auto put = [&](const std::filesystem::path& path, auto lines) {
    if (!path.empty() && !writeLines(path, lines())) failed.push_back(path);
  };
  put(files.screen, [&] { return screenLines(platform); });
  put(files.attrs, [&] { return attrLines(platform); });
  put(files.speech, [&] { return speechLines(platform); });
  put(files.levels, [&] { return levelLines(platform); });
  put(files.print, [&] { return printLines(platform); });
  if (!files.audio.empty() && !writeBytes(files.audio, sessionAudioWav(platform))) {
    failed.push_back(files.audio);
  }
  if (!files.clipboard.empty()) {
    const std::string text = clipboardUtf8(platform);
    if (!writeBytes(files.clipboard, std::vector<uint8_t>(text.begin(), text.end()))) {
      failed.push_back(files.clipboard);
    }
  }
  return failed;
}

Transcript readTranscript(const TranscriptFiles& files) {
  Transcript t;
  t.screen = readLines(files.screen);
  t.attrs = readLines(files.attrs);
  t.speech = readLines(files.speech);
  t.levels = readLines(files.levels);
  t.audio = readBytes(files.audio);
  t.print = readLines(files.print);
  const std::vector<uint8_t> clipboard = readBytes(files.clipboard);
  t.clipboard.assign(clipboard.begin(), clipboard.end());
  return t;
}

}  // namespace plat::headless
