#include <spawn.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "base/erro.h"
#include "platform/posix/posix_error.h"
#include "platform/process.h"
#include "platform/program_search.h"

extern char** environ;

namespace tarvik::platform {
namespace {

// The program beside the updater that runs restart batches on POSIX.
constexpr char kBatchRunner[] = "executa-lote";

// Splits a command line into words; double quotes group blanks into a word
// and are dropped.
std::vector<std::string> SplitCommandLine(const std::string& commandLine) {
  std::vector<std::string> words;
  std::string word;
  bool quoted = false;
  bool inWord = false;
  for (const char c : commandLine) {
    if (c == '"') {
      quoted = !quoted;
      inWord = true;
    } else if (c == ' ' && !quoted) {
      if (inWord) words.push_back(std::move(word));
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words.push_back(std::move(word));
  return words;
}

}  // namespace

std::string ExecutableFolder() {
  std::string exe(4096, '\0');
  const ssize_t length = ::readlink("/proc/self/exe", exe.data(), exe.size());
  if (length <= 0) return ".";
  exe.resize(static_cast<size_t>(length));
  const auto slash = exe.find_last_of('/');
  return slash == 0 ? std::string("/") : exe.substr(0, slash);
}

std::string CommandLineArgument() {
  std::ifstream file("/proc/self/cmdline", std::ios::binary);
  std::vector<std::string> words;
  for (std::string word; std::getline(file, word, '\0');) words.push_back(std::move(word));
  std::string argument;
  for (size_t i = 1; i < words.size(); ++i) {
    if (i > 1) argument += ' ';
    argument += words[i];
  }
  return argument;
}

uint32_t CurrentProcessId() { return static_cast<uint32_t>(::getpid()); }

void StartProgram(const std::string& commandLine) {
  std::vector<std::string> words = SplitCommandLine(commandLine);
  if (words.empty()) throw ErroPadrao(codigo_erro::kArquivoNaoEncontrado, "StartProgram");
  const char* path = std::getenv("PATH");
  const std::string_view searchPath = path ? path : "";
  words[0] = FindProgram(words[0], searchPath, ':');
  if (IsBatchFile(words[0]))
    words.insert(words.begin(), FindProgram(kBatchRunner, searchPath, ':'));

  std::vector<char*> argv;
  for (auto& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  // Its own session, so that the started program outlives the updater and
  // its terminal's signals.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
  pid_t pid = 0;
  const int error = ::posix_spawn(&pid, argv[0], nullptr, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  if (error != 0) throw ErroDeErrno(error, "StartProgram", argv[0]);
}

}  // namespace tarvik::platform
