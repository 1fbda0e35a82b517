#include <gtest/gtest.h>

#include <set>

#include "platform/guid.h"
#include "platform/system_info.h"

namespace tarvik::platform {
namespace {

TEST(GuidTest, GuidsAreRandomVersionFour) {
  std::set<uint32_t> primeiros;
  for (int i = 0; i < 100; ++i) {
    Guid guid;
    ASSERT_TRUE(CreateGuid(guid));
    EXPECT_EQ(guid.data3 >> 12, 4);
    EXPECT_EQ(guid.data4[0] >> 6, 2);
    primeiros.insert(guid.data1);
  }
  EXPECT_GT(primeiros.size(), 95u);
}

TEST(SystemInfoTest, RecordsHaveTheWindowsShape) {
  VersionRecordEx registro;
  ASSERT_TRUE(SystemInformation().ReadVersionEx(registro));
  EXPECT_EQ(registro.servicePack.size(), 128u);
  EXPECT_EQ(registro.servicePack.back(), '\0');
  EXPECT_NE(registro.servicePack.front(), '\0');
  EXPECT_GE(registro.majorVersion, 3);
#if defined(__x86_64__)
  EXPECT_EQ(SystemInformation().ProcessorArchitecture(), 9);
#endif
}

}  // namespace
}  // namespace tarvik::platform
