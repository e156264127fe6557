// The Qt plugins the window needs, for builds with a static Qt (the Windows
// build from scripts/build-qt-windows.sh), where nothing is loaded from disk:
// the Windows platform and TLS for the update check. No image format plugin:
// the pictures are PNG, which Qt reads itself, and the title bar's icon comes
// from the program file's icon resource. The style is Fusion, built in.
#include <QtPlugin>

Q_IMPORT_PLUGIN(QWindowsIntegrationPlugin)
Q_IMPORT_PLUGIN(QSchannelBackend)
