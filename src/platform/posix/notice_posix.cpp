#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
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

// Standard error through the C library: the C++ streams would cost every
// run their start-up, and a notice is rare.
void WriteError(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fflush(stderr);
}

}  // namespace

void ShowNotice(const std::string& caption, const std::string& text, NoticeStyle style) {
  const std::string plain = WithUnixLineEnds(text);
  if (InGraphicalSession() && ShowDialog(caption, plain, style)) return;
  WriteError(caption + " - " + SeverityWord(style) + "\n" + plain + "\n");
  if (::isatty(STDIN_FILENO)) {
    WriteError("[Enter] ");
    for (int c = 0; c != '\n' && c != EOF;) c = std::getchar();
  }
}

void ReportFatalError(const std::string& program, const std::string& text) {
  WriteError(program + ": " + text + "\n");
}

}  // namespace tarvik::platform
