#include <exception>
#include <iostream>

#include "Startup.h"
#include "MemoryTuning.h"

int main(int argc, char* argv[]) {
    quorvel::startup::RestartWithLargeBufferHeap(argv);
    quorvel::startup::KeepFreedMemoryForReuse();
    try {
        return RunQuorvel(argc, argv);
    } catch (const std::exception& error) {
        // Only start-up itself gets here; errors in handlers are shown in the window.
        std::cerr << "Quorvel: " << error.what() << '\n';
        return 1;
    }
}
