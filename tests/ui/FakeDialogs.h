#pragma once
// Answers every box without showing it, and remembers what was asked.

#include <QScopeGuard>
#include <QStringList>
#include <QUrl>
#include <deque>

#include "Dialogs.h"

class TFakeDialogs final : public TDialogs {
public:
    // Queued answers; when a queue is empty the defaults below are used.
    std::deque<bool> WarningAnswers;                 // default: No
    std::deque<std::optional<QString>> FolderAnswers; // default: cancelled
    std::deque<TUpdateAnswer> UpdateAnswers;         // default: No
    bool OpenUrlResult = true;

    QStringList Messages, Errors, Warnings, FolderTitles;
    QList<TUpdateQuestion> UpdateQuestions;
    QList<QUrl> OpenedUrls;

    void ShowMessage(const QString& AText) override { Messages << AText; }
    void ShowError(const QString& AText) override { Errors << AText; }
    bool ConfirmWarning(const QString& AText) override {
        Warnings << AText;
        return Pop(WarningAnswers, false);
    }
    std::optional<QString> PickFolder(QWidget*, const QString& ATitle) override {
        FolderTitles << ATitle;
        return Pop(FolderAnswers, std::optional<QString>());
    }
    TUpdateAnswer AskUpdate(const TUpdateQuestion& AQuestion) override {
        UpdateQuestions << AQuestion;
        return Pop(UpdateAnswers, TUpdateAnswer::No);
    }
    bool OpenUrl(const QUrl& AUrl) override {
        OpenedUrls << AUrl;
        return OpenUrlResult;
    }

private:
    template <typename T>
    static T Pop(std::deque<T>& AQueue, T ADefault) {
        if (AQueue.empty()) return ADefault;
        const auto popFront = qScopeGuard([&AQueue] { AQueue.pop_front(); });
        return AQueue.front();
    }
};
