#pragma once

#include "support/FakeDesktop.h"
#include "ui/MainWindow.h"

#include <QObject>
#include <QStringList>
#include <QTemporaryDir>
#include <QWidget>

#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace quorel::tests
{
// The same fresh start for every window test: a new MainWindow on a FakeDesktop, its settings in a
// temporary folder of its own. A test class that needs more in init() or cleanup() declares its own
// and calls these first. Controls are found by their object names, as a user finds them by caption.
class WindowTest : public QObject
{
    Q_OBJECT

protected Q_SLOTS:
    void init();
    void cleanup();

protected:
    FakeDesktop &fake() const { return *m_fake; }
    ui::MainWindow &window() const { return *m_window; }
    QString pathOf(const QString &name) const { return m_dir->filePath(name); }
    QString folderPath() const { return m_dir->path(); }
    platform::SettingsLocation settingsLocation() const;

    // Another window on the same desktop and settings folder, as a later run of the program would be.
    std::unique_ptr<ui::MainWindow> newWindow();
    // Replaces the window under test with a new one.
    void reopenWindow() { m_window = newWindow(); }

public:
    // The control of that object name in a window; the test fails at once without one.
    template<typename Control> static Control *control(const QWidget &window, const char *name);
    static QLineEdit *edit(const QWidget &window, const char *name);
    static QComboBox *box(const QWidget &window, const char *name);
    static QPushButton *button(const QWidget &window, const char *name);
    static QCheckBox *check(const QWidget &window, const char *name);
    static QLabel *label(const QWidget &window, const char *name);
    static QPlainTextEdit *output(const QWidget &window);

protected:
    // The same in the window under test.
    QLineEdit *edit(const char *name) const { return edit(window(), name); }
    QComboBox *box(const char *name) const { return box(window(), name); }
    QPushButton *button(const char *name) const { return button(window(), name); }
    QCheckBox *check(const char *name) const { return check(window(), name); }
    QLabel *label(const char *name) const { return label(window(), name); }
    QPlainTextEdit *output() const { return output(window()); }

    static QStringList itemsOf(const QComboBox &box);

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FakeDesktop> m_fake;
    std::unique_ptr<ui::MainWindow> m_window;
};

template<typename Control> Control *WindowTest::control(const QWidget &window, const char *name)
{
    auto *found = window.findChild<Control *>(QLatin1StringView(name), Qt::FindDirectChildrenOnly);
    if (!found)
        qFatal("The window has no %s named %s", Control::staticMetaObject.className(), name);
    return found;
}
}
