#include "RunFeed.h"

#include "TextConvert.h"

void TRunFeed::AddLine(const std::u16string& ALine) {
    const QString line = ToQString(ALine);
    const std::lock_guard guard(FLock);
    FNews.Lines << line;
}

void TRunFeed::SetProgress(std::size_t ADone, std::size_t ATotal) {
    const std::lock_guard guard(FLock);
    FNews.Done = ADone;
    FNews.Total = ATotal;
}

TRunFeed::TNews TRunFeed::Take() {
    const std::lock_guard guard(FLock);
    TNews news = FNews;
    FNews.Lines.clear();
    return news;
}
