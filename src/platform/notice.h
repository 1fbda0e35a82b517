#ifndef TARVIK_PLATFORM_NOTICE_H_
#define TARVIK_PLATFORM_NOTICE_H_

#include <string>

namespace tarvik::platform {

// Message-box styles with only an OK button.
enum class NoticeStyle : int { kCritical = 16, kInformation = 64 };

// A blocking notice with a caption, a text and a severity; returns when the
// user has closed it. On POSIX: a zenity dialog in a graphical session when
// zenity is present; otherwise the caption, the severity and the text on
// standard error, and a wait for Enter only when standard input is a
// terminal.
void ShowNotice(const std::string& caption, const std::string& text, NoticeStyle style);

// The system's report of an error that ends `program`: on POSIX one line,
// the program's name and `text`, on standard error (a run with no one to
// see a dialog is usually a script, which reads that); on Windows a critical
// message box captioned with the program's name.
void ReportFatalError(const std::string& program, const std::string& text);

}  // namespace tarvik::platform

#endif  // TARVIK_PLATFORM_NOTICE_H_
