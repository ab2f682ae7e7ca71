#include "window/accessibility.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <cmath>

#include "window/progress_line.h"

namespace sweepwav {

namespace {

// A read-only progress indicator from 0 to 100 percent.
class AccessibleProgressLine : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit AccessibleProgressLine(ProgressLine* line) : QAccessibleWidget(line, QAccessible::ProgressBar) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return QStringLiteral("%1%").arg(std::lround(line()->percent()));
        return QAccessibleWidget::text(t);
    }
    QVariant currentValue() const override { return line()->percent(); }
    void setCurrentValue(const QVariant&) override {}
    QVariant maximumValue() const override { return 100.0; }
    QVariant minimumValue() const override { return 0.0; }
    QVariant minimumStepSize() const override { return 0.0; }

private:
    ProgressLine* line() const { return static_cast<ProgressLine*>(widget()); }
};

// A drop-down list that is named by its accessible name on every platform
// (on some, Qt names a list by its current item and leaves the caption to
// a label relation, which the form's shared captions cannot give). The
// current item is its value; its one child is the list of items.
class AccessibleList : public QAccessibleWidget {
public:
    explicit AccessibleList(QComboBox* list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return list()->currentText();
        return QAccessibleWidget::text(t);
    }
    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override {
        return index == 0 ? QAccessible::queryAccessibleInterface(list()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child && child->object() == list()->view() ? 0 : -1;
    }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QStringList actionNames() const override {
        return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action != showMenuAction() && action != pressAction()) return QAccessibleWidget::doAction(action);
        if (list()->view()->isVisible()) {
            list()->hidePopup();
        } else {
            list()->showPopup();
        }
    }

private:
    QComboBox* list() const { return static_cast<QComboBox*>(widget()); }
};

QAccessibleInterface* Factory(const QString& className, QObject* object) {
    if (className == QLatin1String(ProgressLine::staticMetaObject.className())) {
        return new AccessibleProgressLine(static_cast<ProgressLine*>(object));
    }
    if (className == QLatin1String("QComboBox")) {
        auto* list = static_cast<QComboBox*>(object);
        if (!list->isEditable() && !list->accessibleName().isEmpty()) return new AccessibleList(list);
    }
    return nullptr;
}

}  // namespace

void InstallAccessibleInterfaces() {
    static const bool installed = [] {
        QAccessible::installFactory(Factory);
        return true;
    }();
    Q_UNUSED(installed);
}

}  // namespace sweepwav
