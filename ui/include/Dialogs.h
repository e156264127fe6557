#pragma once
// Every modal box the program shows goes through this interface, so tests can
// answer them without a box ever blocking. The window and the About dialog
// receive it from whoever creates them.

#include <QString>
#include <QUrl>
#include <optional>

class QWidget;

struct TUpdateQuestion {
    QString Caption;  // window caption
    QString Title;    // main instruction
    QString Text;     // content
};

enum class TUpdateAnswer { NotShown, Yes, No, Cancel };

class TDialogs {
public:
    virtual ~TDialogs() = default;
    // Plain box: application title, no icon, one OK button, centred on the screen.
    virtual void ShowMessage(const QString& AText) = 0;
    // Standard error box: application title, error icon, one OK button.
    virtual void ShowError(const QString& AText) = 0;
    // Warning with Yes and No, Yes the default; true when answered Yes.
    virtual bool ConfirmWarning(const QString& AText) = 0;
    // Folder browser; nothing when cancelled.
    virtual std::optional<QString> PickFolder(QWidget* AParent, const QString& ATitle) = 0;
    // The update question: information icon, Yes (default) and No, Escape cancels.
    virtual TUpdateAnswer AskUpdate(const TUpdateQuestion& AQuestion) = 0;
    // Opens a web address in the user's browser; false when it could not.
    virtual bool OpenUrl(const QUrl& AUrl) = 0;
};

// The real boxes, built on Qt's standard dialogs. Texts are always plain text.
class TQtDialogs final : public TDialogs {
public:
    void ShowMessage(const QString& AText) override;
    void ShowError(const QString& AText) override;
    bool ConfirmWarning(const QString& AText) override;
    std::optional<QString> PickFolder(QWidget* AParent, const QString& ATitle) override;
    TUpdateAnswer AskUpdate(const TUpdateQuestion& AQuestion) override;
    bool OpenUrl(const QUrl& AUrl) override;
};
