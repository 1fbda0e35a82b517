#include "script/diario_atualizacao.h"

#include <algorithm>
#include <iterator>
#include <string_view>
#include <utility>
#include <vector>

#include "base/erro.h"
#include "log/registro.h"
#include "platform/files.h"
#include "platform/own_files.h"
#include "platform/process.h"

namespace tarvik {
namespace {

constexpr char kNomeDiario[] = "\\atualizador.diario";
constexpr char kTemporario[] = "temporario";
constexpr char kArquivo[] = "arquivo";
constexpr char kPasta[] = "pasta";
constexpr char kAcoes[] = "acoes";
constexpr char kOrigem[] = "ReparaAtualizacaoInterrompida";

constexpr char kInterrompida[] =
    "Encontrado o diário de uma atualização interrompida. Desfazendo as alterações";
constexpr char kDesfeita[] = "Atualização interrompida desfeita";
constexpr char kNaoDesfeita[] = "A atualização interrompida não pôde ser desfeita";

// The characters a field cannot hold as they are, and how they are written.
constexpr std::pair<char, std::string_view> kCodigos[] = {
    {'%', "%25"}, {'\t', "%09"}, {'\n', "%0A"}, {'\r', "%0D"}};

std::string Escapa(std::string_view campo) {
  std::string texto;
  for (const char c : campo) {
    const auto codigo = std::ranges::find(kCodigos, c, &std::pair<char, std::string_view>::first);
    if (codigo == std::end(kCodigos)) {
      texto += c;
    } else {
      texto += codigo->second;
    }
  }
  return texto;
}

std::string Restaura(std::string_view campo) {
  std::string texto;
  for (size_t i = 0; i < campo.size(); ++i) {
    const auto codigo =
        std::ranges::find(kCodigos, campo.substr(i, 3), &std::pair<char, std::string_view>::second);
    if (codigo == std::end(kCodigos)) {
      texto += campo[i];
    } else {
      texto += codigo->first;
      i += 2;
    }
  }
  return texto;
}

std::string Linha(std::initializer_list<std::string_view> campos) {
  std::string linha;
  for (const std::string_view campo : campos) {
    if (!linha.empty()) linha += '\t';
    linha += Escapa(campo);
  }
  return linha + '\n';
}

// What the journal holds, read back.
struct Diario {
  struct Arquivo {
    bool existia;
    std::string instalado, versionada, simples;
  };
  struct Pasta {
    int32_t codigo;
    bool existia;
    std::string caminho;
  };
  std::vector<std::string> temporarios;
  std::vector<Arquivo> arquivos;
  std::vector<Pasta> pastas;
  bool acoes = false;
};

// Only whole lines count: a journal cut short while it was written ends
// before "acoes", when nothing in the installation had changed yet.
Diario Le(std::string_view texto) {
  Diario diario;
  for (size_t fim; (fim = texto.find('\n')) != std::string_view::npos;
       texto.remove_prefix(fim + 1)) {
    std::vector<std::string> campos;
    for (std::string_view linha = texto.substr(0, fim);;) {
      const size_t tab = linha.find('\t');
      campos.push_back(Restaura(linha.substr(0, tab)));
      if (tab == std::string_view::npos) break;
      linha.remove_prefix(tab + 1);
    }
    if (campos[0] == kTemporario && campos.size() == 2) {
      diario.temporarios.push_back(campos[1]);
    } else if (campos[0] == kArquivo && campos.size() == 5) {
      diario.arquivos.push_back({campos[1] == "1", campos[2], campos[3], campos[4]});
    } else if (campos[0] == kPasta && campos.size() == 4) {
      diario.pastas.push_back({campos[1] == std::to_string(codigo_tarefa::kRemoverPasta)
                                   ? codigo_tarefa::kRemoverPasta
                                   : codigo_tarefa::kCriarPasta,
                               campos[2] == "1", campos[3]});
    } else if (campos[0] == kAcoes) {
      diario.acoes = true;
    }
  }
  return diario;
}

// One step of the repair; a failure is logged and remembered, and the
// repair goes on with the next file.
class Reparo {
 public:
  template <typename Passo>
  void Executa(const std::string& descricao, const std::string& caminho, Passo&& passo) {
    const ResultadoPasso resultado = PassoProtegido(passo);
    if (!resultado.Falhou()) {
      RegistraLog(descricao + " [" + caminho + "]", kInfo);
      return;
    }
    RegistraLog(std::string(kNaoDesfeita) + ". Detalhes [" + resultado.descricao + "] [" +
                    std::to_string(resultado.numero) + "], dados [" + caminho + "]",
                kErro);
    completo_ = false;
  }
  bool Completo() const { return completo_; }

