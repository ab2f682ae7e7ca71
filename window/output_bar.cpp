#include "window/output_bar.h"

#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>

#include "commands/window_texts.h"
#include "platform/qt_text.h"

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

QString OutputBar::lookup_text(FolderLookup lookup) { return ToQString(LookupText(lookup)); }

QString OutputBar::size_text(std::int64_t bytes) { return ToQString(SizeText(bytes)); }

void OutputBar::show_bar(const BarText& bar) {
    before_ = ToQString(bar.before);
    path_ = ToQString(bar.path);
    after_ = ToQString(bar.after);
    label_->setAccessibleName(text());
    label_->setToolTip(ToQString(BarToolTip(bar.whole())));
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
