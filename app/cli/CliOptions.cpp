#include "CliOptions.h"

namespace quorvel::cli {

TQuorvel CliOptions::Formatter() const {
    TQuorvel formatter;
    formatter.SetVerticalList(!Wrapped);
    formatter.SetWordWrapAt(WrapAt);
    return formatter;
}

}  // namespace quorvel::cli
