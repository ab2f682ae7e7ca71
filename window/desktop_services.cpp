#include "window/desktop_services.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QString>
#include <QUrl>

namespace sweepwav {

bool DesktopServices::open_in_viewer(const std::string& path) {
    const QString file = QString::fromStdString(path);
#ifdef _WIN32
    // The path is passed as one argument, never through a shell.
    return QProcess::startDetached(QStringLiteral("notepad"), {file});
#else
    return QDesktopServices::openUrl(QUrl::fromLocalFile(file));
#endif
}

bool DesktopServices::open_folder(const std::string& path) {
    const QString folder = QString::fromStdString(path);
    if (!QFileInfo(folder).isDir()) return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

}  // namespace sweepwav
