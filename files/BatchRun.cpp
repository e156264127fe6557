#include "BatchRun.h"

namespace quorvel::files {

// Placeholder until the batch run lands.
BatchSummary RunBatch(const std::vector<std::filesystem::path>&, const TQuorvel&, const BatchOptions&,
                      const BatchCallbacks&) {
    return {};
}

}  // namespace quorvel::files
