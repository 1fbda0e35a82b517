#ifndef TARVIK_TOOLS_PUBLICADOR_RECUSA_PUBLICACAO_H_
#define TARVIK_TOOLS_PUBLICADOR_RECUSA_PUBLICACAO_H_

#include <stdexcept>

namespace tarvik::publicacao {

// A release the publisher will not publish, with the reason in words: a
// descriptor it cannot write so that every installation reads it right.
class RecusaPublicacao : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace tarvik::publicacao

#endif  // TARVIK_TOOLS_PUBLICADOR_RECUSA_PUBLICACAO_H_
