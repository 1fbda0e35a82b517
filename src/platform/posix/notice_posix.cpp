#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "platform/notice.h"

extern char** environ;

namespace tarvik::platform {
namespace {

const char* SeverityWord(NoticeStyle style) {
  return style == NoticeStyle::kCritical ? "Erro" : "Informação";
}

// Message boxes break lines with CR LF; a terminal wants LF.
std::string WithUnixLineEnds(const std::string& text) {
  std::string result;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    result += text[i];
  }
  return result;
}

bool InGraphicalSession() {
  const char* display = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (display && *display) || (wayland && *wayland);
}

// A zenity dialog; false when zenity could not be run.
bool ShowDialog(const std::string& caption, const std::string& text, NoticeStyle style) {
  std::string kind = style == NoticeStyle::kCritical ? "--error" : "--info";
  std::string title = "--title=" + caption;
  std::string body = "--text=" + text;
  std::string noMarkup = "--no-markup";
  std::string program = "zenity";
  char* argv[] = {program.data(), kind.data(), title.data(), body.data(), noMarkup.data(), nullptr};
  pid_t pid = 0;
  if (::posix_spawnp(&pid, "zenity", nullptr, nullptr, argv, environ) != 0) return false;
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return true;  // it ran; its verdict is lost
  }
  // 255 or a signal: zenity could not show the dialog.
  return WIFEXITED(status) && WEXITSTATUS(status) != 255;
}

}  // namespace

void ShowNotice(const std::string& caption, const std::string& text, NoticeStyle style) {
  const std::string plain = WithUnixLineEnds(text);
  if (InGraphicalSession() && ShowDialog(caption, plain, style)) return;
  std::cerr << caption << " - " << SeverityWord(style) << '\n' << plain << '\n' << std::flush;
  if (::isatty(STDIN_FILENO)) {
    std::cerr << "[Enter] " << std::flush;
    std::string ignored;
    std::getline(std::cin, ignored);
  }
}

void ReportFatalError(const std::string& program, const std::string& text) {
  std::cerr << program << ": " << text << '\n' << std::flush;
}

}  // namespace tarvik::platform
