#include <iostream>

#include "QuorvelVersion.h"

// Placeholder until the command-line tool lands.
int main() {
    std::cout << "quorvel-cli " << QUORVEL_BUILD_VERSION_TEXT << "\n";
    return 0;
}
