// The emulated display layouts, by benchmark argument: the host's own table,
// so a new layout is measured with the rest.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/display_layouts.h"

inline const host::detail::DisplayLayout& LayoutAt(size_t index) {
  return host::detail::DisplayLayouts()[index];
}
inline std::string LayoutName(size_t index) { return std::string(LayoutAt(index).Name); }
inline int64_t LayoutCount() { return static_cast<int64_t>(host::detail::DisplayLayouts().size()); }
