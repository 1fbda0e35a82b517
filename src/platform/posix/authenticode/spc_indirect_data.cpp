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
  const auto messageDigest = fields.Next(der_tag::kSequence);
  if (!data || !messageDigest || !fields.AtEnd()) return std::nullopt;

  DerReader dataFields(data->content);
  const auto dataType = dataFields.Next(der_tag::kObjectIdentifier);
  if (!dataType) return std::nullopt;

  DerReader digestFields(messageDigest->content);
  const auto algorithm = digestFields.Next(der_tag::kSequence);
  const auto digest = digestFields.Next(der_tag::kOctetString);
  if (!algorithm || !digest || !digestFields.AtEnd()) return std::nullopt;

  DerReader algorithmFields(algorithm->content);
  const auto algorithmId = algorithmFields.Next(der_tag::kObjectIdentifier);
  if (!algorithmId) return std::nullopt;

  return SpcIndirectData{content->content, dataType->content, algorithmId->encoding,
                         digest->content};
}

}  // namespace tarvik::platform
