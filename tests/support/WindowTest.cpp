#include "support/WindowTest.h"

#include "core/OneBasedStrings.h"
#include "ui/Module1.h"

#include <QComboBox>
#include <QTest>

namespace quorel::tests
{
void WindowTest::init()
{
    ui::Module1::str_OutFolder.clear();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_fake = std::make_unique<FakeDesktop>();
    m_form = newWindow();
}

void WindowTest::cleanup()
{
    m_form.reset();
    m_fake.reset();
    m_dir.reset();
}

std::unique_ptr<ui::Form1> WindowTest::newWindow()
{
    auto window = std::make_unique<ui::Form1>(*m_fake);
    window->settingsLocation
        = {m_dir->path(), m_dir->filePath(QStringLiteral("config")), [](const QString &) { return true; }};
    return window;
}

QStringList WindowTest::itemsOf(const QComboBox &box)
{
    QStringList items;
    for (int i = 0; i < box.count(); ++i)
        items.append(box.itemText(i));
    return items;
}

QStringList WindowTest::entriesOf(const core::OneBasedStrings &list, int count)
{
    QStringList entries;
    for (int k = 1; k <= count; ++k)
        entries.append(list.at(k));
    return entries;
}
}
