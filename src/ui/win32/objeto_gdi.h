#ifndef TARVIK_UI_WIN32_OBJETO_GDI_H_
#define TARVIK_UI_WIN32_OBJETO_GDI_H_

#include <windows.h>

#include <utility>

namespace tarvik {

// Owns a GDI object (font, bitmap) and deletes it when it goes; it must no
// longer be selected into a device context by then.
template <typename Handle>
class UniqueGdiObject {
 public:
  UniqueGdiObject() = default;
  explicit UniqueGdiObject(Handle objeto) : objeto_(objeto) {}
  ~UniqueGdiObject() {
    if (objeto_) ::DeleteObject(objeto_);
  }
  UniqueGdiObject(UniqueGdiObject&& outro) noexcept : objeto_(std::exchange(outro.objeto_, {})) {}
  UniqueGdiObject& operator=(UniqueGdiObject&& outro) noexcept {
    std::swap(objeto_, outro.objeto_);
    return *this;
  }
  UniqueGdiObject(const UniqueGdiObject&) = delete;
  UniqueGdiObject& operator=(const UniqueGdiObject&) = delete;

  Handle Get() const { return objeto_; }

 private:
  Handle objeto_{};
};

}  // namespace tarvik

#endif  // TARVIK_UI_WIN32_OBJETO_GDI_H_
