#pragma once

#include <QtGlobal>

// Cell and label colours as 0x00BBGGRR values, as the window's settings store them.
namespace zorv::movimenti::colour {

constexpr quint32 Red = 0x0000FF;
constexpr quint32 Green = 0x00C000;
constexpr quint32 DarkGreen = 0x008000;
constexpr quint32 Yellow = 0x00FFFF;
constexpr quint32 Navy = 0x800000;
constexpr quint32 White = 0xFFFFFF;
constexpr quint32 LightCyan = 0xFFFF80;
// The system's button-text colour.
constexpr quint32 ButtonText = 0x80000012;
// No colour of its own: the grid's default.
constexpr quint32 Default = 0xFFFFFFFF;

} // namespace zorv::movimenti::colour
