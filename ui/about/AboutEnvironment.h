#pragma once
// What the About dialog and the update check take from the running program.
// Production uses the defaults; tests replace the parts they need.

#include <QString>

#include "VersionResource.h"

struct TAboutEnvironment {
    TVersionSource ReadFileVersion = ProgramFileVersion;
    QString ExecutablePath;        // empty: the running program's file
    int PhaseTimeoutMs = 60000;    // the update check's longest wait per network phase
};
