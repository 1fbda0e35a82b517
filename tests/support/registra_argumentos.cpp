// A stand-in for a program that the code under test starts: at each start
// it appends its arguments, joined by blanks, as one line to "executou" in
// its own folder, in a single write, so that a line seen is whole.

#include <string>

#include "platform/files.h"
#include "platform/process.h"

int main(int argc, char** argv) {
  std::string linha;
  for (int i = 1; i < argc; ++i) linha.append(i > 1 ? " " : "").append(argv[i]);
  tarvik::platform::AppendText(tarvik::platform::ExecutableFolder() + "/executou", linha + "\n");
}
