#include "platform/posix/http_curl.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <string>

#include "base/erro.h"
#include "base/texto.h"
#include "base/url_pedido.h"
#include "platform/files.h"
#include "platform/posix/curl_api.h"
#include "platform/posix/posix_error.h"
#include "platform/posix/unique_fd.h"

namespace tarvik::platform {
namespace {

constexpr char kOrigem[] = "BaixaUrl";

// Where the body goes and what went wrong on the way, for the callbacks.
struct Transfer {
  std::string* memory = nullptr;
  int fd = -1;
  int64_t maxBodyBytes = 0;
  // Of a file download: the bytes kept at most (negative: no limit).
  int64_t limit = -1;
  int64_t received = 0;
  bool tooLarge = false;
  bool cut = false;
  int writeErrno = 0;
  std::string statusText;
};

size_t OnBody(char* data, size_t size, size_t count, void* user) {
  auto& transfer = *static_cast<Transfer*>(user);
  const size_t bytes = size * count;
  if (transfer.fd >= 0) {
    size_t keep = bytes;
    if (transfer.limit >= 0 &&
        static_cast<uint64_t>(bytes) > static_cast<uint64_t>(transfer.limit - transfer.received)) {
      keep = static_cast<size_t>(transfer.limit - transfer.received);
      transfer.cut = true;
    }
    for (size_t done = 0; done < keep;) {
      const ssize_t written = ::write(transfer.fd, data + done, keep - done);
      if (written < 0) {
        if (errno == EINTR) continue;
        transfer.writeErrno = errno;
        return 0;
      }
      done += static_cast<size_t>(written);
    }
    transfer.received += static_cast<int64_t>(keep);
    // Taking fewer bytes than offered ends the transfer.
    return keep;
  }
  transfer.received += static_cast<int64_t>(bytes);
  if (transfer.received > transfer.maxBodyBytes) {
    transfer.tooLarge = true;
    return 0;
  }
  transfer.memory->append(data, bytes);
  return bytes;
}

// Keeps the reason phrase of the last status line (after redirects).
size_t OnHeader(char* data, size_t size, size_t count, void* user) {
  auto& transfer = *static_cast<Transfer*>(user);
  const std::string_view line(data, size * count);
  if (line.starts_with("HTTP/")) {
    transfer.statusText.clear();
    const auto code = line.find(' ');
    const auto reason = code == std::string_view::npos ? code : line.find(' ', code + 1);
    if (reason != std::string_view::npos) {
      std::string_view text = line.substr(reason + 1);
      while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.remove_suffix(1);
      transfer.statusText = text;
    }
  }
  return size * count;
}

Erro TooLarge(int64_t limit) {
  return Erro(CURLE_FILESIZE_EXCEEDED, kOrigem,
              "Resposta maior que o limite de " + std::to_string(limit) + " bytes");
}

// The handle of this thread's requests, kept from one request to the next:
// libcurl keeps its open connections (and TLS sessions) in it, so the files
// of an update come through one connection per server instead of one each,
// each left behind in TIME_WAIT.
CURL* KeptHandle(const CurlApi& api) {
  thread_local const std::unique_ptr<CURL, void (*)(CURL*)> handle(api.easyInit(), api.easyCleanup);
  if (!handle) throw Erro(CURLE_FAILED_INIT, kOrigem, api.easyStrerror(CURLE_FAILED_INIT));
  return handle.get();
}

// Clears the options of a request when it ends, whichever way: none carries
// to the next, and the handle keeps no pointer to what this request owned.
struct ResetWhenDone {
  const CurlApi& api;
  CURL* handle;
  ~ResetWhenDone() { api.easyReset(handle); }
};

}  // namespace

RespostaHttp HttpGet(const std::string& url, const std::string& headerLine,
                     const HttpOptions& options, const std::string& destination, int64_t limit) {
  const CurlApi& api = Curl();
  CURL* const handle = KeptHandle(api);

  RespostaHttp resposta;
  Transfer transfer;
  transfer.memory = &resposta.corpo;
  transfer.maxBodyBytes = options.maxBodyBytes;
  transfer.limit = limit;

  // A file download goes to a sibling that replaces the destination only
  // when the whole body of a 200 answer has arrived.
  std::string nativeDestination;
  std::string partial;
  UniqueFd partialFd;
  if (!destination.empty()) {
    nativeDestination = NativePath(destination);
    partial = nativeDestination + ".parcial-XXXXXX";
    partialFd = UniqueFd(::mkstemp(partial.data()));
    if (!partialFd.Valid()) throw ErroDeErrno(errno, kOrigem, nativeDestination);
    ::fchmod(partialFd.Get(), 0644);
    transfer.fd = partialFd.Get();
  }
  struct PartialGuard {
    const std::string& path;
    bool keep = false;
    ~PartialGuard() {
      if (!path.empty() && !keep) ::unlink(path.c_str());
    }
  } guard{partial};

  char errorText[CURL_ERROR_SIZE] = {};
  std::unique_ptr<curl_slist, void (*)(curl_slist*)> headers(nullptr, api.slistFreeAll);
  if (!headerLine.empty()) headers.reset(api.slistAppend(nullptr, headerLine.c_str()));

  const ResetWhenDone reset{api, handle};
  // Values go into URLs unencoded; what cannot stand in a request line is
  // encoded here, so that every request reaches the server.
  const std::string pedido = UrlParaPedido(url);
  api.easySetopt(handle, CURLOPT_URL, pedido.c_str());
  api.easySetopt(handle, CURLOPT_HTTPGET, 1L);
  api.easySetopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
  api.easySetopt(handle, CURLOPT_MAXREDIRS, 10L);
  // A redirect may go from http to https, never back: what was asked over
  // TLS must not arrive in the clear.
  const bool seguro =
      pedido.size() >= 6 && IgualSemCaixa(std::string_view(pedido).substr(0, 6), "https:");
  api.easySetopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, seguro ? "https" : "http,https");
  api.easySetopt(handle, CURLOPT_NOSIGNAL, 1L);
  api.easySetopt(handle, CURLOPT_CONNECTTIMEOUT, options.connectTimeoutSeconds);
  api.easySetopt(handle, CURLOPT_LOW_SPEED_LIMIT, options.minBytesPerSecond);
  api.easySetopt(handle, CURLOPT_LOW_SPEED_TIME, options.slowWindowSeconds);
  api.easySetopt(handle, CURLOPT_SSL_VERIFYPEER, 1L);
  api.easySetopt(handle, CURLOPT_SSL_VERIFYHOST, 2L);
  api.easySetopt(handle, CURLOPT_ERRORBUFFER, errorText);
  api.easySetopt(handle, CURLOPT_WRITEFUNCTION, OnBody);
  api.easySetopt(handle, CURLOPT_WRITEDATA, &transfer);
  api.easySetopt(handle, CURLOPT_HEADERFUNCTION, OnHeader);
  api.easySetopt(handle, CURLOPT_HEADERDATA, &transfer);
  if (headers) api.easySetopt(handle, CURLOPT_HTTPHEADER, headers.get());
  // Large receive blocks mean fewer writes: a download keeps pace with curl.
  api.easySetopt(handle, CURLOPT_BUFFERSIZE, 512L * 1024);
  if (destination.empty()) {
    api.easySetopt(handle, CURLOPT_MAXFILESIZE_LARGE, curl_off_t{options.maxBodyBytes});
    api.easySetopt(handle, CURLOPT_TIMEOUT, options.memoryDeadlineSeconds);
  }
  // libcurl reads its own bundle; honour the variables that point OpenSSL
  // elsewhere, so that a private CA can be trusted.
  for (const char* variable : {"SSL_CERT_FILE", "CURL_CA_BUNDLE"}) {
    if (const char* bundle = std::getenv(variable); bundle && *bundle) {
      api.easySetopt(handle, CURLOPT_CAINFO, bundle);
      break;
    }
  }
  if (const char* folder = std::getenv("SSL_CERT_DIR"); folder && *folder) {
    api.easySetopt(handle, CURLOPT_CAPATH, folder);
  }

  const CURLcode code = api.easyPerform(handle);
  if (transfer.tooLarge || code == CURLE_FILESIZE_EXCEEDED) throw TooLarge(options.maxBodyBytes);
  if (transfer.writeErrno != 0) throw ErroDeErrno(transfer.writeErrno, kOrigem, nativeDestination);
  // A body cut at the limit is a complete answer: what was kept is its body.
  if (code != CURLE_OK && !(transfer.cut && code == CURLE_WRITE_ERROR)) {
    throw Erro(code, kOrigem, *errorText ? errorText : api.easyStrerror(code));
  }
  long status = 0;
  api.easyGetinfo(handle, CURLINFO_RESPONSE_CODE, &status);
  resposta.status = static_cast<int32_t>(status);
  resposta.textoStatus = std::move(transfer.statusText);

  if (!destination.empty() && resposta.status == 200) {
    // No flush: a received file is verified (size, hash) before any use,
    // and the copy that installs it is flushed.
    if (!partialFd.Close() || ::rename(partial.c_str(), nativeDestination.c_str()) != 0) {
      throw ErroDeErrno(errno, kOrigem, nativeDestination);
    }
    guard.keep = true;
  }
  return resposta;
}

}  // namespace tarvik::platform
