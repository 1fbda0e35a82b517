#ifndef TARVIK_BASE_CP1252_H_
#define TARVIK_BASE_CP1252_H_

#include <string>
#include <string_view>

namespace tarvik {

// The system's ANSI code page on every platform but Windows, where the
// platform converts. Inside the program all text is UTF-8.

// UTF-8 to Windows-1252. A character the code page cannot hold, and any
// malformed UTF-8 sequence, becomes '?'.
std::string ParaCp1252(std::string_view utf8);

// Windows-1252 to UTF-8, one character per byte. The five bytes the code
// page leaves undefined map to the C1 controls of the same value, as Windows
// does.
std::string DeCp1252(std::string_view bytes);

}  // namespace tarvik

#endif  // TARVIK_BASE_CP1252_H_
