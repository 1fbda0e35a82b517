#include "platform/posix/curl_api.h"

#include <dlfcn.h>

#include <string>

#include "base/erro.h"

namespace tarvik::platform {
namespace {

constexpr char kBiblioteca[] = "libcurl.so.4";

[[noreturn]] void FalhaCarga() {
  const char* motivo = ::dlerror();
  throw Erro(CURLE_FAILED_INIT, "BaixaUrl",
             std::string("Não foi possível carregar a biblioteca libcurl: ") +
                 (motivo ? motivo : kBiblioteca));
}

template <typename Funcao>
void Carrega(void* biblioteca, const char* nome, Funcao& funcao) {
  funcao = reinterpret_cast<Funcao>(::dlsym(biblioteca, nome));
  if (!funcao) FalhaCarga();
}

class CurlCarregada {
 public:
  CurlCarregada() {
    void* biblioteca = ::dlopen(kBiblioteca, RTLD_NOW | RTLD_LOCAL);
    if (!biblioteca) FalhaCarga();
    Carrega(biblioteca, "curl_global_init", globalInit_);
    Carrega(biblioteca, "curl_global_cleanup", globalCleanup_);
    Carrega(biblioteca, "curl_easy_init", api_.easyInit);
    Carrega(biblioteca, "curl_easy_cleanup", api_.easyCleanup);
    Carrega(biblioteca, "curl_easy_reset", api_.easyReset);
    Carrega(biblioteca, "curl_easy_setopt", api_.easySetopt);
    Carrega(biblioteca, "curl_easy_perform", api_.easyPerform);
    Carrega(biblioteca, "curl_easy_getinfo", api_.easyGetinfo);
    Carrega(biblioteca, "curl_easy_strerror", api_.easyStrerror);
    Carrega(biblioteca, "curl_slist_append", api_.slistAppend);
    Carrega(biblioteca, "curl_slist_free_all", api_.slistFreeAll);
    if (globalInit_(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
      throw Erro(CURLE_FAILED_INIT, "BaixaUrl", api_.easyStrerror(CURLE_FAILED_INIT));
    }
  }
  // The library stays loaded: unloading it at exit gains nothing.
  ~CurlCarregada() { globalCleanup_(); }
  CurlCarregada(const CurlCarregada&) = delete;
  CurlCarregada& operator=(const CurlCarregada&) = delete;

  const CurlApi& Api() const { return api_; }

 private:
  CurlApi api_{};
  CURLcode (*globalInit_)(long) = nullptr;
  void (*globalCleanup_)() = nullptr;
};

}  // namespace

const CurlApi& Curl() {
  // A failed load throws out of the initialisation, so the next call tries
  // again.
  static const CurlCarregada carregada;
  return carregada.Api();
}

}  // namespace tarvik::platform