 private:
  bool completo_ = true;
};

// A read-only file can be neither replaced nor removed on Windows.
void LiberaEscrita(const std::string& arquivo) {
  if (platform::PathExists(arquivo) &&
      (platform::GetAttributes(arquivo) & platform::kAttributeReadOnly)) {
    platform::SetAttributes(arquivo, 0);
  }
}

void Remove(const std::string& arquivo) {
  LiberaEscrita(arquivo);
  platform::RemoveFile(arquivo);
}

// The working siblings that an interrupted copy or download left.
void RemoveSobras(const std::string& caminho) {
  for (const std::string& sobra : platform::RemoveWorkingSiblings(caminho)) {
    RegistraLog("Removido o arquivo de trabalho [" + sobra + "]", kInfo);
  }
}

void DesfazAcoes(const Diario& diario, Reparo& reparo) {
  for (const auto& pasta : diario.pastas) {
    if (pasta.codigo == codigo_tarefa::kRemoverPasta && pasta.existia &&
        !platform::PathExists(pasta.caminho)) {
      reparo.Executa("Recriada a pasta", pasta.caminho,
                     [&] { platform::CreateFolder(pasta.caminho); });
    }
  }
  for (const auto& arquivo : diario.arquivos) {
    if (arquivo.existia && platform::PathExists(arquivo.versionada)) {
      reparo.Executa("Restaurado o arquivo", arquivo.instalado, [&] {
        LiberaEscrita(arquivo.instalado);
        platform::CopyFileReplacing(arquivo.versionada, arquivo.instalado);
        Remove(arquivo.versionada);
      });
    } else if (!arquivo.existia && platform::PathExists(arquivo.instalado)) {
      reparo.Executa("Removido o arquivo criado", arquivo.instalado,
                     [&] { Remove(arquivo.instalado); });
    }
  }
  // Created folders last, the deepest first: the files in them are gone by
  // now. One that holds something else stays.
  for (auto pasta = diario.pastas.rbegin(); pasta != diario.pastas.rend(); ++pasta) {
    if (pasta->codigo == codigo_tarefa::kCriarPasta && !pasta->existia &&
        platform::PathExists(pasta->caminho)) {
      IgnoraFalha([&] { platform::RemoveFolder(pasta->caminho); });
    }
  }
}

}  // namespace

std::string CaminhoDiario() { return platform::ProgramFolder() + kNomeDiario; }

void IniciaDiario(const Colecao<std::shared_ptr<Tarefa>>& tarefas, size_t inicioAcoes) {
  std::string texto;
  size_t posicao = 0;
  for (const auto& tarefa : tarefas) {
    const auto detalhe = [&](int32_t i) -> const std::string& {
      return tarefa->Detalhes().Item(i);
    };
    switch (tarefa->Codigo()) {
      case codigo_tarefa::kBaixarArquivo:
        texto += Linha({kTemporario, detalhe(2)});
        break;
      case codigo_tarefa::kEfetuarCopiaSeguranca:
        texto += Linha({kArquivo, platform::PathExists(detalhe(1)) ? "1" : "0", detalhe(1),
                        detalhe(2), detalhe(3)});
        break;
      case codigo_tarefa::kCriarPasta:
      case codigo_tarefa::kRemoverPasta:
        if (posicao >= inicioAcoes) {
          texto += Linha({kPasta, std::to_string(tarefa->Codigo()),
                          platform::PathExists(detalhe(1)) ? "1" : "0", detalhe(1)});
        }
        break;
    }
    ++posicao;
  }
  platform::WriteOwnFile(CaminhoDiario(), texto);
}

void MarcaAcoesNoDiario() { platform::AppendOwnFile(CaminhoDiario(), Linha({kAcoes})); }

void EncerraDiario() { platform::RemoveFile(CaminhoDiario()); }

void ReparaAtualizacaoInterrompida() {
  const std::string caminho = CaminhoDiario();
  if (!platform::OwnFileExists(caminho)) return;
  RegistraLog(kInterrompida, kAviso);
  std::string texto;
  if (const ResultadoPasso leitura =
          PassoProtegido([&] { texto = platform::ReadOwnFile(caminho); });
      leitura.Falhou()) {
    // Not written by this program: nothing in it may be trusted.
    RegistraLog("Diário recusado. Detalhes [" + leitura.descricao + "] [" +
                    std::to_string(leitura.numero) + "], dados [" + caminho + "]",
                kErro);
    platform::RemoveFile(caminho);
    return;
  }
  const Diario diario = Le(texto);
  Reparo reparo;
  {
    // The files come back even when the log cannot be written.
    RegistroTolerante registro;
    for (const auto& arquivo : diario.arquivos) {
      for (const std::string* caminhoArquivo :
           {&arquivo.instalado, &arquivo.versionada, &arquivo.simples}) {
        RemoveSobras(*caminhoArquivo);
      }
    }
    for (const std::string& temporario : diario.temporarios) {
      RemoveSobras(temporario);
      if (platform::PathExists(temporario)) {
        reparo.Executa("Removido o arquivo recebido", temporario, [&] { Remove(temporario); });
      }
    }
    if (diario.acoes) DesfazAcoes(diario, reparo);
    registro.Conclui();
  }
  if (!reparo.Completo()) throw Erro(codigo_erro::kErroEntradaSaida, kOrigem, kNaoDesfeita);
  platform::RemoveFile(caminho);
  RegistraLog(kDesfeita, kAviso);
}

}  // namespace tarvik
