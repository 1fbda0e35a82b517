// Verifies a signed 200 MiB PE image and, next to it, hashes the same file
// with `openssl dgst -sha256`, so that the two throughputs can be compared.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>

#include "pe_builder.h"
#include "platform/authenticode.h"
#include "test_pki.h"

namespace {

constexpr size_t kImageSize = 200 * 1024 * 1024;

// A signed image, its PKI and the trust store that holds its root, in a
// temporary folder removed at exit.
class SignedImage {
 public:
  SignedImage() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tarvik-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    folder_ = pattern;
    using tarvik::teste::CertificateRole;
    using tarvik::teste::KeyKind;
    const std::time_t now = std::time(nullptr);
    const tarvik::teste::TestIdentity root(
        {"Bench Root", CertificateRole::kAuthority, KeyKind::kRsa, now - 86400, now + 86400},
        nullptr, folder_);
    const tarvik::teste::TestIdentity signer(
        {"Bench Signer", CertificateRole::kCodeSigning, KeyKind::kRsa, now - 86400, now + 86400},
        &root, folder_);
    tarvik::teste::WriteCertificateChain(folder_ / "chain.pem", {&signer, &root});
    {
      const std::string image =
          tarvik::teste::BuildPeImage(tarvik::teste::PeFormat::kPe32Plus, kImageSize);
      std::ofstream(folder_ / "unsigned.exe", std::ios::binary).write(image.data(), image.size());
    }
    tarvik::teste::SignImage(folder_ / "unsigned.exe", Path(), folder_ / "chain.pem",
                             signer.KeyPath(), "sha256");
    std::filesystem::remove(folder_ / "unsigned.exe");
    setenv("SSL_CERT_FILE", root.CertificatePath().c_str(), 1);
    setenv("SSL_CERT_DIR", folder_.c_str(), 1);
  }
  ~SignedImage() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  std::filesystem::path Path() const { return folder_ / "signed.exe"; }
  int64_t Size() const { return static_cast<int64_t>(std::filesystem::file_size(Path())); }

 private:
  std::filesystem::path folder_;
};

const SignedImage& Image() {
  static const SignedImage image;
  return image;
}

void BM_VerifyAuthenticode(benchmark::State& state) {
  const std::string path = Image().Path().string();
  for (auto _ : state) {
    if (tarvik::platform::VerifyAuthenticode(path) != tarvik::platform::kTrustValid) {
      state.SkipWithError("the signed image did not verify");
      break;
    }
  }
  state.SetBytesProcessed(state.iterations() * Image().Size());
}
BENCHMARK(BM_VerifyAuthenticode)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

void BM_OpensslDgstSha256(benchmark::State& state) {
  const std::string path = Image().Path().string();
  for (auto _ : state) {
    if (std::system(("openssl dgst -sha256 '" + path + "' > /dev/null").c_str()) != 0) {
      state.SkipWithError("openssl dgst failed");
      break;
    }
  }
  state.SetBytesProcessed(state.iterations() * Image().Size());
}
BENCHMARK(BM_OpensslDgstSha256)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

}  // namespace
