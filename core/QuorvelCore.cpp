#include "QuorvelCore.h"

namespace quorvel {

// Placeholder until the engine lands: returns the text unchanged.
std::u16string TQuorvel::F_FormatSource(const std::u16string& ASource) const { return ASource; }

}  // namespace quorvel
