#include "platform/win32/http_winhttp.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "base/erro.h"
#include "base/url_pedido.h"
#include "platform/win32/arquivo_parcial.h"
#include "platform/win32/erro_winhttp.h"
#include "platform/win32/ritmo_transferencia.h"
#include "platform/win32/wide_text.h"

namespace tarvik::platform {
namespace {

constexpr char kOrigem[] = "BaixaUrl";
constexpr DWORD kBlocoLeitura = 256 * 1024;
constexpr DWORD kMaximoRedirecionamentos = 10;

DWORD Milissegundos(long segundos) { return static_cast<DWORD>(segundos) * 1000; }

// Each byte as the character of the same value: WinHTTP sends such text as
// those bytes, so the ANSI header and the ASCII request line travel unchanged.
std::wstring ComoLatin1(std::string_view bytes) {
  std::wstring texto;
  texto.reserve(bytes.size());
  for (const char c : bytes) texto += static_cast<wchar_t>(static_cast<unsigned char>(c));
  return texto;
}

void DefineOpcao(HINTERNET handle, DWORD opcao, DWORD valor, const std::string& servidor) {
  if (!::WinHttpSetOption(handle, opcao, &valor, sizeof(valor))) {
    throw ErroWinHttp(::GetLastError(), kOrigem, servidor);
  }
}

std::optional<std::wstring> Cabecalho(HINTERNET pedido, DWORD qual) {
  DWORD bytes = 0;
  if (::WinHttpQueryHeaders(pedido, qual, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER,
                            &bytes, WINHTTP_NO_HEADER_INDEX)) {
    return std::wstring();
  }
  if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER) return std::nullopt;
  std::wstring valor(bytes / sizeof(wchar_t), L'\0');
  if (!::WinHttpQueryHeaders(pedido, qual, WINHTTP_HEADER_NAME_BY_INDEX, valor.data(), &bytes,
                             WINHTTP_NO_HEADER_INDEX)) {
    return std::nullopt;
  }
  valor.resize(bytes / sizeof(wchar_t));
  return valor;
}

// The length the server announced, when it announced one.
std::optional<uint64_t> TamanhoAnunciado(HINTERNET pedido) {
  const auto texto = Cabecalho(pedido, WINHTTP_QUERY_CONTENT_LENGTH);
  if (!texto || texto->empty()) return std::nullopt;
  uint64_t tamanho = 0;
  for (const wchar_t c : *texto) {
    if (c < L'0' || c > L'9') return std::nullopt;
    tamanho = tamanho * 10 + static_cast<uint64_t>(c - L'0');
  }
  return tamanho;
}

Erro MuitoGrande(int64_t limite) {
  return Erro(ERROR_WINHTTP_RESPONSE_DRAIN_OVERFLOW, kOrigem,
              "Resposta maior que o limite de " + std::to_string(limite) + " bytes");
}

struct FechaInternet {
  void operator()(HINTERNET handle) const { ::WinHttpCloseHandle(handle); }
};
using HandleInternet = std::unique_ptr<void, FechaInternet>;

HandleInternet AbreSessao() {
  // No agent name: no User-Agent line, as on the other platforms.
  HandleInternet sessao(::WinHttpOpen(nullptr, WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                      WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
  if (!sessao) throw ErroWinHttp(::GetLastError(), kOrigem);
  // Windows 7 offers only TLS 1.0 unless asked; systems that do not know
  // TLS 1.3 refuse the pair and get TLS 1.2 alone.
  DWORD protocolos = WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2 | WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_3;
  if (!::WinHttpSetOption(sessao.get(), WINHTTP_OPTION_SECURE_PROTOCOLS, &protocolos,
                          sizeof(protocolos))) {
    DefineOpcao(sessao.get(), WINHTTP_OPTION_SECURE_PROTOCOLS, WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2,
                {});
  }
  return sessao;
}

// One session for the whole process: WinHTTP keeps a session's open
// connections (and TLS sessions), so the files of an update come through one
// connection per server instead of one each. The limits, which differ
// between clients, go on each request. A session that cannot be opened is
// tried again on the next request.
HINTERNET SessaoDoProcesso() {
  static const HandleInternet sessao = AbreSessao();
  return sessao.get();
}

}  // namespace

ClienteWinHttp::ClienteWinHttp(const HttpOptions& opcoes) : opcoes_(opcoes) {}

RespostaHttp ClienteWinHttp::Get(const std::string& url, const std::string& cabecalho,
                                 const std::string& destino, int64_t limite) {
  // An answer kept in memory has a deadline from the start; a file's time
  // grows with its size.
  RitmoTransferencia ritmo(opcoes_, destino.empty());
  // Values go into URLs unencoded; what cannot stand in a request line is
  // encoded here, so that every request reaches the server.
  const std::wstring endereco = ComoLatin1(UrlParaPedido(url));
  URL_COMPONENTS partes{};
  partes.dwStructSize = sizeof(partes);
  partes.dwSchemeLength = partes.dwHostNameLength = static_cast<DWORD>(-1);
  partes.dwUrlPathLength = partes.dwExtraInfoLength = static_cast<DWORD>(-1);
  if (!::WinHttpCrackUrl(endereco.c_str(), static_cast<DWORD>(endereco.size()), 0, &partes)) {
    throw ErroWinHttp(::GetLastError(), kOrigem);
  }
  if (partes.nScheme != INTERNET_SCHEME_HTTP && partes.nScheme != INTERNET_SCHEME_HTTPS) {
    throw ErroWinHttp(ERROR_WINHTTP_UNRECOGNIZED_SCHEME, kOrigem);
  }
  const std::wstring host(partes.lpszHostName, partes.dwHostNameLength);
  std::wstring caminho = std::wstring(partes.lpszUrlPath, partes.dwUrlPathLength) +
                         std::wstring(partes.lpszExtraInfo, partes.dwExtraInfoLength);
  if (caminho.empty()) caminho = L"/";
  const std::string servidor = FromWide(host);
  auto falha = [&servidor]() { return ErroWinHttp(::GetLastError(), kOrigem, servidor); };
  // Too slow or too late fails as a stall does.
  auto lento = [&servidor]() { return ErroWinHttp(ERROR_WINHTTP_TIMEOUT, kOrigem, servidor); };

  const HINTERNET sessao = SessaoDoProcesso();
  const HandleInternet conexao(::WinHttpConnect(sessao, host.c_str(), partes.nPort, 0));
  if (!conexao) throw falha();
  // The path was encoded above: WinHTTP must send it as it is.
  DWORD flags = WINHTTP_FLAG_ESCAPE_DISABLE | WINHTTP_FLAG_ESCAPE_DISABLE_QUERY;
  if (partes.nScheme == INTERNET_SCHEME_HTTPS) flags |= WINHTTP_FLAG_SECURE;
  const HandleInternet pedido(::WinHttpOpenRequest(conexao.get(), L"GET", caminho.c_str(), nullptr,
                                                   WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                                   flags));
  if (!pedido) throw falha();
  const auto ligacao = static_cast<int>(Milissegundos(opcoes_.connectTimeoutSeconds));
  const auto parada = static_cast<int>(Milissegundos(opcoes_.slowWindowSeconds));
  // Resolving the name counts as connecting; every send and receive is a
  // wait for the next byte, which may last a whole window of the pace.
  if (!::WinHttpSetTimeouts(pedido.get(), ligacao, ligacao, parada, parada)) {
    throw falha();
  }
  proxy_.Aplica(sessao, pedido.get(), endereco);
  // What was asked over TLS must not arrive in the clear.
  DefineOpcao(pedido.get(), WINHTTP_OPTION_REDIRECT_POLICY,
              WINHTTP_OPTION_REDIRECT_POLICY_DISALLOW_HTTPS_TO_HTTP, servidor);
  DefineOpcao(pedido.get(), WINHTTP_OPTION_MAX_HTTP_AUTOMATIC_REDIRECTS, kMaximoRedirecionamentos,
              servidor);
  DefineOpcao(pedido.get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, ritmo.EsperaMaxima(),
              servidor);
  if (!cabecalho.empty()) {
    const std::wstring linha = ComoLatin1(cabecalho);
    if (!::WinHttpAddRequestHeaders(pedido.get(), linha.c_str(), static_cast<DWORD>(linha.size()),
                                    WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE)) {
      throw falha();
    }
  }

  std::optional<ArquivoParcial> parcial;
  if (!destino.empty()) parcial.emplace(destino, kOrigem);

  if (!::WinHttpSendRequest(pedido.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA,
                            0, 0, 0) ||
      !::WinHttpReceiveResponse(pedido.get(), nullptr)) {
    throw falha();
  }
  RespostaHttp resposta;
  DWORD status = 0;
  DWORD bytes = sizeof(status);
  if (!::WinHttpQueryHeaders(pedido.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                             WINHTTP_HEADER_NAME_BY_INDEX, &status, &bytes,
                             WINHTTP_NO_HEADER_INDEX)) {
    throw falha();
  }
  resposta.status = static_cast<int32_t>(status);
  resposta.textoStatus = FromWide(Cabecalho(pedido.get(), WINHTTP_QUERY_STATUS_TEXT).value_or(L""));
  // A file is received only from a 200 answer; other answers keep nothing.
  if (parcial && resposta.status != 200) return resposta;

  const std::optional<uint64_t> anunciado = TamanhoAnunciado(pedido.get());
  if (!parcial && anunciado && *anunciado > static_cast<uint64_t>(opcoes_.maxBodyBytes)) {
    throw MuitoGrande(opcoes_.maxBodyBytes);
  }
  std::vector<char> bloco(kBlocoLeitura);
  uint64_t recebidos = 0;
  bool cortado = false;
  ritmo.IniciaJanela();
  for (;;) {
    // A wait for data ends with the window, or sooner at the deadline.
    DefineOpcao(pedido.get(), WINHTTP_OPTION_RECEIVE_TIMEOUT, ritmo.EsperaMaxima(), servidor);
    // Only what has arrived is read: a read of more may wait to fill the
    // block, and a trickle would then go unmeasured.
    DWORD disponiveis = 0;
    if (!::WinHttpQueryDataAvailable(pedido.get(), &disponiveis)) throw falha();
    if (disponiveis == 0) break;
    DWORD lidos = 0;
    if (!::WinHttpReadData(pedido.get(), bloco.data(), std::min(disponiveis, kBlocoLeitura),
                           &lidos)) {
      throw falha();
    }
    if (lidos == 0) break;
    if (!ritmo.Recebeu(lidos)) throw lento();
    if (parcial && limite >= 0 && recebidos + lidos > static_cast<uint64_t>(limite)) {
      // The bytes up to the limit are the body; the rest is not received.
      lidos = static_cast<DWORD>(static_cast<uint64_t>(limite) - recebidos);
      cortado = true;
    }
    recebidos += lidos;
    if (parcial) {
      parcial->Escreve(bloco.data(), lidos);
      if (cortado) break;
    } else {
      if (recebidos > static_cast<uint64_t>(opcoes_.maxBodyBytes)) {
        throw MuitoGrande(opcoes_.maxBodyBytes);
      }
      resposta.corpo.append(bloco.data(), lidos);
    }
  }
  // A connection closed early can end the body without an error; the
  // announced length tells.
  if (resposta.status == 200 && anunciado && recebidos != *anunciado && !cortado) {
    throw ErroWinHttp(ERROR_WINHTTP_CONNECTION_ERROR, kOrigem, servidor);
  }
  if (parcial) parcial->Substitui();
  return resposta;
}

}  // namespace tarvik::platform
