#include "base/url_pedido.h"

#include <gtest/gtest.h>

namespace tarvik {
namespace {

TEST(UrlPedidoTest, OnlyWhatCannotStandInARequestLineIsEncoded) {
  EXPECT_EQ(UrlParaPedido("http://h:8080/v.aspx?operacao=resultado&conta=1-2&cnpj=a%b"),
            "http://h:8080/v.aspx?operacao=resultado&conta=1-2&cnpj=a%b");
  EXPECT_EQ(UrlParaPedido("http://h/v?conta=Loja & Cia\t\"x\"|{}"),
            "http://h/v?conta=Loja%20&%20Cia%09%22x%22%7C%7B%7D");
  EXPECT_EQ(UrlParaPedido("http://h/v?conta=João"), "http://h/v?conta=Jo%C3%A3o");
}

}  // namespace
}  // namespace tarvik
