#ifndef TARVIK_TOOLS_SERVIDOR_REFERENCIA_PAINEL_H_
#define TARVIK_TOOLS_SERVIDOR_REFERENCIA_PAINEL_H_

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "servidor_referencia/relatorio_resultado.h"

namespace tarvik::referencia {

// Which reports the dashboard counts: those of one release (the version
// they updated to) and received between two days, each bound optional.
struct FiltroPainel {
  std::string versao;  // empty: every release
  std::string desde;   // "yyyy-mm-dd", inclusive; empty: no bound
  std::string ate;     // "yyyy-mm-dd", inclusive; empty: no bound
  std::string motivo;  // why the query was refused; empty when read

  bool operator==(const FiltroPainel&) const = default;
};

// Reads the dashboard's query ("versao=2.31&desde=2026-12-01&ate=", as its
// form sends it). Each key at most once, empty values mean no bound, a
// version must be a catalogue version and a day a valid "yyyy-mm-dd";
// anything else sets `motivo`. Never fails.
FiltroPainel InterpretaFiltro(std::string_view consulta);

// The outcomes a release is counted by, in the order of the chart.
inline constexpr std::array<std::string_view, 4> kDesfechos = {
    "SucessoInstalacao", "FalhaInstalacao", "FalhaArquivosEmUso", "ArquivosEmUsoReiniciar"};

// An installation that needs a look: its last update failed, or it keeps
// restarting (its last reports in a row asked for a restart).
struct InstalacaoComProblema {
  RelatorioResultado ultimo;  // its last report
  int reinicios = 0;          // restarts in a row at the end
  std::string windows;        // the Windows version from the client header
};

// What the dashboard shows.
struct ResumoPainel {
  // Installations (by their last report) per version they run now, the
  // newest version first.
  std::vector<std::pair<std::string, int>> versoesEmCampo;
  // Reports per release, newest first, counted by `kDesfechos`.
  std::vector<std::pair<std::string, std::array<int, kDesfechos.size()>>> desfechos;
  // Newest last report first.
  std::vector<InstalacaoComProblema> problemas;
  int relatorios = 0;   // reports counted
  int instalacoes = 0;  // installations among them
};

// Restarts in a row from which an installation counts as stuck.
inline constexpr int kReiniciosSeguidos = 2;

// The summary of `relatorios` (in the order received) that `filtro` lets
// through.
ResumoPainel ResumePainel(const std::vector<RelatorioResultado>& relatorios,
                          const FiltroPainel& filtro);

// "6.1.7601 Service Pack 1" from the client header's attributes
// version, build and desc_service_pack; empty when it names none.
std::string VersaoWindows(std::string_view informacaoCliente);

}  // namespace tarvik::referencia

#endif  // TARVIK_TOOLS_SERVIDOR_REFERENCIA_PAINEL_H_
