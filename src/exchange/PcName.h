// How a TI file name becomes a PC file name and back.
//
// A TI name may hold characters that no PC file name can (the folder separators '/' and '\',
// control characters), that PC tools read specially (':', '*', '?', '"', '<', '>', '|', and
// '.', which starts an extension), or bytes of code page 1252 above 0x7F, which are no valid
// text in the platform's file names. Each of them, and '%' itself, is written as '%' and two
// upper-case hexadecimal digits: "A/B" becomes "A%2FB", "V1.2" becomes "V1%2E2". Every other
// character stands as it is, and the name's trailing blanks are left out. Reading a PC name
// back turns each '%' followed by two hexadecimal digits (in either case) into that byte, so
// that every TI name comes back as it was (a name read from a plain PC file is upper-cased
// first, as all such names are).
#pragma once

#include <string>

namespace tavik {

std::string PcNameOf(const std::string& tiName);
std::string TiNameOf(const std::string& pcName);

}  // namespace tavik
