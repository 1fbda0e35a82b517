#include "platform/posix/authenticode/file_byte_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>
#include <utility>

#include "base/erro.h"
#include "platform/posix/posix_error.h"

namespace tarvik::platform {
namespace {

constexpr char kOrigem[] = "VerificaAssinatura";

}  // namespace

FileByteSource::FileByteSource(std::string path) : path_(std::move(path)) {
  fd_ = UniqueFd(::open(path_.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd_.Valid()) throw ErroDeErrno(errno, kOrigem, path_);
  struct stat info {};
  if (::fstat(fd_.Get(), &info) != 0) throw ErroDeErrno(errno, kOrigem, path_);
  if (!S_ISREG(info.st_mode)) throw ErroPadrao(codigo_erro::kErroAcessoCaminho, kOrigem, path_);
  size_ = static_cast<uint64_t>(info.st_size);
  // The digest reads the file once from start to end.
  ::posix_fadvise(fd_.Get(), 0, 0, POSIX_FADV_SEQUENTIAL);
}

void FileByteSource::ReadAt(uint64_t offset, std::span<uint8_t> out) {
  if (offset > size_ || out.size() > size_ - offset) {
    throw std::out_of_range("read beyond the end of the file");
  }
  size_t done = 0;
  while (done < out.size()) {
    const ssize_t lidos =
        ::pread(fd_.Get(), out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
    if (lidos < 0) {
      if (errno == EINTR) continue;
      throw ErroDeErrno(errno, kOrigem, path_);
    }
    if (lidos == 0) throw ErroPadrao(codigo_erro::kErroEntradaSaida, kOrigem, path_);
    done += static_cast<size_t>(lidos);
  }
}

}  // namespace tarvik::platform
