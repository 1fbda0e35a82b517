#include <windows.h>

#include "platform/code_page.h"
#include "platform/notice.h"

namespace tarvik::platform {

void ShowNotice(const std::string& caption, const std::string& text, NoticeStyle style) {
  ::MessageBoxA(nullptr, ToAnsiCodePage(text).c_str(), ToAnsiCodePage(caption).c_str(),
                MB_OK | static_cast<UINT>(style));
}

void ReportFatalError(const std::string& program, const std::string& text) {
  ShowNotice(program, text, NoticeStyle::kCritical);
}

}  // namespace tarvik::platform
