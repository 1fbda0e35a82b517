#include <objbase.h>

#include <algorithm>
#include <iterator>

#include "platform/guid.h"

namespace tarvik::platform {

bool CreateGuid(Guid& guid) {
  GUID created{};
  if (FAILED(::CoCreateGuid(&created))) return false;
  guid.data1 = created.Data1;
  guid.data2 = created.Data2;
  guid.data3 = created.Data3;
  std::copy(std::begin(created.Data4), std::end(created.Data4), guid.data4.begin());
  return true;
}

}  // namespace tarvik::platform
