#pragma once
// Texts of the binary floating-point types.

#include <string>

namespace pw {

// float: fixed notation with 15 significant digits before trailing zeros are
// dropped (digits of an integral value are never dropped); not finite gives "0".
std::string FloatText(double value);

// real: the "%g" spelling (6 significant digits); magnitudes that would need a
// negative exponent, and values that are not finite, give "0".
std::string RealText(float value);

}  // namespace pw
