#include "servidor_referencia/pagina_painel.h"

#include <algorithm>
#include <array>

namespace tarvik::referencia {

namespace {

constexpr std::array<std::string_view, kDesfechos.size()> kNomesDesfechos = {
    "sucesso", "falha", "arquivos em uso", "reinício"};
constexpr std::array<std::string_view, kDesfechos.size()> kCores = {"#2e7d32", "#c62828", "#ef6c00",
                                                                    "#1565c0"};
constexpr int kLarguraGrafico = 640;
constexpr int kRotulo = 90;
constexpr int kAlturaBarra = 22;

constexpr char kEstilo[] =
    "body{font-family:sans-serif;margin:24px;color:#212121;background:#fafafa}"
    "h1{font-size:22px}h2{font-size:17px;margin-top:28px}"
    "table{border-collapse:collapse;background:#fff}"
    "th,td{border:1px solid #ccc;padding:4px 10px;text-align:left;font-size:14px;"
    "white-space:nowrap}"
    "td.n{text-align:right}form{display:inline}"
    ".filtro{margin:12px 0;padding:8px;background:#fff;border:1px solid #ccc}";

std::string Cabeca(std::string_view titulo) {
  return "<!DOCTYPE html>\n<html lang=\"pt-BR\"><head><meta charset=\"utf-8\"><title>" +
         std::string(titulo) + "</title><style>" + kEstilo + "</style></head><body>\n";
}

std::string Numero(int valor) { return std::to_string(valor); }

// Horizontal bars, one row per label, each row the stacked `partes`.
std::string Grafico(const std::vector<std::pair<std::string, std::vector<int>>>& linhas,
                    const std::vector<std::string_view>& cores) {
  int maximo = 1;
  for (const auto& [rotulo, partes] : linhas) {
    int total = 0;
    for (const int parte : partes) total += parte;
    maximo = std::max(maximo, total);
  }
  const int altura = static_cast<int>(linhas.size()) * (kAlturaBarra + 6) + 6;
  std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                    Numero(kLarguraGrafico + kRotulo + 50) + "\" height=\"" + Numero(altura) +
                    "\" role=\"img\">";
  int y = 6;
  for (const auto& [rotulo, partes] : linhas) {
    svg += "<text x=\"0\" y=\"" + Numero(y + 16) + "\" font-size=\"13\">" + EscapaHtml(rotulo) +
           "</text>";
    int x = kRotulo, total = 0;
    for (size_t i = 0; i < partes.size(); ++i) {
      const int largura = partes[i] * kLarguraGrafico / maximo;
      total += partes[i];
      if (largura == 0) continue;
      svg += "<rect x=\"" + Numero(x) + "\" y=\"" + Numero(y) + "\" width=\"" + Numero(largura) +
             "\" height=\"" + Numero(kAlturaBarra) + "\" fill=\"" +
             std::string(cores[i % cores.size()]) + "\"/>";
      x += largura;
    }
    svg += "<text x=\"" + Numero(x + 6) + "\" y=\"" + Numero(y + 16) + "\" font-size=\"13\">" +
           Numero(total) + "</text>";
    y += kAlturaBarra + 6;
  }
  return svg + "</svg>\n";
}

std::string Legenda() {
  std::string legenda = "<p>";
  for (size_t i = 0; i < kDesfechos.size(); ++i) {
    legenda += "<span style=\"color:" + std::string(kCores[i]) + "\">&#9632;</span> " +
               std::string(kNomesDesfechos[i]) + " &nbsp; ";
  }
  return legenda + "</p>\n";
}

std::string Filtro(const FiltroPainel& filtro) {
  return "<div class=\"filtro\"><form method=\"get\" action=\"/painel\">"
         "Versão <input name=\"versao\" size=\"8\" value=\"" +
         EscapaHtml(filtro.versao) + "\"> de <input type=\"date\" name=\"desde\" value=\"" +
         EscapaHtml(filtro.desde) + "\"> até <input type=\"date\" name=\"ate\" value=\"" +
         EscapaHtml(filtro.ate) +
         "\"> <button type=\"submit\">Filtrar</button></form> &nbsp; "
         "<a href=\"/painel\">todos</a> &nbsp; <a href=\"/painel/relatorios\">relatórios</a> "
         "&nbsp; <form method=\"post\" action=\"/painel/sair\"><button type=\"submit\">Sair"
         "</button></form></div>\n";
}

}  // namespace

std::string EscapaHtml(std::string_view texto) {
  std::string escapado;
  escapado.reserve(texto.size());
  for (const char c : texto) {
    switch (c) {
      case '&':
        escapado += "&amp;";
        break;
      case '<':
        escapado += "&lt;";
        break;
      case '>':
        escapado += "&gt;";
        break;
      case '"':
        escapado += "&quot;";
        break;
      case '\'':
        escapado += "&#39;";
        break;
      default:
        escapado += c;
    }
  }
  return escapado;
}

std::string PaginaPainel(const ResumoPainel& resumo, const FiltroPainel& filtro) {
  std::string pagina = Cabeca("TARVIK: instalações e atualizações");
  pagina += "<h1>Instalações e atualizações</h1>\n" + Filtro(filtro);
  pagina += "<p><span data-relatorios=\"\">" + Numero(resumo.relatorios) +
            "</span> relatórios de <span data-instalacoes=\"\">" + Numero(resumo.instalacoes) +
            "</span> instalações.</p>\n";

  pagina += "<h2>Versões em campo</h2>\n<table><tr><th>versão</th><th>instalações</th></tr>";
  std::vector<std::pair<std::string, std::vector<int>>> barras;
  for (const auto& [versao, quantas] : resumo.versoesEmCampo) {
    pagina += "<tr><td>" + EscapaHtml(versao) + "</td><td class=\"n\" data-em-campo=\"" +
              EscapaHtml(versao) + "\">" + Numero(quantas) + "</td></tr>";
    barras.push_back({versao, {quantas}});
  }
  pagina += "</table>\n" + Grafico(barras, {"#546e7a"});

  pagina += "<h2>Resultado de cada versão</h2>\n<table><tr><th>versão</th>";
  for (const std::string_view nome : kNomesDesfechos)
    pagina += "<th>" + std::string(nome) + "</th>";
  pagina += "</tr>";
  barras.clear();
  for (const auto& [versao, contagem] : resumo.desfechos) {
    pagina += "<tr><td>" + EscapaHtml(versao) + "</td>";
    for (size_t i = 0; i < kDesfechos.size(); ++i) {
      pagina += "<td class=\"n\" data-versao=\"" + EscapaHtml(versao) + "\" data-desfecho=\"" +
                std::string(kDesfechos[i]) + "\">" + Numero(contagem[i]) + "</td>";
    }
    pagina += "</tr>";
    barras.push_back({versao, std::vector<int>(contagem.begin(), contagem.end())});
  }
  pagina += "</table>\n" + Legenda() +
            Grafico(barras, std::vector<std::string_view>(kCores.begin(), kCores.end()));

  pagina +=
      "<h2>Instalações com falha ou reiniciando</h2>\n"
      "<table><tr><th>instalação</th><th>conta</th><th>CNPJ</th><th>de</th><th>para</th>"
      "<th>resultado</th><th>reinícios</th><th>Windows</th><th>recebido (UTC)</th></tr>";
  for (const InstalacaoComProblema& problema : resumo.problemas) {
    const RelatorioResultado& r = problema.ultimo;
    pagina += "<tr data-problema=\"" + EscapaHtml(r.chave) + "\">";
    for (const std::string* valor :
         {&r.chave, &r.conta, &r.cnpj, &r.versaoOriginal, &r.versaoAtualizada, &r.resultado}) {
      pagina += "<td>" + EscapaHtml(*valor) + "</td>";
    }
    pagina += "<td class=\"n\">" + Numero(problema.reinicios) + "</td><td>" +
              EscapaHtml(problema.windows) + "</td><td>" + EscapaHtml(r.recebidoEm) + "</td></tr>";
  }
  return pagina + "</table>\n</body></html>\n";
}

std::string PaginaEntrada(std::string_view aviso) {
  std::string pagina = Cabeca("TARVIK: entrada");
  pagina += "<h1>Painel de atualizações</h1>\n";
  if (!aviso.empty()) pagina += "<p><strong>" + EscapaHtml(aviso) + "</strong></p>\n";
  return pagina +
         "<form method=\"post\" action=\"/painel/entrar\">Senha do operador "
         "<input type=\"password\" name=\"senha\" autofocus> "
         "<button type=\"submit\">Entrar</button></form>\n</body></html>\n";
}

}  // namespace tarvik::referencia
