// The window's settings files: File > Open settings..., Save settings as...
// and the recent settings files.
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QMenu>
#include <QSettings>

#include "commands/settings_file.h"
#include "commands/window_texts.h"
#include "platform/qt_text.h"
#ifndef _WIN32
#include "platform/settings_files.h"
#endif
#include "window/form1.h"

namespace sweepwav {

namespace {

const QString kSweepFilter = ToQString(std::string(kSweepType.name));

// The recent files are the one thing the window keeps between sessions; the
// form itself always starts from its start-up values.
QSettings RecentStore() { return QSettings(QStringLiteral("sweepwav"), QStringLiteral("sweepwav")); }

// A file of ours that is no plain small file (a pipe would hang the window)
// is left alone: there is then no recent list. On Windows the list is kept
// in the registry.
bool RecentStoreUsable() {
#ifdef _WIN32
    return true;
#else
    return !UnreadableSettingsFile(QStringLiteral("sweepwav"), QStringLiteral("sweepwav"));
#endif
}

QStringList RecentFiles() {
    if (!RecentStoreUsable()) return {};
    return RecentStore().value(QStringLiteral("recent/settings")).toStringList();
}

}  // namespace

void Form1::build_settings_menu(QMenu* file) {
    openSettings_ = file->addAction(QStringLiteral("O&pen settings\u2026"));
    openSettings_->setObjectName(QStringLiteral("OpenSettings"));
    openSettings_->setShortcut(QKeySequence::Open);
    connect(openSettings_, &QAction::triggered, this, &Form1::OpenSettings_triggered);
    QAction* save = file->addAction(QStringLiteral("&Save settings as\u2026"));
    save->setObjectName(QStringLiteral("SaveSettings"));
    save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(save, &QAction::triggered, this, &Form1::SaveSettings_triggered);
    recentMenu_ = file->addMenu(QStringLiteral("&Recent settings"));
    recentMenu_->setObjectName(QStringLiteral("RecentSettingsMenu"));
    recentMenu_->menuAction()->setObjectName(QStringLiteral("RecentSettings"));
    fill_recent_menu();
}

void Form1::fill_recent_menu() {
    recentMenu_->clear();
    recentMenu_->setToolTipsVisible(true);
    const QStringList files = RecentFiles();
    const QFontMetrics metrics(recentMenu_->font());
    for (int i = 0; i < files.size(); ++i) {
        const QString path = files[i];
        const QFileInfo file(path);
        // The name first, then its folder, shortened in the middle; the
        // whole path in the tooltip.
        QString folder =
            metrics.elidedText(QDir::toNativeSeparators(file.absolutePath()), Qt::ElideMiddle, 32 * metrics.averageCharWidth());
        const QString name = file.fileName();
        QAction* action = recentMenu_->addAction(ToQString(RecentFileText(i, ToUtf8(name), ToUtf8(folder))));
        action->setToolTip(QDir::toNativeSeparators(path));
        connect(action, &QAction::triggered, this, [this, path] { open_settings_file(path); });
    }
    recentMenu_->setEnabled(!files.isEmpty() && openSettings_->isEnabled());
}

void Form1::remember_settings_file(const QString& path) {
    if (!RecentStoreUsable()) return;
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList files = RecentFiles();
    files.removeAll(absolute);
    files.prepend(absolute);
    while (files.size() > kRecentCount) files.removeLast();
    RecentStore().setValue(QStringLiteral("recent/settings"), files);
    fill_recent_menu();
}

QString Form1::settings_folder() const {
    const QStringList files = RecentFiles();
    return files.isEmpty() ? QDir::homePath() : QFileInfo(files.first()).absolutePath();
}

void Form1::open_settings_file(const QString& path) {
    if (running_) return;
    show_output_folder();
    if (!OpenSettingsFile(state_, *this, services_, ToUtf8(path))) return;
    writeMarkers_->setChecked(state_.markers);
    show_options();
    remember_settings_file(path);
}

void Form1::OpenSettings_triggered() {
    const QString path = ask_open_file_name(ToQString(std::string(kOpenSettingsTitle)), settings_folder(), {kSweepFilter});
    if (!path.isEmpty()) open_settings_file(path);
}

void Form1::SaveSettings_triggered() {
    const std::string name = file_name_stem();
    QString filter;
    const QString path = ask_save_file_name(ToQString(std::string(kSaveSettingsTitle)),
                                            settings_folder() + QLatin1Char('/') + ToQString(name) +
                                                QStringLiteral(".sweep"),
                                            {kSweepFilter}, &filter);
    if (path.isEmpty()) return;
    if (SaveSettingsFile(state_, *this, services_, ToUtf8(path))) remember_settings_file(path);
}

std::string Form1::file_name_stem() {
    std::string name = text(Control::FileName);
    const auto dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    return name.empty() ? std::string("sweep") : name;
}

QString Form1::ask_open_file_name(const QString& caption, const QString& folder, const QStringList& filters) {
    return QFileDialog::getOpenFileName(this, caption, folder, filters.join(QStringLiteral(";;")));
}

}  // namespace sweepwav
