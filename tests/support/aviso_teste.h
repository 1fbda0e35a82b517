#ifndef TARVIK_TESTS_SUPPORT_AVISO_TESTE_H_
#define TARVIK_TESTS_SUPPORT_AVISO_TESTE_H_

#include <atomic>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace tarvik::teste {

// The notices that the code under test shows during the life of the
// object, each as "caption - severity\ntext\n". On POSIX they are what the
// notice writes on standard error when there is no display; on Windows
// the message boxes, which a watching thread reads and closes so that the
// test goes on.
class AvisosCapturados {
 public:
  AvisosCapturados();
  ~AvisosCapturados();
  AvisosCapturados(const AvisosCapturados&) = delete;
  AvisosCapturados& operator=(const AvisosCapturados&) = delete;

  // Everything shown so far; on POSIX, ends the capture.
  std::string Texto();

 private:
#ifdef _WIN32
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
