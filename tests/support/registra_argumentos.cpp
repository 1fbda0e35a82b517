// A stand-in for a program that the code under test starts: it writes its
// arguments, joined by blanks, to "executou" in its own folder, and renames
// the file into place only once it is whole.

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/process.h"

int main(int argc, char** argv) {
  const std::filesystem::path pasta = tarvik::platform::ExecutableFolder();
  std::string argumentos;
  for (int i = 1; i < argc; ++i) argumentos.append(i > 1 ? " " : "").append(argv[i]);
  std::ofstream(pasta / "a", std::ios::binary) << argumentos << '\n';
  std::filesystem::rename(pasta / "a", pasta / "executou");
}
