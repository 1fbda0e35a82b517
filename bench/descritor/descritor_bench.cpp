// Parsing time of update descriptors with many entries, from the text the
// server sends to the finished `DadosAtualizacao`.

#include <benchmark/benchmark.h>

#include <string>
#include <utility>

#include "descriptor/descritor.h"
#include "descriptor/recupera_dados_atualizacao.h"

namespace tarvik {
namespace {

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
  const std::string texto = Descritor(static_cast<int>(estado.range(0)));
  for (auto _ : estado) {
    // The update check hands its text over; copying it is not parsing.
    estado.PauseTiming();
    std::string copia = texto;
    estado.ResumeTiming();
    benchmark::DoNotOptimize(RecuperaDadosAtualizacao(std::move(copia)));
  }
  estado.SetBytesProcessed(static_cast<int64_t>(estado.iterations()) *
                           static_cast<int64_t>(texto.size()));
  estado.SetComplexityN(estado.range(0));
}

// The text form alone: lines cut and sections built.
void BM_InterpretaConteudo(benchmark::State& estado) {
  const std::string texto = Descritor(static_cast<int>(estado.range(0)));
  for (auto _ : estado) {
    estado.PauseTiming();
    std::string copia = texto;
    estado.ResumeTiming();
    benchmark::DoNotOptimize(InterpretaConteudo(copia));
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
  for (auto _ : estado) {
    estado.PauseTiming();
    std::string copia = texto;
    estado.ResumeTiming();
    benchmark::DoNotOptimize(InterpretaConteudo(copia));
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
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace
}  // namespace tarvik
