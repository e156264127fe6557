#pragma once
// A failure of the update check; its message is shown after
// "Update-check failed: " when the check reports.

#include <QString>
#include <stdexcept>

class TUpdateCheckError : public std::runtime_error {
public:
    explicit TUpdateCheckError(const QString& AMessage) : std::runtime_error(AMessage.toStdString()) {}
};
