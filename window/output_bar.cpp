#include "window/output_bar.h"

#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>

namespace sweepwav {

OutputBar::OutputBar(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("OutputBar"));
    auto* lines = new QVBoxLayout(this);
    lines->setContentsMargins(0, 2, 0, 2);
    lines->setSpacing(0);
    label_ = new QLabel(this);
    label_->setObjectName(QStringLiteral("OutputFolder"));
    label_->setTextFormat(Qt::RichText);
    label_->setContentsMargins(14, 2, 14, 2);  // in line with the form's captions
    // Mouse only: the keyboard reaches the folder through File > Open output
    // folder, and the form's focus order stays as it is.
    label_->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    // However long the path, the bar never widens the window.
    label_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    label_->installEventFilter(this);
    lines->addWidget(label_);
    connect(label_, &QLabel::linkActivated, this, &OutputBar::open_folder_requested);
    signal_ = new QLabel(this);
    signal_->setObjectName(QStringLiteral("SignalOptions"));
    signal_->setContentsMargins(14, 0, 14, 2);
    signal_->setWordWrap(true);
    signal_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    signal_->hide();
    lines->addWidget(signal_);
}

void OutputBar::show_options(const QString& summary) {
    signal_->setText(summary);
    signal_->setAccessibleName(summary);
    signal_->setVisible(!summary.isEmpty());
}

QString OutputBar::lookup_text(FolderLookup lookup) {
    switch (lookup) {
        case FolderLookup::Found: return QStringLiteral("analyser folder");
#ifdef _WIN32
        case FolderLookup::NotFound: return QStringLiteral("drive root: analyser not found");
#else
        case FolderLookup::NotFound: return QStringLiteral("home folder: analyser not found");
#endif
        case FolderLookup::Unreadable: return QStringLiteral("default folder: analyser settings unreadable");
        case FolderLookup::NotDone: break;
    }
    return {};
}

QString OutputBar::size_text(std::int64_t bytes) {
    const QString exact = QStringLiteral("%1 bytes").arg(bytes);
    if (bytes >= 1048576) return QStringLiteral("%1 MB, %2").arg(bytes / 1048576.0, 0, 'f', 2).arg(exact);
    if (bytes >= 1024) return QStringLiteral("%1 KB, %2").arg(bytes / 1024.0, 0, 'f', 2).arg(exact);
    return exact;
}

void OutputBar::show_folder(const QString& folder, FolderLookup lookup) {
    const QString how = lookup_text(lookup);
    show(QStringLiteral("Output folder: "), folder, how.isEmpty() ? QString() : " (" + how + ")");
}

void OutputBar::show_written(const QString& path, std::int64_t bytes, bool aborted) {
    QString after = " (" + size_text(bytes) + ")";
    if (aborted) after += QStringLiteral(", silent from the abort on");
    show(QStringLiteral("Wrote "), path, after);
}

void OutputBar::show(const QString& before, const QString& path, const QString& after) {
    before_ = before;
    path_ = path;
    after_ = after;
    label_->setAccessibleName(text());
    label_->setToolTip(text() + QStringLiteral("\nClick to open the folder (File > Open output folder)."));
    render();
}

void OutputBar::render() {
    const QFontMetrics metrics(label_->font());
    const int room = label_->contentsRect().width() - metrics.horizontalAdvance(before_ + after_) -
                     metrics.averageCharWidth();
    const QString shown = metrics.elidedText(path_, Qt::ElideMiddle, std::max(room, 8 * metrics.averageCharWidth()));
    label_->setText(before_.toHtmlEscaped() + QStringLiteral("<a href=\"folder\">") + shown.toHtmlEscaped() +
                    QStringLiteral("</a>") + after_.toHtmlEscaped());
}

bool OutputBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == label_ && event->type() == QEvent::Resize) render();
    return QFrame::eventFilter(watched, event);
}

}  // namespace sweepwav
