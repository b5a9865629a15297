// The drill's font, IPAGothic (Debian's fonts-ipafont-gothic), natively: its
// file, found where Debian puts it or else through fontconfig. Throws when it
// is missing.
#pragma once

#include <string>

namespace rt {

std::string ipagothic_path();

}  // namespace rt
