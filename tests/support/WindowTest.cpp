#include "support/WindowTest.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace quorel::tests
{
void WindowTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_fake = std::make_unique<FakeDesktop>();
    m_window = newWindow();
}

void WindowTest::cleanup()
{
    m_window.reset();
    m_fake.reset();
    m_dir.reset();
}

platform::SettingsLocation WindowTest::settingsLocation() const
{
    return {m_dir->path(), m_dir->filePath(QStringLiteral("config")), [](const QString &) { return true; }};
}

std::unique_ptr<ui::MainWindow> WindowTest::newWindow()
{
    return std::make_unique<ui::MainWindow>(m_fake->roles(), settingsLocation());
}

QLineEdit *WindowTest::edit(const QWidget &window, const char *name)
{
    return control<QLineEdit>(window, name);
}

QComboBox *WindowTest::box(const QWidget &window, const char *name)
{
    return control<QComboBox>(window, name);
}

QPushButton *WindowTest::button(const QWidget &window, const char *name)
{
    return control<QPushButton>(window, name);
}

QCheckBox *WindowTest::check(const QWidget &window, const char *name)
{
    return control<QCheckBox>(window, name);
}

QLabel *WindowTest::label(const QWidget &window, const char *name)
{
    return control<QLabel>(window, name);
}

QPlainTextEdit *WindowTest::output(const QWidget &window)
{
    return control<QPlainTextEdit>(window, "outputBox");
}

QStringList WindowTest::itemsOf(const QComboBox &box)
{
    QStringList items;
    for (int i = 0; i < box.count(); ++i)
        items.append(box.itemText(i));
    return items;
}
}
