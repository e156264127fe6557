#pragma once
// What a batch run on a worker thread has to tell the window: log lines and
// progress, collected under a lock and taken by the user-interface thread.

#include <QStringList>
#include <cstddef>
#include <mutex>
#include <string>

class TRunFeed {
public:
    struct TNews {
        QStringList Lines;
        std::size_t Done = 0;
        std::size_t Total = 0;
    };

    void AddLine(const std::u16string& ALine);
    void SetProgress(std::size_t ADone, std::size_t ATotal);
    // The lines added since the last call, and the latest progress.
    TNews Take();

private:
    std::mutex FLock;
    TNews FNews;
};
