#include "platform/posix/authenticode/spc_indirect_data.h"

#include "platform/posix/authenticode/der_reader.h"

namespace tarvik::platform {

std::optional<SpcIndirectData> ParseSpcIndirectData(std::span<const uint8_t> der) {
  // SpcIndirectDataContent ::= SEQUENCE {
  //   data SEQUENCE { type OBJECT IDENTIFIER, value ANY OPTIONAL },
  //   messageDigest SEQUENCE {
  //     digestAlgorithm SEQUENCE { algorithm OBJECT IDENTIFIER, parameters ANY OPTIONAL },
  //     digest OCTET STRING } }
  DerReader outer(der);
  const auto content = outer.Next(der_tag::kSequence);
  if (!content || !outer.AtEnd()) return std::nullopt;

  DerReader fields(content->content);
  const auto data = fields.Next(der_tag::kSequence);
  const auto message_digest = fields.Next(der_tag::kSequence);
  if (!data || !message_digest || !fields.AtEnd()) return std::nullopt;

  DerReader data_fields(data->content);
  const auto data_type = data_fields.Next(der_tag::kObjectIdentifier);
  if (!data_type) return std::nullopt;

  DerReader digest_fields(message_digest->content);
  const auto algorithm = digest_fields.Next(der_tag::kSequence);
  const auto digest = digest_fields.Next(der_tag::kOctetString);
  if (!algorithm || !digest || !digest_fields.AtEnd()) return std::nullopt;

  DerReader algorithm_fields(algorithm->content);
  const auto algorithm_id = algorithm_fields.Next(der_tag::kObjectIdentifier);
  if (!algorithm_id) return std::nullopt;

  return SpcIndirectData{content->content, data_type->content, algorithm_id->encoding,
                         digest->content};
}

}  // namespace tarvik::platform
