#include "ui/AccessibleControls.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>

namespace quorel::ui::AccessibleControls
{
namespace
{
    class NamedComboBox final : public QAccessibleWidget
    {
    public:
        explicit NamedComboBox(QComboBox *combo)
            : QAccessibleWidget(combo, QAccessible::ComboBox)
        { }

        QString text(QAccessible::Text t) const override
        {
            if (t == QAccessible::Value)
                return combo()->currentText();
            // No access key leads here: the address labels' lead on to the start number.
            if (t == QAccessible::Accelerator)
                return {};
            return QAccessibleWidget::text(t);
        }

        // The drop-down list, then the edit field.
        int childCount() const override { return 2; }

        QAccessibleInterface *child(int index) const override
        {
            if (index == 0)
                return QAccessible::queryAccessibleInterface(combo()->view());
            if (index == 1)
                return QAccessible::queryAccessibleInterface(combo()->lineEdit());
            return nullptr;
        }

        int indexOfChild(const QAccessibleInterface *child) const override
        {
            if (!child)
                return -1;
            if (child->object() == combo()->view())
                return 0;
            if (child->object() == combo()->lineEdit())
                return 1;
            return -1;
        }

        QAccessible::State state() const override
        {
            QAccessible::State s = QAccessibleWidget::state();
            s.editable = true;
            s.expandable = true;
            s.expanded = combo()->view()->isVisible();
            return s;
        }

        QStringList actionNames() const override
        {
            return QStringList{showMenuAction()} + QAccessibleWidget::actionNames();
        }

        void doAction(const QString &actionName) override
        {
            if (actionName != showMenuAction()) {
                QAccessibleWidget::doAction(actionName);
            } else if (combo()->view()->isVisible()) {
                combo()->hidePopup();
            } else {
                combo()->showPopup();
            }
        }

    private:
        QComboBox *combo() const { return static_cast<QComboBox *>(object()); }
    };

    // A label whose name says what it shows; what it shows is its value and its text.
    class ValueLabel final : public QAccessibleWidget, public QAccessibleTextInterface
    {
    public:
        explicit ValueLabel(QLabel *label)
            : QAccessibleWidget(label, QAccessible::StaticText)
        { }

        void *interface_cast(QAccessible::InterfaceType t) override
        {
            if (t == QAccessible::TextInterface)
                return static_cast<QAccessibleTextInterface *>(this);
            return QAccessibleWidget::interface_cast(t);
        }

        QString text(QAccessible::Text t) const override
        {
            if (t == QAccessible::Value)
                return shown();
            return QAccessibleWidget::text(t);
        }

        QString text(int startOffset, int endOffset) const override
        {
            // An end of -1 means the end of the text.
            const QString all = shown();
            const qsizetype end = endOffset < 0 ? all.size() : endOffset;
            return all.mid(startOffset, end - startOffset);
        }
        int characterCount() const override { return static_cast<int>(shown().size()); }
        void selection(int, int *startOffset, int *endOffset) const override { *startOffset = *endOffset = 0; }
        int selectionCount() const override { return 0; }
        void addSelection(int, int) override { }
        void removeSelection(int) override { }
        void setSelection(int, int, int) override { }
        int cursorPosition() const override { return 0; }
        void setCursorPosition(int) override { }
        QRect characterRect(int) const override { return {}; }
        int offsetAtPoint(const QPoint &) const override { return -1; }
        void scrollToSubstring(int, int) override { }
        QString attributes(int, int *startOffset, int *endOffset) const override
        {
            *startOffset = 0;
            *endOffset = characterCount();
            return {};
        }

    private:
        QString shown() const { return static_cast<QLabel *>(object())->text(); }
    };

    enum class Described
    {
        AsComboBox,
        AsValue,
    };

    // The controls the window asked to describe; each leaves the list when it is destroyed.
    QHash<const QObject *, Described> &described()
    {
        static QHash<const QObject *, Described> controls;
        return controls;
    }

    QAccessibleInterface *factory(const QString &, QObject *object)
    {
        const auto found = described().constFind(object);
        if (found == described().cend())
            return nullptr;
        if (*found == Described::AsComboBox)
            return new NamedComboBox(static_cast<QComboBox *>(object));
        return new ValueLabel(static_cast<QLabel *>(object));
    }

    void describe(QWidget &control, Described how)
    {
        static const bool installed = [] {
            QAccessible::installFactory(factory);
            return true;
        }();
        Q_UNUSED(installed);
        described().insert(&control, how);
        QObject::connect(&control, &QObject::destroyed, [](QObject *gone) { described().remove(gone); });
    }
}

void describeAsComboBox(QComboBox &box)
{
    describe(box, Described::AsComboBox);
}

void describeAsValue(QLabel &label)
{
    describe(label, Described::AsValue);
}
}
