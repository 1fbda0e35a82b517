#include "base/data_hora.h"

#include <gtest/gtest.h>

namespace tarvik {
namespace {

// At midnight the general format shows only the date.
TEST(DataHoraTest, GeneralFormatIsDayMonthYearAndTime) {
  EXPECT_EQ(FormataDataHoraGeral({2026, 12, 4, 4, 29, 3}), "04/12/2026 04:29:03");
  EXPECT_EQ(FormataDataHoraGeral({2026, 1, 31, 23, 0, 0}), "31/01/2026 23:00:00");
  EXPECT_EQ(FormataDataHoraGeral({2026, 12, 7, 0, 0, 0}), "07/12/2026");
  EXPECT_EQ(FormataDataHoraGeral({2026, 12, 7, 0, 0, 1}), "07/12/2026 00:00:01");
}

// Sunday is 0.
TEST(DataHoraTest, WeekdaysAndDaysBetweenAcrossYears) {
  EXPECT_EQ((DataHora{2026, 12, 7}).DiaDaSemana(), 1);
  EXPECT_EQ((DataHora{2026, 12, 6}).DiaDaSemana(), 0);
  EXPECT_EQ((DataHora{2024, 2, 29}).DiaDaSemana(), 4);
  EXPECT_EQ((DataHora{1969, 12, 31}).DiaDaSemana(), 3);
  EXPECT_EQ((DataHora{2000, 1, 1}).DiaDaSemana(), 6);
  EXPECT_EQ(DiasEntre({2026, 12, 6, 23, 59, 0}, {2026, 12, 7, 0, 1, 0}), 1);
  EXPECT_EQ(DiasEntre({2026, 12, 7, 0, 0, 0}, {2026, 12, 7, 23, 59, 59}), 0);
  EXPECT_EQ(DiasEntre({2026, 12, 9, 8, 0, 0}, {2026, 12, 7, 9, 0, 0}), 2);
  EXPECT_EQ(DiasEntre({2024, 2, 28}, {2024, 3, 1}), 2);
  EXPECT_EQ(DiasEntre({2025, 12, 31}, {2026, 1, 1}), 1);
}

}  // namespace
}  // namespace tarvik
