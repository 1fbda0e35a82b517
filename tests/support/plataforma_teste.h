#ifndef TARVIK_TESTS_SUPPORT_PLATAFORMA_TESTE_H_
#define TARVIK_TESTS_SUPPORT_PLATAFORMA_TESTE_H_

#include <cstdint>
#include <string>

namespace tarvik::teste {

// What the tests expect differently because the platform differs, kept
// here so that each test is written once.
#ifdef _WIN32
inline constexpr char kSeparador = '\\';
inline const std::string kExtensaoPrograma = ".exe";
// WinHTTP's own numbers for a transfer that stalls and a body past the cap.
inline constexpr int32_t kErroTransferenciaParada = 12002;
inline constexpr int32_t kErroRespostaGrande = 12184;
// "ação" in the restart batch: the command interpreter reads the OEM code
// page, 850 on a Brazilian system.
inline const std::string kAcaoNoLote = "a\x87\xC6o";
#else
inline constexpr char kSeparador = '/';
inline const std::string kExtensaoPrograma;
// libcurl's numbers for the same.
inline constexpr int32_t kErroTransferenciaParada = 28;
inline constexpr int32_t kErroRespostaGrande = 63;
// "ação" in the restart batch, in the code page the batch runner reads.
inline const std::string kAcaoNoLote = "a\xE7\xE3o";
#endif

// True when the Windows program runs under Wine, where some system calls
// answer otherwise than on Windows.
bool SobWine();

// Makes `link` a symbolic link to `alvo` (a folder link when `alvo` is a
// folder); `alvo` need not exist. False when the system cannot: Windows
// without the right to make links, and Wine 8, which pretends to.
bool CriaLink(const std::string& alvo, const std::string& link);

}  // namespace tarvik::teste

#endif  // TARVIK_TESTS_SUPPORT_PLATAFORMA_TESTE_H_
