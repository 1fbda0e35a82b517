// Parsing time of update descriptors with many entries, from the text the
// server sends to the finished `DadosAtualizacao`. At the end it prints how
// 100,000 entries compare with 10,000 against the goals: the growth at most
// 12 times, 10,000 entries under 20 ms (CPU time, the median of the
// repetitions, which a busy machine disturbs least). A case that did not
// read what it was given fails the program.

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "descriptor/descritor.h"
#include "descriptor/recupera_dados_atualizacao.h"

namespace tarvik {
namespace {

constexpr int kRepeticoes = 7;
constexpr double kCrescimentoMaximo = 12;
constexpr double kMilissegundosDezMil = 20;

// A descriptor of `entradas` entries: replaced, new and removed files and
// created folders in turn, and as many installed files.
std::string Descritor(int entradas) {
  std::string texto = "[sequenciaAtualizacao]\r\nitens=" + std::to_string(entradas) +
                      "\r\natualizar=true\r\nversao=2.31\r\natualizar_atualizador=false\r\n";
  static const char* const kAcoes[] = {"SubstituirArquivo", "CopiarNovoArquivo", "RemoverArquivo",
                                       "CriarPasta"};
  for (int n = 1; n <= entradas; ++n) {
    const std::string i = std::to_string(n);
    const std::string acao = kAcoes[n % 4];
    texto += "acao_" + i + "=" + acao + "\r\n";
    if (acao == "CriarPasta") {
      texto += "caminho_" + i + "=pasta" + i + "\r\ndestino_" + i + "=$base$\\\r\n";
      continue;
    }
    texto += "caminho_" + i + "=https://atualiza.exemplo/tarvik/2.31/arquivo" + i + ".dll\r\n" +
             "destino_" + i + "=$base$\\modulos\\\r\n" + "tamanho_" + i + "=" +
             std::to_string(1000 + n) + "\r\n" + "hash_" + i +
             "=9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08\r\n" +
             "authenticode_" + i + "=true\r\n" + "arquivo_atualizador_" + i + "=false\r\n";
  }
  texto += "[arquivosOriginais]\r\nversao=2.30\r\nitens=" + std::to_string(entradas) + "\r\n";
  for (int n = 1; n <= entradas; ++n) {
    const std::string i = std::to_string(n);
    texto += "caminho_" + i + "=https://atualiza.exemplo/tarvik/2.30/arquivo" + i + ".dll\r\n" +
             "tamanho_" + i + "=" + std::to_string(900 + n) + "\r\n" + "hash_" + i +
             "=60303ae22b998861bce3b28f33eec1be758a213c86c93c076dbe9f558c11c752\r\n" +
             "authenticode_" + i + "=1\r\n";
  }
  return texto;
}

void BM_RecuperaDadosAtualizacao(benchmark::State& estado) {
  const auto entradas = static_cast<int>(estado.range(0));
  const std::string texto = Descritor(entradas);
  std::optional<DadosAtualizacao> dados;
  for (auto _ : estado) {
    // The update check hands its text over, and the update frees the data
    // when it ends: neither copying the text nor freeing the data is
    // reading the descriptor. A run reads one descriptor, with memory fresh
    // from the system: what the last reading freed goes back to it, or a
    // small descriptor would find its pages ready and a large one, whose
    // freed memory the allocator returns by itself, would not.
    estado.PauseTiming();
    dados.reset();
    malloc_trim(0);
    std::string copia = texto;
    estado.ResumeTiming();
    dados.emplace(RecuperaDadosAtualizacao(std::move(copia)));
  }
  if (!dados || dados->ItensSequencia()->Quantidade() != entradas ||
      dados->ArquivosOriginais().size() != static_cast<size_t>(entradas)) {
    estado.SkipWithError("the descriptor's entries were not all read");
  }
  estado.SetBytesProcessed(static_cast<int64_t>(estado.iterations()) *
                           static_cast<int64_t>(texto.size()));
  estado.SetComplexityN(estado.range(0));
}

// The text form alone: lines cut and sections built.
void BM_InterpretaConteudo(benchmark::State& estado) {
  const std::string texto = Descritor(static_cast<int>(estado.range(0)));
  std::optional<Secoes> secoes;
  for (auto _ : estado) {
    estado.PauseTiming();
    secoes.reset();
    std::string copia = texto;
    estado.ResumeTiming();
    secoes.emplace(InterpretaConteudo(copia));
  }
  // The installed files: two value lines, then four for each entry.
  if (!secoes || secoes->Quantidade() != 2 ||
      secoes->Item("arquivosOriginais")->Quantidade() !=
          static_cast<size_t>(4 * estado.range(0) + 2)) {
    estado.SkipWithError("the descriptor's lines were not all read");
  }
  estado.SetComplexityN(estado.range(0));
}

BENCHMARK(BM_InterpretaConteudo)
    ->Arg(1'000)
    ->Arg(10'000)
    ->Arg(100'000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// Many small sections that all use the same key: each must cost as little
// as one section with many keys.
void BM_InterpretaConteudoSecoes(benchmark::State& estado) {
  std::string texto;
  for (int64_t n = 0; n < estado.range(0); ++n)
    texto += "[secao" + std::to_string(n) + "]\r\nitens=1\r\n";
  std::optional<Secoes> secoes;
  for (auto _ : estado) {
    estado.PauseTiming();
    secoes.reset();
    std::string copia = texto;
    estado.ResumeTiming();
    secoes.emplace(InterpretaConteudo(copia));
  }
  if (!secoes || secoes->Quantidade() != estado.range(0)) {
    estado.SkipWithError("the descriptor's sections were not all read");
  }
  estado.SetComplexityN(estado.range(0));
}

BENCHMARK(BM_InterpretaConteudoSecoes)
    ->Arg(10'000)
    ->Arg(100'000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

BENCHMARK(BM_RecuperaDadosAtualizacao)
    ->Arg(1'000)
    ->Arg(10'000)
    ->Arg(100'000)
    ->Repetitions(kRepeticoes)
    ->DisplayAggregatesOnly()
    ->Unit(benchmark::kMillisecond);

// The console table, and on the side the medians of the whole parse and
// whether any case failed.
class Relator : public benchmark::ConsoleReporter {
 public:
  Relator() : ConsoleReporter(OO_None) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.error_occurred) falhou_ = true;
      if (run.run_name.function_name == "BM_RecuperaDadosAtualizacao" &&
          run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
        medianas_[run.run_name.args] = {run.GetAdjustedCPUTime(), run.GetAdjustedRealTime()};
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }

  bool Falhou() const { return falhou_; }

  // The descriptor's row, when both sizes ran.
  void ImprimeMetas() const {
    const auto dezMil = medianas_.find("10000");
    const auto cemMil = medianas_.find("100000");
    if (dezMil == medianas_.end() || cemMil == medianas_.end()) return;
    const auto [cpuDezMil, decorridoDezMil] = dezMil->second;
    const auto [cpuCemMil, decorridoCemMil] = cemMil->second;
    const double crescimento = cpuCemMil / cpuDezMil;
    const auto veredito = [](bool atingida) { return atingida ? "met" : "NOT met"; };
    std::printf(
        "descriptor of 100,000 entries against 10,000 (CPU time, median of %d; elapsed in "
        "brackets): 10,000 in %.1f ms [%.1f] (goal: under %.0f ms, %s); 100,000 in %.1f ms "
        "[%.1f]; ratio %.1f (goal: at most %.0f, %s)\n",
        kRepeticoes, cpuDezMil, decorridoDezMil, kMilissegundosDezMil,
        veredito(cpuDezMil < kMilissegundosDezMil), cpuCemMil, decorridoCemMil, crescimento,
        kCrescimentoMaximo, veredito(crescimento <= kCrescimentoMaximo));
  }

 private:
  bool falhou_ = false;
  // CPU and elapsed milliseconds by number of entries.
  std::map<std::string, std::pair<double, double>> medianas_;
};

}  // namespace
}  // namespace tarvik

int main(int argc, char** argv) {
  // Repetitions taken in turns, so that a load that comes and goes weighs
  // on both sizes alike.
  std::vector<char*> argumentos(argv, argv + argc);
  std::string intercala = "--benchmark_enable_random_interleaving=true";
  argumentos.insert(argumentos.begin() + 1, intercala.data());
  int quantidade = static_cast<int>(argumentos.size());
  benchmark::Initialize(&quantidade, argumentos.data());
  if (benchmark::ReportUnrecognizedArguments(quantidade, argumentos.data())) return 1;
  tarvik::Relator relator;
  benchmark::RunSpecifiedBenchmarks(&relator);
  benchmark::Shutdown();
  relator.ImprimeMetas();
  return relator.Falhou() ? 1 : 0;
}
