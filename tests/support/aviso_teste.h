#ifndef TARVIK_TESTS_SUPPORT_AVISO_TESTE_H_
#define TARVIK_TESTS_SUPPORT_AVISO_TESTE_H_

#include <atomic>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace tarvik::teste {

// The notices shown during the life of the object, each as
// "caption - severity\ntext\n". On POSIX they are what the code under test
// writes on standard error when there is no display. On Windows they are
// the message boxes on the desktop, which a watching thread reads and
// closes with their button so that the run goes on; the severity is told by
// the box's icon ("Erro", "Informação", "?" for another), line breaks are
// LF.
class AvisosCapturados {
 public:
#ifdef _WIN32
  // The boxes of the processes that run `programa`, or of this process
  // when it is empty.
  explicit AvisosCapturados(std::filesystem::path programa = {});
#else
  AvisosCapturados();
#endif
  ~AvisosCapturados();
  AvisosCapturados(const AvisosCapturados&) = delete;
  AvisosCapturados& operator=(const AvisosCapturados&) = delete;

  // Everything shown so far; on POSIX, ends the capture.
  std::string Texto();

 private:
#ifdef _WIN32
  std::filesystem::path programa_;
  std::atomic<bool> encerrando_ = false;
  std::mutex mutex_;
  std::string lidos_;
  std::thread vigia_;
#else
  std::optional<std::string> texto_;
#endif
};

}  // namespace tarvik::teste

#endif  // TARVIK_TESTS_SUPPORT_AVISO_TESTE_H_
