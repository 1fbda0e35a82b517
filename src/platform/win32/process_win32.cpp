#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "base/erro.h"
#include "platform/process.h"
#include "platform/program_search.h"
#include "platform/win32/wide_text.h"

namespace tarvik::platform {
namespace {

// How long the program name at the start of a command line is, quotes
// included, by the rule of the C runtime: double quotes group blanks and
// nothing escapes them.
template <typename Char>
size_t ProgramNameLength(std::basic_string_view<Char> commandLine) {
  bool quoted = false;
  size_t length = 0;
  for (; length < commandLine.size(); ++length) {
    const Char c = commandLine[length];
    if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && (c == ' ' || c == '\t')) {
      break;
    }
  }
  return length;
}

template <typename Char>
std::basic_string_view<Char> SkipBlanks(std::basic_string_view<Char> text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  return text;
}

std::string EnvironmentVariable(const wchar_t* name) {
  const DWORD needed = ::GetEnvironmentVariableW(name, nullptr, 0);
  if (needed == 0) return {};
  std::wstring value(needed, L'\0');
  const DWORD length = ::GetEnvironmentVariableW(name, value.data(), needed);
  value.resize(length < needed ? length : 0);
  return FromWide(value);
}

std::string CommandInterpreter() {
  std::string interpreter = EnvironmentVariable(L"COMSPEC");
  if (!interpreter.empty()) return interpreter;
  wchar_t folder[MAX_PATH];
  const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return "cmd.exe";
  return FromWide({folder, length}) + "\\cmd.exe";
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

std::string ExecutableFolder() {
  std::wstring exe(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(nullptr, exe.data(), static_cast<DWORD>(exe.size()));
    if (length == 0) return ".";
    if (length < exe.size()) {
      exe.resize(length);
      break;
    }
    exe.resize(exe.size() * 2);
  }
  const std::string path = FromWide(exe);
  const auto separator = path.find_last_of('\\');
  if (separator == std::string::npos) return ".";
  // A drive's root keeps its separator: "C:" alone names a current folder.
  if (separator == 2 && path[1] == ':') return path.substr(0, 3);
  return path.substr(0, separator);
}

std::string CommandLineArgument() {
  const std::wstring_view commandLine = ::GetCommandLineW();
  return FromWide(SkipBlanks(commandLine.substr(ProgramNameLength(commandLine))));
}

uint32_t CurrentProcessId() { return ::GetCurrentProcessId(); }

void StartProgram(const std::string& commandLine) {
  const std::string_view line = SkipBlanks(std::string_view(commandLine));
  const size_t nameLength = ProgramNameLength(line);
  std::string name(line.substr(0, nameLength));
  std::erase(name, '"');
  if (name.empty()) throw ErroPadrao(codigo_erro::kArquivoNaoEncontrado, "StartProgram");
  const std::string_view arguments = SkipBlanks(line.substr(nameLength));

  const std::string program = FindProgram(name, EnvironmentVariable(L"PATH"), ';');
  std::string invocation = Quoted(program);
  if (!arguments.empty()) {
    invocation += ' ';
    invocation += arguments;
  }
  std::string application = program;
  if (IsBatchFile(program)) {
    // The interpreter drops the outer quotes of what follows /c and runs the
    // rest as typed, quoted program name included.
    application = CommandInterpreter();
    invocation = Quoted(application) + " /c " + Quoted(invocation);
  }

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWMINIMIZED;
  PROCESS_INFORMATION started{};
  std::wstring wideInvocation = ToWide(invocation);
  if (!::CreateProcessW(ToWide(application).c_str(), wideInvocation.data(), nullptr, nullptr, FALSE,
                        0, nullptr, nullptr, &startup, &started)) {
    throw ErroPadrao(codigo_erro::kArquivoNaoEncontrado, "StartProgram", program);
  }
  // Not waited for: the started program outlives the updater.
  ::CloseHandle(started.hThread);
  ::CloseHandle(started.hProcess);
}

}  // namespace tarvik::platform
