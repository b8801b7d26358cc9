#pragma once

#include <QtGlobal>

namespace Kit {

// The system colour references the kit's defaults use; they follow the desktop's palette
// instead of naming a fixed colour.
namespace SystemColor {
inline constexpr qint32 Window = qint32(0x80000005u);
inline constexpr qint32 WindowText = qint32(0x80000008u);
inline constexpr qint32 ButtonFace = qint32(0x8000000Fu);
inline constexpr qint32 ButtonText = qint32(0x80000012u);
} // namespace SystemColor

} // namespace Kit
