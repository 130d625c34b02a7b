// The sample printers of printers/, by model.
#pragma once

#include <string>

namespace sample_printers {

inline const std::string kDX7140K = PDE_SOURCE_DIR "/printers/QUORVEN-v-DX7140K.ppd";
inline const std::string kDX8250K = PDE_SOURCE_DIR "/printers/QUORVEN-v-DX8250K.ppd";
inline const std::string kDX5100K = PDE_SOURCE_DIR "/printers/QUORVEN-v-DX5100K.ppd";

}  // namespace sample_printers
