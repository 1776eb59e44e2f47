// pqwave-cli's PNG encoders, from the module beside the program (pqwave-pictures.so).
#pragma once

#include <string>

#include "app/png_encoders.h"

namespace pqwave {

const PngEncoders* loadPngModule(std::string& problem);

}  // namespace pqwave
