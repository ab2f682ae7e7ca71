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
QSettings RecentSettingsStore() { return QSettings(QStringLiteral("sweepwav"), QStringLiteral("sweepwav")); }

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

}  // namespace

std::vector<std::string> QtRecentStore::read() {
    if (!RecentStoreUsable()) return {};
    std::vector<std::string> files;
    for (const QString& file : RecentSettingsStore().value(QStringLiteral("recent/settings")).toStringList()) {
        files.push_back(ToUtf8(file));
    }
    return files;
}

void QtRecentStore::write(const std::vector<std::string>& files) {
    if (!RecentStoreUsable()) return;
    QStringList list;
    for (const std::string& file : files) list << ToQString(file);
    RecentSettingsStore().setValue(QStringLiteral("recent/settings"), list);
}

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
    recentMenu_->setToolTipsVisible(true);
    recentMenu_->setEnabled(false);
    presetsMenu_ = file->addMenu(ToQString(std::string(MenuCommandNamed("Presets").text)));
    presetsMenu_->setObjectName(QStringLiteral("PresetsMenu"));
    presetsMenu_->menuAction()->setObjectName(QStringLiteral("Presets"));
    presetsMenu_->setToolTipsVisible(true);
    presetsMenu_->setEnabled(false);
    QAction* reset = file->addAction(ToQString(std::string(MenuCommandNamed("Reset").text)));
    reset->setObjectName(QStringLiteral("Reset"));
    connect(reset, &QAction::triggered, this, [this] { model_.reset(); });
}

void Form1::fill_presets_menu(const std::vector<PresetFile>& presets) {
    presetsMenu_->clear();
    for (std::size_t i = 0; i < presets.size(); ++i) {
        QAction* action = presetsMenu_->addAction(ToQString(PresetMenuText(presets[i].name, presets[i].about)));
        action->setObjectName(ToQString(presets[i].name));
        action->setToolTip(QDir::toNativeSeparators(ToQString(presets[i].path)));
        connect(action, &QAction::triggered, this, [this, i] { model_.open_preset(i); });
    }
    presetsShown_ = presets;
}

void Form1::use_presets(const std::vector<Preset>& presets) {
    std::vector<PresetFile> files;
    for (const Preset& preset : presets) files.push_back({preset.name, preset.path, {}});
    model_.set_presets(files);
}

void Form1::fill_recent_menu(const std::vector<RecentFile>& files) {
    recentMenu_->clear();
    const QFontMetrics metrics(recentMenu_->font());
    for (std::size_t i = 0; i < files.size(); ++i) {
        const QString path = ToQString(files[i].path);
        // The name first, then its folder, shortened in the middle; the
        // whole path in the tooltip.
        const QString folder = metrics.elidedText(QDir::toNativeSeparators(ToQString(files[i].folder)),
                                                  Qt::ElideMiddle, 32 * metrics.averageCharWidth());
        QAction* action = recentMenu_->addAction(
            ToQString(RecentFileText(static_cast<int>(i), files[i].name, ToUtf8(folder))));
        action->setToolTip(QDir::toNativeSeparators(path));
        connect(action, &QAction::triggered, this, [this, path] { open_settings_file(path); });
    }
    recentShown_ = files;
    recentFilled_ = true;
}

QString Form1::settings_folder() const {
    const std::string folder = model_.settings_folder();
    return folder.empty() ? QDir::homePath() : ToQString(folder);
}

void Form1::open_settings_file(const QString& path) {
    model_.open_settings(ToUtf8(QFileInfo(path).absoluteFilePath()));
}

void Form1::OpenSettings_triggered() {
    if (!model_.allows(FormCommand::OpenSettings)) return;
    const QString path = ask_open_file_name(ToQString(std::string(kOpenSettingsTitle)), settings_folder(), {kSweepFilter});
    if (!path.isEmpty()) open_settings_file(path);
}

void Form1::SaveSettings_triggered() {
    QString filter;
    const QString path = ask_save_file_name(ToQString(std::string(kSaveSettingsTitle)),
                                            settings_folder() + QLatin1Char('/') +
                                                ToQString(SettingsFileName(text(Control::FileName))),
                                            {kSweepFilter}, &filter);
    if (!path.isEmpty()) model_.save_settings(ToUtf8(QFileInfo(path).absoluteFilePath()));
}

QString Form1::ask_open_file_name(const QString& caption, const QString& folder, const QStringList& filters) {
    return QFileDialog::getOpenFileName(this, caption, folder, filters.join(QStringLiteral(";;")));
}

}  // namespace sweepwav
