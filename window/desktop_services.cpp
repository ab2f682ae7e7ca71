// DesktopServices on the Linux desktop: files open in its text viewer,
// folders in its file manager, through Qt.
#include "platform/system_services.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QString>
#include <QUrl>

#include "platform/qt_text.h"

namespace sweepwav {

Status DesktopServices::open_in_viewer(const std::string& path) {
    const QString file = ToQString(path);
#ifdef _WIN32
    // The path is passed as one argument, never through a shell.
    const bool started = QProcess::startDetached(QStringLiteral("notepad"), {file});
#else
    const bool started = QDesktopServices::openUrl(QUrl::fromLocalFile(file));
#endif
    return started ? Status() : Status::Failure("no text viewer could be started");
}

Status DesktopServices::open_folder(const std::string& path) {
    const QString folder = ToQString(path);
    if (!QFileInfo(folder).isDir()) return Status::Failure("no such folder");
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(folder))) {
        return Status::Failure("no file manager could be started");
    }
    return {};
}

}  // namespace sweepwav
