// The bar under the form that says where files go: at idle the output folder
// and how it was found; after a run the file written and its size. The path
// is a link: a click on it asks for the folder to be opened. The signal
// options that are on have a line of their own below it, so that they never
// take the path's room.
#pragma once

#include <QFrame>
#include <QString>
#include <QStringList>
#include <cstdint>

#include "commands/window_texts.h"
#include "core/generator_state.h"

class QLabel;

namespace sweepwav {

class OutputBar : public QFrame {
    Q_OBJECT

public:
    explicit OutputBar(QWidget* parent = nullptr);

    // The bar's line: "Output folder: <folder> (<how it was found>)" or
    // "Wrote <path> (<size>)".
    void show_bar(const BarText& bar);

    // The options beside the form that are on, on the bar's second line
    // ("Signal: gap 100 ms, ramps 5 ms"); hidden when all are off.
    void show_options(const QString& summary);

    // The text shown, with the path in full.
    QString text() const { return before_ + path_ + after_; }

    // How the lookup's outcome reads after the folder.
    static QString lookup_text(FolderLookup lookup);
    // "1234 bytes", "2.41 KB, 2468 bytes", "96.68 MB, 101376044 bytes".
    static QString size_text(std::int64_t bytes);

signals:
    void open_folder_requested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Shortens the path in its middle, only as far as the whole text needs
    // to fit the bar.
    void render();

    QLabel* label_ = nullptr;
    QLabel* signal_ = nullptr;
    QString before_, path_, after_;
};

}  // namespace sweepwav
